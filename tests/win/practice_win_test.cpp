// Practice mode against the real user32: practiceBox as a real edit (input-method
// commits, keys before changes), cells painted, the open-file dialog with
// files in three encodings, reading chosen files (devices, pipes and files
// with no text refused), and the chart link.
#include <windows.h>
// The input method API needs windows.h first.
#include <imm.h>

#include "core/code_table.h"
#include "core/utf8.h"
#include "platform/dialogs_win.h"
#include "platform/services_win.h"
#include "support/sample_pictures_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

// Pixels near `colour` inside r, its edges left out.
int CountInside(const drive::Capture& shot, const RECT& r, COLORREF colour) {
    return drive::CountNear(shot, RECT{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, colour, 40);
}

class PracticeWinTest : public MainWindowTest {
protected:
    PracticeRoom& room() { return form().practice; }
    HWND Box() { return window_->Practice().PracticeBox(); }
    // What the run saw: keys and changes in order.
    void Record() {
        auto key = room().practiceBox.KeyDown;
        room().practiceBox.KeyDown = [this, key](int code) {
            events_.push_back(L"key " + std::to_wstring(code));
            key(code);
        };
        auto change = room().practiceBox.Change;
        room().practiceBox.Change = [this, change] {
            events_.push_back(L"change " + room().practiceBox.Text());
            change();
        };
    }
    std::vector<std::wstring> events_;
};

TEST_F(PracticeWinTest, AnInputMethodWordComparesEachOfItsCharacters) {
    Choose(room().builtInItem);
    ASSERT_TRUE(IsWindowVisible(Box()));
    EXPECT_EQ(GetFocus(), Box()) << "the practice box takes the focus from the hidden typing box";
    EXPECT_EQ(SendMessageW(Box(), EM_GETLIMITTEXT, 0, 0), 406);
    SetFocus(Box());
    Record();
    const std::wstring text = room().Run().practiceText();
    std::wstring word =
        std::wstring(1, text[0] == L'我' ? L'你' : L'我') + text[1];  // first wrong, last right
    HIMC imc = ImmGetContext(Box());
    ASSERT_NE(imc, nullptr);
    ImmSetCompositionStringW(imc, SCS_SETSTR, word.data(), 2 * sizeof(wchar_t), nullptr, 0);
    ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ImmReleaseContext(Box(), imc);
    PumpUntil([&] { return !events_.empty(); });
    PumpPending();
    EXPECT_EQ(events_, std::vector<std::wstring>{L"change " + word}) << "one change";
    EXPECT_EQ(room().cells(1).BackColor, kWrongBackColor) << "the first character is compared too";
    EXPECT_TRUE(room().cells(2).Font.Underline);
    EXPECT_EQ(room().correctLabel.Caption(), L"1");
    EXPECT_EQ(room().accuracyLabel.Caption(), L"50 %");
}

TEST_F(PracticeWinTest, F1AndBackspaceArriveBeforeTheChangeAndTheRedCellGoes) {
    form().board.SetData(form().board.Pool().Text(), L"中khk 国lgyi人wwww民nawy我trnt们wnuy世anv 界lwjj");
    Choose(room().builtInItem);
    SetForegroundWindow(hwnd_);
    SetFocus(Box());
    SendMessageW(Box(), WM_CHAR, room().Run().Caption(1)[0], 1);
    SendMessageW(Box(), WM_CHAR, L'x', 1);
    const RECT cell2 = PixelsOf(room().cells(2));
    EXPECT_GT(CountInside(Painted(), cell2, RGB(255, 0, 0)), 300) << "the wrong cell is painted red";
    Record();
    drive::PressKey(VK_F1);
    drive::PressKey(VK_BACK);
    PumpUntil([&] { return events_.size() >= 3; });
    PumpPending();
    ASSERT_EQ(events_.size(), 3u);
    EXPECT_EQ(events_[0], L"key 112");
    EXPECT_EQ(events_[1], L"key 8");
    EXPECT_EQ(events_[2], L"change " + room().Run().Caption(1));
    const auto code = LookUpCode(form().board.CodeTable(), room().Run().Caption(3));
    ASSERT_TRUE(code.has_value());
    EXPECT_EQ(room().codeLabel.Caption(), *code) << "F1 looked up the third character";
    EXPECT_EQ(CountInside(Painted(), cell2, RGB(255, 0, 0)), 0) << "Backspace made the cell plain";
}

TEST_F(PracticeWinTest, ACodeTypedIntoTheRealBoxLeavesTheCaretAfterItsCharacter) {
    Choose(room().builtInItem);
    const std::wstring first = room().Run().Caption(1);  // the code gggg stands for it here
    fakes_.files.chosen[L"C:\\Games\\Quorlax\\wubi86-codes.txt"] = "gggg\t" + ToUtf8(first) + "\t9\n";
    form().settings.codeModeItem.Click();
    SetFocus(Box());
    for (wchar_t key : std::wstring(L"gggg")) SendMessageW(Box(), WM_CHAR, key, 1);
    PumpPending();
    ASSERT_EQ(WindowTextOf(Box()), first);
    DWORD from = 0, to = 0;
    SendMessageW(Box(), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(to, 1u) << "typed on from its end";
    SendMessageW(Box(), WM_CHAR, L'\b', 1);
    PumpPending();
    EXPECT_EQ(room().practiceBox.Text(), L"") << "Backspace erases it";
}

TEST_F(PracticeWinTest, TheLinkLightsUnderTheMouseShowsTheHandAndTogglesTheChart) {
    Choose(room().builtInItem);
    const RECT link = PixelsOf(room().chartLink);
    const POINT at{(link.left + link.right) / 2, (link.top + link.bottom) / 2};
    const LPARAM where = MAKELPARAM(at.x, at.y);
    SendMessageW(hwnd_, WM_MOUSEMOVE, 0, where);
    EXPECT_EQ(room().chartLink.BackColor, kLinkHoverColor);
    EXPECT_GT(CountInside(Painted(), link, RGB(0, 255, 255)), 100) << "painted cyan";
    POINT screen = at;
    ClientToScreen(hwnd_, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_HAND));

    const RECT chart = PixelsOf(room().radicalChart);
    const int before = CountInside(Painted(), chart, RGB(0, 128, 255));
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, where);
    EXPECT_EQ(room().chartLink.Caption(), kHideChart);
    EXPECT_LT(CountInside(Painted(), chart, RGB(0, 128, 255)), before / 4) << "the chart covers the rows";
    SendMessageW(hwnd_, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageW(hwnd_, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));  // released elsewhere: no click
    EXPECT_EQ(room().chartLink.Caption(), kHideChart);

    const RECT panel = PixelsOf(room().panel);
    SendMessageW(hwnd_, WM_MOUSEMOVE, 0, MAKELPARAM(panel.left + 10, panel.top + 10));
    EXPECT_EQ(room().chartLink.BackColor, kPanelColor);
}

// Answers the next open-file dialog of this thread by typing a path into its
// file name box and pressing OK, as a user would.
std::wstring g_answer;

void CALLBACK AnswerOpenDialog(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = drive::FindShownThreadWindow(L"#32770", kOpenPracticeTitle);
    HWND name = dialog ? drive::FindShownChild(dialog, L"Edit") : nullptr;
    if (!name) return;  // not up yet: the next tick looks again
    KillTimer(nullptr, id);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_answer.c_str()));
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

class ChosenFileWinTest : public MainWindowTest {
protected:
    void SetUp() override {
        // The real dialog and the real file reading this time.
        Services& f = fakes_.services;
        services_ =
            std::make_unique<Services>(Services{f.random, f.messages, files_, f.settings, f.sound, f.battle,
                                                dialogs_, f.pictures, f.shell, f.folders, f.clock});
        MakeWindow(*services_);
        dialogs_.SetOwner(hwnd_);
        wchar_t tmp[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        folder_ = tmp;
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        for (auto& p : written_) DeleteFileW(p.c_str());
    }
    std::wstring Write(const wchar_t* name, const std::string& bytes) {
        std::wstring path = folder_ + name;
        test::WriteBytes(path, bytes);
        written_.push_back(path);
        return path;
    }
    // 练习 › 选择 with the dialog answered by `path`.
    void ChooseThrough(const std::wstring& path) {
        g_answer = path;
        UINT_PTR timer = SetTimer(nullptr, 0, 100, AnswerOpenDialog);  // runs inside the dialog's own loop
        Choose(form().practice.chosenItem);
        KillTimer(nullptr, timer);
    }
    std::wstring Grid(int cells) {
        std::wstring s;
        for (int i = 1; i <= cells; ++i) s += form().practice.cells(i).Caption();
        return s;
    }

    DataFilesWin files_{ProgramFolder()};
    CommonDialogs dialogs_;
    std::unique_ptr<Services> services_;
    std::wstring folder_;
    std::vector<std::wstring> written_;
};

TEST_F(ChosenFileWinTest, GbkUtf8AndUtf16FilesAllReadThroughTheDialog) {
    ChooseThrough(Write(L"quorlax_gbk.txt", "\xD6\xD0\xCE\xC4\r\nab"));  // 中文 / ab
    EXPECT_EQ(Grid(5), L"中文ab");
    EXPECT_TRUE(form().practice.chosenItem.Checked);
    ChooseThrough(Write(L"quorlax_utf8.txt", "\xE7\xBB\x83\xE4\xB9\xA0\nxy\n"));  // 练习 / xy, no mark
    EXPECT_EQ(Grid(5), L"练习xy");
    ChooseThrough(Write(L"quorlax_utf16.txt", std::string("\xFF\xFE\x57\x5B\x39\x68\x0D\x00\x0A\x00", 10)));
    EXPECT_EQ(Grid(3), L"字根");
    EXPECT_EQ(form().practice.Run().chosenLength(), 2);
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChosenFileWinTest, DevicesPipesAndFilesWithNoTextAreRefusedAsUnreadable) {
    const std::uint64_t limit = 64ull << 20;
    for (const wchar_t* device : {L"NUL", L"COM1", L"\\\\.\\NUL"})
        EXPECT_EQ(files_.ReadBytes(device, limit).status, FileBytes::Status::Unreadable) << device;
    const wchar_t pipeName[] = L"\\\\.\\pipe\\quorlax_practice_text";
    HANDLE pipe =
        CreateNamedPipeW(pipeName, PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 0, 0, 0, nullptr);
    ASSERT_NE(pipe, INVALID_HANDLE_VALUE);
    EXPECT_EQ(files_.ReadBytes(pipeName, limit).status, FileBytes::Status::Unreadable) << "a pipe";
    CloseHandle(pipe);
    const std::wstring empty = Write(L"quorlax_empty.txt", "");
    EXPECT_EQ(files_.ReadBytes(empty, limit).status, FileBytes::Status::Ok) << "an empty file reads";

    ChooseThrough(Write(L"quorlax_first.txt", "ab"));
    const std::wstring mark = Write(L"quorlax_mark.txt", "\xEF\xBB\xBF\r\n");
    ChooseThrough(mark);
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_EQ(fakes_.messages.shown[0], PracticeFileMessage(PracticeFileError::Unreadable, mark));
    EXPECT_EQ(Grid(2), L"ab") << "the grid keeps its text";
}

TEST_F(ChosenFileWinTest, FilesTooLargeOrLockedAreRefusedByName) {
    const std::wstring big = Write(L"quorlax_big.txt", "");
    {
        HANDLE f = CreateFileW(big.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        LARGE_INTEGER size{};
        size.QuadPart = (64ll << 20) + 1;
        SetFilePointerEx(f, size, nullptr, FILE_BEGIN);
        SetEndOfFile(f);  // sparse where it can be: nothing is written
        CloseHandle(f);
    }
    EXPECT_EQ(files_.ReadBytes(big, 64ull << 20).status, FileBytes::Status::TooLarge);
    const std::wstring locked = Write(L"quorlax_locked.txt", "abc");
    HANDLE hold = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(files_.ReadBytes(locked, 64ull << 20).status, FileBytes::Status::Unreadable);
    ChooseThrough(locked);
    CloseHandle(hold);
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(locked), std::wstring::npos);
    EXPECT_TRUE(form().practice.panel.Visible) << "the panel stays up, as after a cancel";
    EXPECT_EQ(files_.ReadBytes(locked, 64ull << 20).bytes, "abc");
}

}  // namespace
}  // namespace quorlax::win
