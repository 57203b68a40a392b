// Background pictures (BMP, JPEG, GIF) through the system's OLE picture
// loader, kept as a device-independent bitmap for drawing.
#pragma once

#include <objbase.h>
#include <windows.h>

#include <memory>

#include "platform/handles_win.h"
#include "platform/lazy_dll_win.h"
#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax::win {

class BitmapImage final : public Image {
public:
    BitmapImage(HBITMAP bitmap, int width, int height) : bitmap_(bitmap), width_(width), height_(height) {}
    int Width() const override { return width_; }
    int Height() const override { return height_; }
    HBITMAP Bitmap() const { return bitmap_.get(); }

private:
    UniqueBitmap bitmap_;
    int width_, height_;
};

// Keeps COM initialised for this thread while it lives. ole32 is loaded
// with the first picture, not at start-up.
class ComScope : NonCopyable {
public:
    ComScope() {
        const auto init = LazyFunction<decltype(&CoInitialize)>(L"ole32.dll", "CoInitialize");
        uninit_ = LazyFunction<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
        ok_ = init && uninit_ && SUCCEEDED(init(nullptr));
    }
    ~ComScope() {
        if (ok_) uninit_();
    }

private:
    bool ok_ = false;
    decltype(&CoUninitialize) uninit_ = nullptr;
};

// Loads pictures on the thread that created it (the user-interface thread).
class OlePictures final : public IPictures {
public:
    std::shared_ptr<Image> Load(std::wstring_view path) override;

private:
    std::unique_ptr<ComScope> com_;
};

}  // namespace quorlax::win
