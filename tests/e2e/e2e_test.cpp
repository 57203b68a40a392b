// End-to-end runs of the real quorlax.exe under Wine: start-up, a game
// started from the menu with labels falling on screen, a practice run with a
// wrong character marked on screen, the second copy and a missing data file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "drive/drive_win.h"

namespace quorlax::drive {
namespace {

const std::wstring kExe = L"quorlax.exe";
constexpr wchar_t kMainClass[] = L"QuorlaxMainWindow";

HWND WaitForMessageBox(const Process& p) { return WaitForWindowOf(p.Id(), L"#32770"); }

// Starts quorlax.exe beside this program; its main window, or null when
// none showed.
HWND Launch(Process& game) {
    return game.Start(ExeFolder() + L"\\" + kExe, ExeFolder()) ? WaitForWindowOf(game.Id(), kMainClass)
                                                               : nullptr;
}

// 速度 › 十速 through the keyboard, then 文件 › 游戏 › 英文 (through the menu,
// or its shortcut Ctrl+Y), and the labels seen falling. Keys sent to another
// process can be lost while it is not yet in front, so the fall is checked on
// screen and the keys sent again if the labels stay out of sight or still.
// (The game-over run below needs 十速: it waits for the fifth fall.)
enum class Start { kMenu, kClick, kF10, kShortcut };

// Where the caption strip draws the titles 文 件 and 生 命 (window x).
constexpr int kFileTitleX = 116, kLivesTitleX = 213;

// A mouse click on the painted menu bar at x (window coordinates).
void ClickTitle(HWND main, int x) {
    RECT r{};
    GetWindowRect(main, &r);
    const POINT title{r.left + x, r.top + 34};
    SetCursorPos(title.x, title.y);
    WaitFor([&] {
        POINT at{};
        return GetCursorPos(&at) && at.x == title.x && at.y == title.y;
    });
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, in, sizeof(INPUT));
}

// 游戏 › 英文 in the 文 件 drop-down, once it is open.
void PickEnglishInOpenFileMenu(HWND main) {
    WaitForMenus(main, 1);
    PressKey(VK_DOWN);
    PressKey(VK_RIGHT);
    WaitForMenus(main, 2);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
}

bool StartFastEnglishGame(HWND main, Start how) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetForegroundWindow(main);
        WaitFor([&] { return GetForegroundWindow() == main; }, 2000);
        PickMenuItem(main, 1, 9);
        WaitFor([&] { return OpenMenus(main) == 0; });  // 十速 picked
        switch (how) {
            case Start::kMenu: PickSubmenuItem(main, 0, 0, 1); break;
            case Start::kClick:
                ClickTitle(main, kFileTitleX);
                PickEnglishInOpenFileMenu(main);
                break;
            case Start::kF10:
                PressKey(VK_F10);
                PickEnglishInOpenFileMenu(main);
                break;
            case Start::kShortcut: PressCtrl(main, 'Y'); break;
        }
        const int floor_y = 420;  // the floor line lies at 6390 twips = 426 px
        int first = -1;
        if (!WaitFor(
                [&] { return (first = LowestRowWith(CaptureClient(main), RGB(255, 255, 0), floor_y)) > 30; },
                4000))
            continue;
        if (WaitFor(
                [&] { return LowestRowWith(CaptureClient(main), RGB(255, 255, 0), floor_y) - first > 20; }))
            return true;
    }
    return false;
}

TEST(EndToEnd, GameStartedFromTheMenuMakesLabelsFallOnScreen) {
    Process game;
    HWND main = Launch(game);
    ASSERT_NE(main, nullptr) << "the main window never showed";
    EXPECT_EQ(WindowText(main), L"Quorlax");

    EXPECT_TRUE(StartFastEnglishGame(main, Start::kMenu)) << "no labels seen falling after choosing a game";
    EXPECT_TRUE(game.Running());
}

TEST(EndToEnd, ThePaintedMenuBarStartsAGameByMouseAndByF10AndItsGreyedTitleOpensNothing) {
    Process game;
    HWND main = Launch(game);
    ASSERT_NE(main, nullptr);
    RECT window{}, client{};
    GetWindowRect(main, &window);
    GetClientRect(main, &client);
    EXPECT_EQ(window.right - window.left, 814) << "the painted frame around a 794 x 528 client area";
    EXPECT_EQ(client.right, 794);
    SetForegroundWindow(main);
    ClickTitle(main, kLivesTitleX);  // stands greyed: opens nothing
    EXPECT_FALSE(WaitFor([&] { return FindWindowOf(game.Id(), L"#32768") != nullptr; }, 1500))
        << "the greyed 生 命 opened";
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(StartFastEnglishGame(main, Start::kClick)) << "clicking 文 件 › 游戏 › 英文 started nothing";
    EXPECT_TRUE(StartFastEnglishGame(main, Start::kF10)) << "F10 › 游戏 › 英文 started nothing";
    EXPECT_TRUE(game.Running());
}

TEST(EndToEnd, PracticeMarksAWrongCharacterRedAndBackspaceMakesItPlain) {
    Process game;
    HWND main = Launch(game);
    ASSERT_NE(main, nullptr);
    const auto px = TwipsToPixels;
    const RECT row1{px(90), px(60), px(90 + 29 * 400), px(60 + 400)};
    const RECT cell1{px(90), px(60), px(90 + 400), px(60 + 400)};

    // 文件 › 练习 › 汉字 by its shortcut.
    ASSERT_TRUE(PressCtrlUntil(main, 'D', [&] { return CountOnScreen(main, row1, RGB(255, 255, 0)) > 200; }))
        << "no practice text seen in the grid after Ctrl+D";
    EXPECT_EQ(CountOnScreen(main, cell1, RGB(255, 0, 0)), 0);

    TypeText(L"~");  // never in a text of Chinese words
    EXPECT_TRUE(
        WaitFor([&] { return CountOnScreen(main, cell1, RGB(255, 0, 0)) > px(400) * px(400) / 2; }, 5000))
        << "the wrong character's cell is red";
    PressKey(VK_BACK);
    EXPECT_TRUE(WaitFor([&] { return CountOnScreen(main, cell1, RGB(255, 0, 0)) == 0; }, 5000))
        << "Backspace made the cell plain again";
    EXPECT_TRUE(game.Running());
}

std::wstring Stored(const wchar_t* key) {
    wchar_t buf[256] = {};
    DWORD bytes = sizeof buf;
    if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Quorlax\\123", key, RRF_RT_REG_SZ, nullptr, buf,
                     &bytes) != ERROR_SUCCESS)
        return L"<absent>";
    return buf;
}

TEST(EndToEnd, AGamePlayedToGameOverPutsTheNameInTheHallOfFame) {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Quorlax\\123");
    {
        Process game;
        HWND main = Launch(game);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(Stored(L"yf1"), L"0") << "the start-up fill";
        ASSERT_TRUE(StartFastEnglishGame(main, Start::kShortcut)) << "could not start a fast English game";
        // Untouched, all five labels pass the floor together after 69 ticks
        // of 168 ms and take the five lives at once.
        HWND hof = nullptr;
        ASSERT_TRUE(
            WaitFor([&] { return (hof = FindWindowOf(game.Id(), L"QuorlaxHallOfFame")) != nullptr; }, 40000))
            << "no hall of fame after the game over";
        EXPECT_EQ(WindowText(hof), L"    英   雄   榜");
        HWND name_box = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            return (name_box = FindWindowExW(hof, nullptr, L"Edit", nullptr)) != nullptr &&
                   GetForegroundWindow() == hof;
        })) << "the name box, in front";
        SendMessageW(name_box, EM_SETSEL, 0, -1);
        TypeText(L"Tester");
        EXPECT_TRUE(WaitFor([&] { return ControlText(name_box) == L"Tester"; }, 5000))
            << ControlText(name_box);
        HWND ok = FindWindowExW(hof, nullptr, L"Button", nullptr);
        ASSERT_NE(ok, nullptr);
        SendMessageW(ok, BM_CLICK, 0, 0);
        EXPECT_TRUE(WaitFor([&] { return !IsWindow(hof); }, 5000)) << "OK closes the window";
        // A total of 0 in a fresh table ties rank 1 and lands right below it.
        EXPECT_EQ(Stored(L"ym2"), L"Tester");
        EXPECT_EQ(Stored(L"yf2"), L"0");
        EXPECT_EQ(Stored(L"ym3"), L"") << "the rows below moved down";
        EXPECT_EQ(Stored(L"yf3"), L"0");
        EXPECT_EQ(Stored(L"ym1"), L"<absent>") << "rank 1 kept as it was";
    }
    // The entry survives a restart of the program.
    Process again;
    ASSERT_NE(Launch(again), nullptr);
    EXPECT_EQ(Stored(L"ym2"), L"Tester");
    EXPECT_EQ(Stored(L"yf2"), L"0");
}

TEST(EndToEnd, ASecondCopySaysTheProgramRunsAndEnds) {
    Process first, second;
    ASSERT_NE(Launch(first), nullptr);
    ASSERT_TRUE(second.Start(ExeFolder() + L"\\" + kExe, ExeFolder()));
    HWND box = WaitForMessageBox(second);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), L"Quorlax");
    EXPECT_EQ(MessageBoxText(box), L"程序已运行");
    EXPECT_EQ(FindWindowOf(second.Id(), kMainClass), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(second.Wait(10000), 0);
    EXPECT_TRUE(first.Running()) << "the running copy is not touched";
}

TEST(EndToEnd, AMissingWordPoolIsNamedWithItsFolderAndTheProgramEnds) {
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring folder = std::wstring(tmp) + L"quorlax_nodata";
    CreateDirectoryW(folder.c_str(), nullptr);
    std::wstring exe = folder + L"\\" + kExe;
    ASSERT_TRUE(CopyFileW((ExeFolder() + L"\\" + kExe).c_str(), exe.c_str(), FALSE));
    {
        Process game;
        ASSERT_TRUE(game.Start(exe, folder));
        HWND box = WaitForMessageBox(game);
        ASSERT_NE(box, nullptr);
        std::wstring text = MessageBoxText(box);
        EXPECT_NE(text.find(L"vbyx.dll"), std::wstring::npos) << "names the file";
        EXPECT_NE(text.find(folder), std::wstring::npos) << "names the folder";
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(game.Wait(10000), 1) << "a clean exit, not a crash";
    }
    DeleteFileW(exe.c_str());
    RemoveDirectoryW(folder.c_str());
}

}  // namespace
}  // namespace quorlax::drive
