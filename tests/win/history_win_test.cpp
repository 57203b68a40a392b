// The practice record on the real system: the file in the profile's
// %APPDATA%\Quorlax (the private test prefix's), a locked file and the runs
// written later, the rewrite, the end of the Windows session, and the new
// menu items as the real menu bar shows them.
#include <windows.h>

#include <string>

#include "practice/record_file_win.h"
#include "window_fixture.h"

namespace quorlax::win {
namespace {

std::string ReadAll(const std::wstring& path) {
    UniqueFile f(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, 0, nullptr));
    if (!f) return {};
    char buf[4096];
    DWORD got = 0;
    std::string all;
    while (ReadFile(f.get(), buf, sizeof buf, &got, nullptr) && got) all.append(buf, got);
    return all;
}

class HistoryWinTest : public MainWindowTest {
protected:
    void SetUp() override {
        path_ = file_.Path();
        ASSERT_NE(path_.find(L"\\Quorlax\\practice-history.tsv"), std::wstring::npos);
        DeleteFileW(path_.c_str());
        RemoveDirectoryW(path_.substr(0, path_.rfind(L'\\')).c_str());  // a missing folder is made
        Services& f = fakes_.services;
        services_ =
            std::make_unique<Services>(Services{f.random, f.messages, f.files, f.settings, f.sound, f.battle,
                                                f.dialogs, f.pictures, f.shell, f.folders, f.clock});
        fakes_.random.SetFallback({0.5, 0.0, 0.25, 0.75, 0.1, 0.9, 0.3, 0.6, 0.45});
        window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), *services_, PracticeFiles{file_, fakes_.chars, fakes_.keys});
        ASSERT_TRUE(window_->Create());
        hwnd_ = window_->Handle();
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        for (const std::wstring& file : {path_, Beside(kHistoryFiles.old), Beside(kHistoryFiles.pending)})
            DeleteFileW(file.c_str());
    }
    std::wstring Beside(const wchar_t* name) { return path_.substr(0, path_.rfind(L'\\') + 1) + name; }
    static bool Exists(const std::wstring& file) {
        return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // One practice run with one wrong character, ended by a game start.
    void PractiseOnce() {
        Choose(form().practice.builtInItem);
        SendMessageW(window_->Practice().PracticeBox(), WM_CHAR, L'#', 1);
        Choose(form().game.englishGameItem);
    }

    RecordFileWin file_{kHistoryFiles};
    std::wstring path_;
    std::unique_ptr<Services> services_;
};

TEST_F(HistoryWinTest, RunsAreAppendedAndALockedFileIsToldOnceWhileTheEarlierRunsStay) {
    PractiseOnce();
    const std::string first = ReadAll(path_);
    HistoryContents c = ParseHistory(first, false);
    ASSERT_EQ(c.runs.size(), 1u) << "the folder was made and the run appended";
    EXPECT_EQ(first.substr(0, HistoryHeader().size()), HistoryHeader());

    {
        // Another program holds the file with no sharing at all.
        UniqueFile lock(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        PractiseOnce();
        PractiseOnce();
        ASSERT_EQ(fakes_.messages.shown.size(), 1u) << "told once per session";
        EXPECT_NE(fakes_.messages.shown[0].find(path_.substr(0, path_.rfind(L'\\')) + L" 文件夹"),
                  std::wstring::npos)
            << "names the real folder";
        Choose(form().practice.builtInItem);
        SendMessageW(window_->Practice().PracticeBox(), WM_CHAR, form().practice.Run().Caption(1)[0], 1);
        EXPECT_EQ(form().practice.correctLabel.Caption(), L"1") << "practice goes on";
    }
    EXPECT_EQ(ReadAll(path_), first) << "nothing recorded before was touched";
    Choose(form().game.digitsGameItem);
    EXPECT_EQ(ParseHistory(ReadAll(path_), false).runs.size(), 4u) << "the held runs written with the next";
    EXPECT_EQ(fakes_.messages.shown.size(), 1u);
}

TEST_F(HistoryWinTest, ACutShortLastLineGetsItsEndAndTheSessionsEndWritesSilentlyBesideAHeldFile) {
    PractiseOnce();
    const std::string line = FormatRun(ParseHistory(ReadAll(path_), false).runs[0]);
    const std::string cut = HistoryHeader() + line.substr(0, 20);
    ASSERT_TRUE(file_.Replace(cut));
    ASSERT_TRUE(file_.Append(HistoryHeader(), line));
    EXPECT_EQ(ReadAll(path_), cut + "\n" + line);
    ASSERT_TRUE(file_.Replace(HistoryHeader() + line));

    // The session ends while another program holds the file: no message box
    // holds up the logoff, and the open run waits in the pending file.
    const std::string before = ReadAll(path_);
    {
        UniqueFile lock(CreateFileW(path_.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        Choose(form().practice.builtInItem);
        SendMessageW(window_->Practice().PracticeBox(), WM_CHAR, L'#', 1);
        SendMessageW(hwnd_, WM_ENDSESSION, TRUE, 0);
    }
    EXPECT_TRUE(fakes_.messages.shown.empty());
    EXPECT_EQ(ReadAll(path_), before);
    EXPECT_EQ(ParseHistory(ReadAll(Beside(kHistoryFiles.pending)), false).runs.size(), 1u);
    // The next start's first use takes it in.
    PracticeHistory next(file_, fakes_.messages);
    EXPECT_EQ(next.Load().runs.size(), 2u);
    EXPECT_FALSE(Exists(Beside(kHistoryFiles.pending)));
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(HistoryWinTest, TheFileIsRewrittenInPlaceOfTheOldOneAndMovedAsideWhenCleared) {
    PractiseOnce();
    const std::string line = FormatRun(ParseHistory(ReadAll(path_), false).runs[0]);
    const std::string one = ReadAll(path_);
    ASSERT_TRUE(file_.Replace(HistoryHeader() + line + line + line));
    EXPECT_EQ(ParseHistory(ReadAll(path_), false).runs.size(), 3u);
    EXPECT_EQ(ReadAll(Beside(kHistoryFiles.old)), one) << "the old file kept beside";
    EXPECT_FALSE(Exists(path_ + L".new"));
    // A rewrite that fails part-way (a full disk) leaves the file as it was.
    const std::string three = ReadAll(path_);
    file_.SetRewriteRoom(line.size());
    EXPECT_FALSE(file_.Replace(HistoryHeader() + line + line));
    file_.SetRewriteRoom(~0ull);
    EXPECT_EQ(ReadAll(path_), three);
    EXPECT_EQ(ReadAll(Beside(kHistoryFiles.old)), one);
    EXPECT_FALSE(Exists(path_ + L".new"));
    EXPECT_FALSE(Exists(Beside(kHistoryFiles.old) + L".new"));
    // Read from its tail when it is larger than the limit.
    IRecordFile::Bytes tail = file_.Read(line.size() + 5);
    EXPECT_TRUE(tail.ok && tail.fromTail);
    EXPECT_EQ(ParseHistory(tail.bytes, true).runs.size(), 1u);

    // A record not made yet, in a folder not made yet, is made whole.
    const std::wstring folder = path_.substr(0, path_.rfind(L'\\')) + L"\\new";
    RecordFileWin fresh(kCharRecordFiles, folder);
    ASSERT_TRUE(fresh.Replace("x\n"));
    EXPECT_EQ(ReadAll(folder + L"\\practice-chars.tsv"), "x\n");
    EXPECT_FALSE(Exists(folder + L"\\practice-chars.old.tsv"));
    DeleteFileW((folder + L"\\practice-chars.tsv").c_str());
    RemoveDirectoryW(folder.c_str());

    ASSERT_TRUE(form().practice.History().Clear());
    EXPECT_EQ(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES);
    const std::wstring backup = path_.substr(0, path_.rfind(L'\\') + 1) + kHistoryFiles.backup;
    EXPECT_EQ(ParseHistory(ReadAll(backup), false).runs.size(), 3u);
    DeleteFileW(backup.c_str());
}

TEST_F(HistoryWinTest, TheNewItemsEndTheirMenusWithShortcutsAndGreyWithTheBattlePanel) {
    HMENU bar = window_->Menus().Handle();
    HMENU practice = GetSubMenu(GetSubMenu(bar, 0), 1);
    HMENU settings = GetSubMenu(GetSubMenu(bar, 0), 2);
    wchar_t text[64];
    const int n = GetMenuItemCount(practice);
    ASSERT_EQ(n, 6);
    GetMenuStringW(practice, 2, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"错字\tCtrl+E");
    GetMenuStringW(practice, 3, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"记录\tCtrl+R");
    GetMenuStringW(practice, 4, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"结束\tCtrl+T");
    EXPECT_TRUE(GetMenuState(practice, 4, MF_BYPOSITION) & MF_GRAYED) << "no run is open";
    GetMenuStringW(practice, 5, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"入门\tCtrl+L");
    const int last = GetMenuItemCount(settings) - 3;  // before 目标速度 and 五笔编码输入
    GetMenuStringW(settings, last, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"错字提示编码");
    EXPECT_FALSE(GetMenuState(settings, last, MF_BYPOSITION) & MF_CHECKED);
    Choose(form().practice.codeHintItem);
    window_->AfterEvent();
    EXPECT_TRUE(GetMenuState(settings, last, MF_BYPOSITION) & MF_CHECKED);

    // Ctrl+R opens the record; not while the battle panel greys 文 件.
    auto ctrl = [&](WORD key) {
        BYTE keys[256];
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        MSG msg{hwnd_, WM_KEYDOWN, key, 1, 0, {}};
        MessageLoop::Instance().PreTranslate(msg);
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
        window_->AfterEvent();
    };
    ctrl('R');
    EXPECT_TRUE(form().practice.record.Loaded());
    form().practice.record.Unload();
    Choose(form().battle.battleItem);
    window_->AfterEvent();
    EXPECT_TRUE(GetMenuState(bar, 0, MF_BYPOSITION) & MF_GRAYED);
    ctrl('R');
    ctrl('E');
    EXPECT_FALSE(form().practice.record.Loaded());
    EXPECT_TRUE(fakes_.messages.shown.empty()) << "the drill did not start";
}

}  // namespace
}  // namespace quorlax::win
