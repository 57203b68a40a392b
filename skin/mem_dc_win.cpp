// The off-screen surface of the skin's painters.
#include "skin/mem_dc_win.h"

#include <algorithm>

namespace quorlax::skin {

void cMemDC::Release() {
    if (dc_ && previous_) SelectObject(dc_.get(), previous_);
    previous_ = nullptr;
    bitmap_.reset();
    dc_.reset();
    width_ = height_ = 0;
}

void cMemDC::Create(int width, int height) {
    Release();
    UniqueDisplayDc display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    dc_.reset(CreateCompatibleDC(display.get()));
    // A zero side still gets a one-pixel bitmap, so the other side is kept.
    bitmap_.reset(CreateCompatibleBitmap(display.get(), std::max(width, 1), std::max(height, 1)));
    previous_ = dc_ && bitmap_ ? SelectObject(dc_.get(), bitmap_.get()) : nullptr;
    if (!previous_) {
        Release();
        return;
    }
    width_ = width;
    height_ = height;
}

void cMemDC::Width(int value) {
    if (value > width_) Create(value, height_);
}

void cMemDC::Height(int value) {
    if (value > height_) Create(width_, value);
}

void cMemDC::CreateFromPicture(HBITMAP sPic) {
    BITMAP info{};
    if (!sPic || !GetObjectW(sPic, sizeof info, &info)) return;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (info.bmWidth > width_ || height > height_)
        Create(std::max(width_, static_cast<int>(info.bmWidth)), std::max(height_, height));
    if (!dc_) return;
    UniqueMemDc source(CreateCompatibleDC(dc_.get()));
    HGDIOBJ old = SelectObject(source.get(), sPic);
    BitBlt(dc_.get(), 0, 0, info.bmWidth, height, source.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), old);
}

}  // namespace quorlax::skin
