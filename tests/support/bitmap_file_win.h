// Writes a small one-colour 24-bit bitmap file for the picture tests.
#pragma once

#include <windows.h>

#include <string>

namespace quorlax::test {

// A 64 x 48 bitmap of one colour in the temporary folder; returns its path.
inline std::wstring WriteBitmap(const wchar_t* name, BYTE r, BYTE g, BYTE b) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring path = std::wstring(tmp) + name;
    const int w = 64, h = 48, row = w * 3;
    std::string pixels(static_cast<size_t>(row) * h, '\0');
    for (size_t i = 0; i < pixels.size(); i += 3) {
        pixels[i] = static_cast<char>(b);
        pixels[i + 1] = static_cast<char>(g);
        pixels[i + 2] = static_cast<char>(r);
    }
    BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(54 + pixels.size()), 0, 0, 54};
    BITMAPINFOHEADER ih{sizeof ih, w, h, 1, 24, BI_RGB, static_cast<DWORD>(pixels.size()), 0, 0, 0, 0};
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    WriteFile(f, &fh, sizeof fh, &n, nullptr);
    WriteFile(f, &ih, sizeof ih, &n, nullptr);
    WriteFile(f, pixels.data(), static_cast<DWORD>(pixels.size()), &n, nullptr);
    CloseHandle(f);
    return path;
}

}  // namespace quorlax::test
