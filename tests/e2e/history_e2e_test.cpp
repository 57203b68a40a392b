// End-to-end runs of the real quorlax.exe under Wine on the practice record
// in the private prefix's %APPDATA%\Quorlax: a record a spreadsheet saved
// back, rewritten at the cap with the old file kept beside; and runs ended
// while another program holds the record, kept in the pending file at exit
// and appended at the next start.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

#include "drive/drive_win.h"
#include "platform/handles_win.h"
#include "practice/history.h"

namespace quorlax::drive {
namespace {

std::wstring BuildFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

std::wstring RecordFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH);
    return n > 0 && n < MAX_PATH ? std::wstring(path) + L"\\Quorlax" : std::wstring();
}

std::wstring InRecordFolder(const wchar_t* name) { return RecordFolder() + L"\\" + name; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// A fresh record folder holding `record` (none when empty).
void PrepareRecord(const std::string& record) {
    CreateDirectoryW(RecordFolder().c_str(), nullptr);
    for (const wchar_t* name : {kHistoryFiles.file, kHistoryFiles.old, kHistoryFiles.pending})
        DeleteFileW(InRecordFolder(name).c_str());
    if (!record.empty()) {
        ASSERT_TRUE(WriteWholeFile(InRecordFolder(kHistoryFiles.file), record));
    }
}

int Px(int twips) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return MulDiv(twips, dpi, 1440);
}

// Pixels of the window on screen near `colour` in the practice grid's first
// row, from cell `first` to cell `last` (1-based).
int CellPixels(HWND main, int first, COLORREF colour, int last = 0) {
    const RECT r{Px(90 + (first - 1) * 400), Px(60), Px(90 + std::max(first, last) * 400), Px(460)};
    Capture shot = CaptureClient(main);
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

// 练习 › 汉字 by its shortcut, until a fresh grid shows (keys sent to another
// process can be lost before its window is in front); then `wrong` wrong
// characters, each seen red. A message box of the program's that comes up
// meanwhile is read into `told` and closed.
bool PractiseWrong(const Process& game, HWND main, int wrong, std::wstring* told = nullptr) {
    const int red = Px(400) * Px(400) / 2;
    bool started = false;
    for (int attempt = 0; attempt < 4 && !started; ++attempt) {
        SetForegroundWindow(main);
        WaitFor([&] { return GetForegroundWindow() == main; }, 2000);
        PressCtrl(main, 'D');
        started = WaitFor(
            [&] {
                if (HWND box = FindWindowOf(game.Id(), L"#32770")) {
                    if (told) *told = MessageBoxText(box);
                    PostMessageW(box, WM_COMMAND, IDOK, 0);
                    WaitFor([&] { return !IsWindow(box); }, 5000);
                }
                return CellPixels(main, 1, RGB(255, 255, 0), 29) > 200 &&
                       CellPixels(main, 1, RGB(255, 0, 0)) == 0;
            },
            4000);
    }
    if (!started) return false;
    for (int cell = 1; cell <= wrong; ++cell) {
        TypeText(L"~");  // never in a text of Chinese words
        if (!WaitFor([&] { return CellPixels(main, cell, RGB(255, 0, 0)) > red; }, 5000)) return false;
    }
    return true;
}

HWND StartGame(Process& game) {
    if (!game.Start(BuildFolder() + L"\\quorlax.exe", BuildFolder())) return nullptr;
    HWND w = nullptr;
    WaitFor([&] { return (w = FindWindowOf(game.Id(), L"QuorlaxMainWindow")) != nullptr; }, 20000);
    return w;
}

// Closes the window as its close box does: the open run ends and is recorded.
bool CloseGame(Process& game, HWND main) {
    PostMessageW(main, WM_CLOSE, 0, 0);
    return game.Wait(20000) == 0;
}

// Leaves no record behind for the other runs in this prefix: neither the
// history nor the per-character record the runs also went into.
class HistoryEndToEnd : public ::testing::Test {
protected:
    void TearDown() override {
        for (const RecordFileNames& names : {kHistoryFiles, kCharRecordFiles})
            for (const wchar_t* name : {names.file, names.old, names.pending})
                DeleteFileW(InRecordFolder(name).c_str());
    }
};

TEST_F(HistoryEndToEnd, ARecordSavedBackByASpreadsheetLosesNoRunAtTheCapsRewrite) {
    // 11,000 runs with CR LF and the times as a spreadsheet writes them.
    std::string record = HistoryHeader();
    record.replace(record.size() - 1, 1, "\r\n");
    for (int i = 0; i < 11000; ++i)
        record += "2026/1/" + std::to_string(1 + i % 28) + " 9:05\tbuiltin\t\t120\t110\t92\t" +
                  std::to_string(i % 1000) +
                  "\t95\t\xE4\xB8\xAD"
                  "1\r\n";  // 中1
    PrepareRecord(record);
    Process game;
    HWND main = StartGame(game);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(PractiseWrong(game, main, 1)) << "no practice run typed";
    ASSERT_TRUE(CloseGame(game, main));

    const HistoryContents now = ParseHistory(ReadWholeFile(InRecordFolder(kHistoryFiles.file)), false);
    ASSERT_EQ(now.runs.size(), kHistoryKeep) << "rewritten with the newest 10,000 runs";
    EXPECT_EQ(now.skipped, 0);
    EXPECT_EQ(now.runs.front().when, L"2026-01-22 09:05:00") << "the oldest kept is run 1001";
    EXPECT_EQ(now.runs.back().typed, 1) << "the run just practised";
    EXPECT_TRUE(ReadWholeFile(InRecordFolder(kHistoryFiles.old)) == record) << "the old file kept beside";
}

TEST_F(HistoryEndToEnd, RunsEndedWhileTheRecordIsHeldArePendingAtExitAndAppendedAtTheNextStart) {
    std::string record = HistoryHeader() + "2026-12-08 09:00:00\tbuiltin\t\t120\t110\t92\t48\t95\t\n";
    PrepareRecord(record);
    // Held as a spreadsheet might: no sharing at all.
    win::UniqueFile held(CreateFileW(InRecordFolder(kHistoryFiles.file).c_str(), GENERIC_READ, 0, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    {
        Process game;
        HWND main = StartGame(game);
        ASSERT_NE(main, nullptr);
        std::wstring told;
        ASSERT_TRUE(PractiseWrong(game, main, 1));
        ASSERT_TRUE(PractiseWrong(game, main, 2, &told)) << "the first run ends as the second starts";
        EXPECT_NE(told.find(RecordFolder()), std::wstring::npos) << "names the real folder";
        EXPECT_NE(told.find(L"补记"), std::wstring::npos) << "says the run is written later";
        ASSERT_TRUE(CloseGame(game, main));
    }
    const HistoryContents pending = ParseHistory(ReadWholeFile(InRecordFolder(kHistoryFiles.pending)), false);
    ASSERT_EQ(pending.runs.size(), 2u);
    held.reset();
    EXPECT_EQ(ReadWholeFile(InRecordFolder(kHistoryFiles.file)), record);

    // The next start takes them in at the first use of the record (its window).
    Process again;
    HWND main = StartGame(again);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(WaitFor(
        [&] {
            if (!FindWindowOf(again.Id(), L"QuorlaxRecord")) PressCtrl(main, 'R');
            return !Exists(InRecordFolder(kHistoryFiles.pending));
        },
        15000, 250));
    const HistoryContents now = ParseHistory(ReadWholeFile(InRecordFolder(kHistoryFiles.file)), false);
    ASSERT_EQ(now.runs.size(), 3u);
    EXPECT_EQ(now.runs[1].typed, 1);
    EXPECT_EQ(now.runs[2].typed, 2);
    EXPECT_TRUE(CloseGame(again, main));
}

}  // namespace
}  // namespace quorlax::drive
