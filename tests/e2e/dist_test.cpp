// The unpacked download zip under Wine: the exe carries the build's version
// and the program's icon, the five-stroke codes beside it read whole, and it
// starts from its own folder, shows the main window and opens the picture
// chooser and the About box from its menus. The folder comes from
// tests/dist/zip_run_test.py.
#include <gtest/gtest.h>
#include <windows.h>
// The icon look-up needs windows.h first.
#include <shellapi.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/five_stroke.h"
#include "drive/drive_win.h"
#include "quorlax_version.h"

namespace quorlax::drive {
namespace {

std::wstring Folder() {
    const wchar_t* folder = _wgetenv(L"QUORLAX_DIST_FOLDER");
    return folder ? folder : L"";
}

// A file of the unpacked folder, read whole.
// The fixed part of the exe's version resource.
bool ReadVersion(const std::wstring& exe, VS_FIXEDFILEINFO& out) {
    HMODULE module = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return false;
    bool found = false;
    if (HRSRC res = FindResourceW(module, MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION)) {
        const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, res)));
        DWORD size = SizeofResource(module, res);
        for (DWORD i = 0; data && i + sizeof out <= size; i += 4)
            if (reinterpret_cast<const VS_FIXEDFILEINFO*>(data + i)->dwSignature == 0xFEEF04BD) {
                out = *reinterpret_cast<const VS_FIXEDFILEINFO*>(data + i);
                found = true;
                break;
            }
    }
    FreeLibrary(module);
    return found;
}

TEST(Download, TheUnpackedZipStartsAndShowsTheMainWindow) {
    const std::wstring folder = Folder();
    ASSERT_FALSE(folder.empty()) << "run through tests/dist/zip_run_test.py";
    const std::wstring exe = folder + L"\\quorlax.exe";

    VS_FIXEDFILEINFO version{};
    ASSERT_TRUE(ReadVersion(exe, version));
    EXPECT_EQ(version.dwFileVersionMS,
              static_cast<DWORD>(MAKELONG(QUORLAX_VERSION_MINOR, QUORLAX_VERSION_MAJOR)));
    EXPECT_EQ(HIWORD(version.dwFileVersionLS), QUORLAX_VERSION_PATCH);
    HICON icon = ExtractIconW(GetModuleHandleW(nullptr), exe.c_str(), 0);
    EXPECT_NE(icon, nullptr) << "the exe shows its icon";
    if (icon) DestroyIcon(icon);

    // The codes for typing by code ship beside the exe and read whole.
    const auto codes = FiveStrokeCodes::Parse(ReadWholeFile(folder + L"\\" + kFiveStrokeCodesFile));
    EXPECT_EQ(codes.SkippedLines(), 0u);
    EXPECT_EQ(codes.CodesOf(L"中国"), std::vector<std::string>{"khlg"});

    Process game;
    ASSERT_TRUE(game.Start(exe, folder));
    HWND main = WaitForWindowOf(game.Id(), L"QuorlaxMainWindow", 30000);
    ASSERT_NE(main, nullptr) << (FindWindowOf(game.Id(), L"#32770")
                                     ? "a message box instead of the main window"
                                     : "no main window");
    EXPECT_EQ(WindowText(main), L"Quorlax");
    RECT client{};
    GetClientRect(main, &client);
    EXPECT_GT(client.right, 700);

    // The settings room's windows open from the real menus: the picture
    // chooser by its shortcut, the About box through 帮助 › 关于. Keys sent
    // before the window is in front can be lost, so each is tried twice.
    auto opens = [&](const wchar_t* cls, const std::function<void()>& ask) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            SetForegroundWindow(main);
            WaitFor([&] { return GetForegroundWindow() == main; }, 2000);
            ask();
            if (WaitFor([&] { return FindWindowOf(game.Id(), cls) != nullptr; }, 4000)) return true;
        }
        return false;
    };
    EXPECT_TRUE(opens(L"QuorlaxPictureChooser", [&] { PressCtrl(main, 'I'); })) << "Ctrl+I opens the chooser";
    EXPECT_TRUE(opens(L"QuorlaxAbout", [&] { PickMenuItem(main, 2, 1); }))
        << "帮助 › 关于 opens About (two Right presses: the greyed 生 命 is skipped)";
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(game.Wait(10000), 0) << "the program ends when its window closes";
}

}  // namespace
}  // namespace quorlax::drive
