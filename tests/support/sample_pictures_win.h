// Small picture files for the picture tests: one-colour bitmaps made on the
// spot, a JPEG and a GIF made once with ImageMagick, written where a test
// wants them.
#pragma once

#include <windows.h>

#include <string>

namespace quorlax::test {

// A 16 x 12 JPEG of pure green.
inline constexpr char kGreenJpeg[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
    "\x00\x03\x02\x02\x03\x02\x02\x03\x03\x03\x03\x04\x03\x03\x04\x05\x08\x05\x05\x04\x04\x05\x0a\x07"
    "\x07\x06\x08\x0c\x0a\x0c\x0c\x0b\x0a\x0b\x0b\x0d\x0e\x12\x10\x0d\x0e\x11\x0e\x0b\x0b\x10\x16\x10"
    "\x11\x13\x14\x15\x15\x15\x0c\x0f\x17\x18\x16\x14\x18\x12\x14\x15\x14\xff\xdb\x00\x43\x01\x03\x04"
    "\x04\x05\x04\x05\x09\x05\x05\x09\x14\x0d\x0b\x0d\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14"
    "\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\x14\xff\xc0\x00\x11\x08\x00\x0c\x00\x10\x03"
    "\x01\x11\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x06\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\xff\xc4\x00\x16\x01\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x08\x09\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\xbb\x43\xec\xe2\x00\x00"
    "\x1f\xff\xd9";

// A 4 x 3 GIF of pure red.
inline constexpr char kRedGif[] =
    "\x47\x49\x46\x38\x39\x61\x04\x00\x03\x00\xf0\x00\x00\xff\x00\x00\x00\x00\x00\x21\xf9\x04\x00\x00"
    "\x00\x00\x00\x2c\x00\x00\x00\x00\x04\x00\x03\x00\x00\x02\x03\x84\x8f\x56\x00\x3b";

// A 24-bit bitmap file of one colour.
inline std::string Bmp(int w, int h, COLORREF colour) {
    const int row = (w * 3 + 3) & ~3;
    std::string pixels(static_cast<size_t>(row) * h, '\0');
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            char* p = &pixels[static_cast<size_t>(y * row + x * 3)];
            p[0] = static_cast<char>(GetBValue(colour));
            p[1] = static_cast<char>(GetGValue(colour));
            p[2] = static_cast<char>(GetRValue(colour));
        }
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(54 + pixels.size()), 0, 0, 54};
    BITMAPINFOHEADER ih{sizeof ih, w, h, 1, 24, BI_RGB, static_cast<DWORD>(pixels.size()), 0, 0, 0, 0};
    return std::string(reinterpret_cast<const char*>(&fh), sizeof fh) +
           std::string(reinterpret_cast<const char*>(&ih), sizeof ih) + pixels;
}

// Writes `bytes` as the whole file at `path`.
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    CloseHandle(f);
}

// A 64 x 48 bitmap of one colour in the temporary folder; returns its path.
inline std::wstring WriteBitmap(const wchar_t* name, BYTE r, BYTE g, BYTE b) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring path = std::wstring(tmp) + name;
    WriteBytes(path, Bmp(64, 48, RGB(r, g, b)));
    return path;
}

}  // namespace quorlax::test
