// End-to-end practice on the real quorlax.exe under Wine: a word put into the
// practice box in one change has each of its characters compared, on screen.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "drive/drive_win.h"

namespace quorlax::drive {
namespace {

constexpr wchar_t kMainClass[] = L"QuorlaxMainWindow";

TEST(PracticeEndToEnd, AWordPutInAtOnceHasEachOfItsCharactersComparedOnScreen) {
    Process game;
    ASSERT_TRUE(game.Start(ExeFolder() + L"\\quorlax.exe", ExeFolder()));
    HWND main = WaitForWindowOf(game.Id(), kMainClass);
    ASSERT_NE(main, nullptr);
    const auto px = TwipsToPixels;
    const RECT row1{px(90), px(60), px(90 + 29 * 400), px(60 + 400)};
    auto cell = [&](int i) { return RECT{px(90 + (i - 1) * 400), px(60), px(90 + i * 400), px(60 + 400)}; };

    // 文件 › 练习 › 汉字 by its shortcut.
    ASSERT_TRUE(PressCtrlUntil(main, 'D', [&] { return CountOnScreen(main, row1, RGB(255, 255, 0)) > 200; }))
        << "no practice text seen in the grid after Ctrl+D";
    HWND box = FindShownChild(main, L"Edit");
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
