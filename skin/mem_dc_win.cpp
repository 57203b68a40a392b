// The off-screen surface of the skin's painters.
#include "skin/mem_dc_win.h"

#include <algorithm>

namespace quorlax::skin {

void cMemDC::Create(int width, int height) {
    UniqueDisplayDc display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    surface_.Make(display.get(), width, height);
}

void cMemDC::Width(int value) {
    if (value > Width()) Create(value, Height());
}

void cMemDC::Height(int value) {
    if (value > Height()) Create(Width(), value);
}

void cMemDC::CreateFromPicture(HBITMAP sPic) {
    BITMAP info{};
    if (!sPic || !GetObjectW(sPic, sizeof info, &info)) return;
    const int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;
    if (info.bmWidth > Width() || height > Height())
        Create(std::max(Width(), static_cast<int>(info.bmWidth)), std::max(Height(), height));
    if (!hdc()) return;
    UniqueMemDc source(CreateCompatibleDC(hdc()));
    HGDIOBJ old = SelectObject(source.get(), sPic);
    BitBlt(hdc(), 0, 0, info.bmWidth, height, source.get(), 0, 0, SRCCOPY);
    SelectObject(source.get(), old);
}

}  // namespace quorlax::skin
