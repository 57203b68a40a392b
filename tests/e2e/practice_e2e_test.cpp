// End-to-end practice on the real quorlax.exe under Wine: a word put into the
// practice box in one change has each of its characters compared, on screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "drive/drive_win.h"

namespace quorlax::drive {
namespace {

constexpr wchar_t kMainClass[] = L"QuorlaxMainWindow";

std::wstring BuildFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

// Pixels on screen near `colour` inside r of the window's client area.
int CountOnScreen(HWND main, const RECT& r, COLORREF colour) {
    const Capture shot = CaptureClient(main);
    int n = 0;
    for (int y = r.top; y < r.bottom && y < shot.height; ++y)
        for (int x = r.left; x < r.right && x < shot.width; ++x) {
            const COLORREF p = shot.At(x, y);
            n += std::abs(GetRValue(p) - GetRValue(colour)) + std::abs(GetGValue(p) - GetGValue(colour)) +
                     std::abs(GetBValue(p) - GetBValue(colour)) <
                 60;
        }
    return n;
}

BOOL CALLBACK FindShownEdit(HWND h, LPARAM lp) {
    wchar_t name[16] = {};
    GetClassNameW(h, name, 16);
    if (lstrcmpiW(name, L"Edit") != 0 || !IsWindowVisible(h)) return TRUE;
    *reinterpret_cast<HWND*>(lp) = h;
    return FALSE;
}

TEST(PracticeEndToEnd, AWordPutInAtOnceHasEachOfItsCharactersComparedOnScreen) {
    Process game;
    ASSERT_TRUE(game.Start(BuildFolder() + L"\\quorlax.exe", BuildFolder()));
    HWND main = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (main = FindWindowOf(game.Id(), kMainClass)) != nullptr; }, 20000));
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    auto px = [dpi](int twips) { return MulDiv(twips, dpi, 1440); };
    const RECT row1{px(90), px(60), px(90 + 29 * 400), px(60 + 400)};
    auto cell = [&](int i) { return RECT{px(90 + (i - 1) * 400), px(60), px(90 + i * 400), px(60 + 400)}; };

    // 文件 › 练习 › 汉字 by its shortcut, again if the keys were lost before
    // the window came to the front.
    bool started = false;
    for (int attempt = 0; attempt < 4 && !started; ++attempt) {
        SetForegroundWindow(main);
        WaitFor([&] { return GetForegroundWindow() == main; }, 2000);
        PressCtrl(main, 'D');
        started = WaitFor([&] { return CountOnScreen(main, row1, RGB(255, 255, 0)) > 200; }, 4000);
    }
    ASSERT_TRUE(started) << "no practice text seen in the grid after Ctrl+D";
    HWND box = nullptr;
    EnumChildWindows(main, FindShownEdit, reinterpret_cast<LPARAM>(&box));
    ASSERT_NE(box, nullptr) << "the practice box";

    // Two characters in one change, as an input method commits a word;
    // neither is in a text of Chinese words.
    SendMessageW(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"~#"));
    ASSERT_EQ(ControlText(box), L"~#");
    const int half = px(400) * px(400) / 2;
    EXPECT_TRUE(WaitFor([&] { return CountOnScreen(main, cell(2), RGB(255, 0, 0)) > half; }, 5000))
        << "the word's last character is wrong";
    EXPECT_GT(CountOnScreen(main, cell(1), RGB(255, 0, 0)), half) << "so is its first";

    EXPECT_TRUE(game.Running());
}

}  // namespace
}  // namespace quorlax::drive
