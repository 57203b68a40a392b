// Drives the running game for the README's screenshots and prints the
// rectangle to crop, as WIDTHxHEIGHT+X+Y. "game" (the default) starts a
// Chinese game with its shortcut and lets the words fall for a while;
// "chooser" opens the background picture chooser (Ctrl+I) and "about" the
// About box (帮助 › 关于), each over the main window.
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/drive_win.h"

namespace {

HWND WaitForClass(const wchar_t* cls) {
    HWND w = nullptr;
    quorlax::drive::WaitFor([&] { return (w = FindWindowW(cls, nullptr)) != nullptr; }, 20000);
    return w;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    using namespace quorlax::drive;
    const std::wstring mode = argc > 1 ? argv[1] : L"game";
    HWND main = WaitForClass(L"QuorlaxMainWindow");
    if (!main) return 1;
    Sleep(500);
    RECT r{};
    GetWindowRect(main, &r);
    if (mode == L"game") {
        PressCtrl(main, 'H');
        Sleep(9000);
    } else {
        if (mode == L"chooser")
            PressCtrl(main, 'I');
        else
            PickMenuItem(main, 3, 1);
        HWND shown = WaitForClass(mode == L"chooser" ? L"QuorlaxPictureChooser" : L"QuorlaxAbout");
        if (!shown) return 1;
        Sleep(1000);
        RECT s{};
        GetWindowRect(shown, &s);
        UnionRect(&r, &r, &s);
    }
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}
