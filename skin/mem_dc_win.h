// A grow-only off-screen surface: one memory DC with one display-compatible bitmap.
#pragma once

#include <windows.h>

#include "skin/skin_handles_win.h"

namespace quorlax::skin {

class cMemDC {
public:
    // Grows the surface to the picture's size and copies the picture in.
    void CreateFromPicture(HBITMAP sPic);
    // The memory device context (null before the first size is set).
    HDC hdc() const { return surface_.dc(); }
    // Current width in pixels; a larger value recreates the surface (content lost).
    void Width(int value);
    int Width() const { return surface_.width(); }
    // Current height in pixels; a larger value recreates the surface (content lost).
    void Height(int value);
    int Height() const { return surface_.height(); }

private:
    void Create(int width, int height);

    win::MemorySurface surface_;
};

}  // namespace quorlax::skin
