// Drives the running game for the README's screenshot: starts a Chinese
// game with its shortcut, lets the words fall for a while and prints the
// window's rectangle on screen as WIDTHxHEIGHT+X+Y for cropping.
#include <windows.h>

#include <cstdio>

#include "support/drive_win.h"

int wmain() {
    using namespace quorlax::drive;
    HWND main = nullptr;
    if (!WaitFor([&] { return (main = FindWindowW(L"QuorlaxMainWindow", nullptr)) != nullptr; }, 20000))
        return 1;
    Sleep(500);
    PressCtrl(main, 'H');
    Sleep(9000);
    RECT r{};
    GetWindowRect(main, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
    return 0;
}
