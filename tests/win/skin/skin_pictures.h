// Synthetic skin pictures whose every pixel tells where it came from, and
// captures of what a painter drew (the driver's), for the pixel tests.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "drive/drive_win.h"

namespace quorlax::skin::test {

constexpr int kCaptionWidth = 640, kCaptionHeight = 48;  // as data/art/caption.bmp
constexpr int kBorderWidth = 70, kBorderHeight = 10;     // as data/art/border.bmp

// Caption strip pixel (x, y): red and green give the column and row back;
// the blue 0x80 marks the artwork (no caption or menu colour has it).
inline COLORREF CaptionPixel(int x, int y) { return RGB(x % 256, (x / 256) * 64 + y, 0x80); }

// Border strip pixel: one palette entry per row of each 10-pixel tile.
inline COLORREF BorderPixel(int x, int y) {
    const int entry = (x / 10) * 10 + y;
    return RGB(entry * 3, 200, 100);
}

// A bottom-up DIB section of the given depth filled by `pixel` (8 bits:
// `pixel` gives palette indices through `palette`).
inline HBITMAP MakeDib(int w, int h, int bits, const std::function<COLORREF(int, int)>& pixel,
                       const std::vector<COLORREF>& palette = {}) {
    std::vector<unsigned char> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
    bi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi->bmiHeader.biWidth = w;
    bi->bmiHeader.biHeight = h;
    bi->bmiHeader.biPlanes = 1;
    bi->bmiHeader.biBitCount = static_cast<WORD>(bits);
    bi->bmiHeader.biClrUsed = bits == 8 ? static_cast<DWORD>(palette.size()) : 0;
    for (size_t i = 0; i < palette.size(); ++i)
        bi->bmiColors[i] = RGBQUAD{GetBValue(palette[i]), GetGValue(palette[i]), GetRValue(palette[i]), 0};
    void* bits_out = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &bits_out, nullptr, 0);
    auto* p = static_cast<unsigned char*>(bits_out);
    const int stride = ((w * bits / 8) + 3) & ~3;
    for (int y = 0; y < h; ++y) {
        unsigned char* row = p + static_cast<size_t>(h - 1 - y) * stride;
        for (int x = 0; x < w; ++x) {
            const COLORREF c = pixel(x, y);
            if (bits == 8) {
                row[x] = static_cast<unsigned char>(c);
            } else {
                row[3 * x] = GetBValue(c);
                row[3 * x + 1] = GetGValue(c);
                row[3 * x + 2] = GetRValue(c);
            }
        }
    }
    return bmp;
}

inline HBITMAP MakeCaptionStrip() { return MakeDib(kCaptionWidth, kCaptionHeight, 24, CaptionPixel); }

inline HBITMAP MakeBorderStrip() {
    std::vector<COLORREF> palette;
    for (int entry = 0; entry < 70; ++entry) palette.push_back(BorderPixel((entry / 10) * 10, entry % 10));
    return MakeDib(
        kBorderWidth, kBorderHeight, 8, [](int x, int y) { return static_cast<COLORREF>((x / 10) * 10 + y); },
        palette);
}

using drive::Capture;
using drive::CaptureOf;

// The whole window as it is on its surface (frame included).
inline Capture CaptureWindow(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return CaptureOf(r.right - r.left, r.bottom - r.top, [&](HDC mem) {
        HDC dc = GetWindowDC(hwnd);
        BitBlt(mem, 0, 0, r.right - r.left, r.bottom - r.top, dc, 0, 0, SRCCOPY);
        ReleaseDC(hwnd, dc);
    });
}

}  // namespace quorlax::skin::test
