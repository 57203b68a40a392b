// End-to-end runs of the real quorlax.exe under Wine: start-up, a game
// started from the menu with labels falling on screen, the second copy and
// a missing data file.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/drive_win.h"

namespace quorlax::drive {
namespace {

std::wstring BuildFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

const std::wstring kExe = L"quorlax.exe";
constexpr wchar_t kMainClass[] = L"QuorlaxMainWindow";

HWND WaitForMainWindow(const Process& p) {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindWindowOf(p.Id(), kMainClass)) != nullptr; }, 20000);
    return w;
}

HWND WaitForMessageBox(const Process& p) {
    HWND w = nullptr;
    WaitFor([&] { return (w = FindWindowOf(p.Id(), L"#32770")) != nullptr; }, 20000);
    return w;
}

TEST(EndToEnd, GameStartedFromTheMenuMakesLabelsFallOnScreen) {
    Process game;
    ASSERT_TRUE(game.Start(BuildFolder() + L"\\" + kExe, BuildFolder()));
    HWND main = WaitForMainWindow(game);
    ASSERT_NE(main, nullptr) << "the main window never showed";
    EXPECT_EQ(WindowText(main), L"Quorlax");

    // Ctrl+Y is the shortcut of 游戏 › 英文; labels then fall at 一速.
    PressCtrl(main, 'Y');

    const int floor_y = 420;  // the floor line lies at 6390 twips = 426 px
    int first = -1;
    ASSERT_TRUE(WaitFor([&] { return (first = LowestRowWith(CaptureClient(main), RGB(255, 255, 0), floor_y)) > 30; },
                        15000))
        << "no yellow label came into view";
    int later = -1;
    EXPECT_TRUE(WaitFor([&] { return (later = LowestRowWith(CaptureClient(main), RGB(255, 255, 0), floor_y)) > first + 10; },
                        8000))
        << "labels did not fall: " << first << " then " << later;
    EXPECT_TRUE(game.Running());
}

TEST(EndToEnd, ASecondCopySaysTheProgramRunsAndEnds) {
    Process first, second;
    ASSERT_TRUE(first.Start(BuildFolder() + L"\\" + kExe, BuildFolder()));
    ASSERT_NE(WaitForMainWindow(first), nullptr);
    ASSERT_TRUE(second.Start(BuildFolder() + L"\\" + kExe, BuildFolder()));
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
    ASSERT_TRUE(CopyFileW((BuildFolder() + L"\\" + kExe).c_str(), exe.c_str(), FALSE));
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
