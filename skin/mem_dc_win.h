// A grow-only off-screen surface: one memory DC with one display-compatible bitmap.
#pragma once

#include <windows.h>

#include "platform/non_copyable.h"
#include "skin/skin_handles_win.h"

namespace quorlax::skin {

class cMemDC : NonCopyable {
public:
    cMemDC() = default;
    ~cMemDC() { Release(); }

    // Grows the surface to the picture's size and copies the picture in.
    void CreateFromPicture(HBITMAP sPic);
    // The memory device context (null before the first size is set).
    HDC hdc() const { return dc_.get(); }
    // Current width in pixels; a larger value recreates the surface (content lost).
    void Width(int value);
    int Width() const { return width_; }
    // Current height in pixels; a larger value recreates the surface (content lost).
    void Height(int value);
    int Height() const { return height_; }

private:
    void Create(int width, int height);
    void Release();

    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;  // the bitmap the DC came with
    int width_ = 0, height_ = 0;
};

}  // namespace quorlax::skin
