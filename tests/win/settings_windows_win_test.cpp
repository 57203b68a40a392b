// The settings room's windows for real: the picture chooser browsing a
// prepared folder and applying, storing and clearing a picture across
// restarts; help through a shell double and the real shell's missing file;
// the About box with the hall of fame and a failing link; and the layout at
// the screen's DPI (this suite runs once more at 144 dpi).
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/pictures_win.h"
#include "practice/record_form_win.h"
#include "settings/shell_win.h"
#include "support/sample_pictures_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

std::wstring ListText(HWND list, int i) {
    std::wstring text(static_cast<size_t>(SendMessageW(list, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::vector<std::wstring> ListEntries(HWND list) {
    std::vector<std::wstring> entries;
    for (int i = 0, n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); i < n; ++i)
        entries.push_back(ListText(list, i));
    return entries;
}

// A control's rectangle in its parent's client area.
RECT InParent(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

using drive::ScreenDpi;
constexpr auto Px = drive::TwipsToPixels;

// The main window over the real picture loader and the real file system.
class SettingsWindowsTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Restart();
    }
    void Restart() {
        window_.reset();
        Services& f = fakes_.services;
        real_ =
            std::make_unique<Services>(Services{f.random, f.messages, f.files, f.settings, f.sound, f.battle,
                                                f.dialogs, pictures_, f.shell, folders_, f.clock});
        window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), *real_, fakes_.practiceFiles);
        ASSERT_TRUE(window_->Create());
        hwnd_ = window_->Handle();
        PumpPending();
    }
    PictureChooserWindow& Chooser() { return window_->Settings().Chooser(); }
    AboutWindow& About() { return window_->Settings().About(); }
    HWND Item(int id) { return Chooser().Control(id); }
    void Command(HWND control, int code) {
        SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                     reinterpret_cast<LPARAM>(control));
    }
    // Opens the folder at `path` with double clicks in the real folder list,
    // one level at a time from the drive root.
    void Browse(const std::wstring& path) {
        HWND dirs = Item(PictureChooserWindow::kDirId);
        std::wstring below = path.substr(3);
        while (!below.empty()) {
            size_t cut = below.find(L'\\');
            std::wstring name = below.substr(0, cut);
            below = cut == std::wstring::npos ? L"" : below.substr(cut + 1);
            int found = -1;
            for (int i = 0, n = static_cast<int>(SendMessageW(dirs, LB_GETCOUNT, 0, 0)); i < n; ++i) {
                std::wstring entry = ListText(dirs, i);
                entry.erase(0, entry.find_first_not_of(L' '));
                if (CompareStringOrdinal(entry.c_str(), -1, name.c_str(), -1, TRUE) == CSTR_EQUAL) found = i;
            }
            ASSERT_GE(found, 0) << "no folder " << std::string(name.begin(), name.end());
            SendMessageW(dirs, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
            Command(dirs, LBN_DBLCLK);
        }
    }
    void ClickFile(const std::wstring& name) {
        HWND files = Item(PictureChooserWindow::kFileId);
        int i = static_cast<int>(SendMessageW(files, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(name.c_str())));
        ASSERT_GE(i, 0);
        SendMessageW(files, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
        Command(files, LBN_SELCHANGE);
    }
    std::wstring T1() { return fakes_.settings.Get(L"register", L"t1"); }

    OlePictures pictures_;
    FolderService folders_;
    std::unique_ptr<Services> real_;
};

class ChooserWindowTest : public SettingsWindowsTest {
protected:
    void SetUp() override {
        SettingsWindowsTest::SetUp();
        wchar_t tmp[MAX_PATH], full[MAX_PATH];
        GetTempPathW(MAX_PATH, tmp);
        GetLongPathNameW(tmp, full, MAX_PATH);
        folder_ = std::wstring(full) + L"quorlax_chooser";
        folder_[0] = static_cast<wchar_t>(towlower(folder_[0]));
        CreateDirectoryW(folder_.c_str(), nullptr);
        CreateDirectoryW((folder_ + L"\\inner").c_str(), nullptr);
        test::WriteBytes(folder_ + L"\\red.bmp", test::Bmp(64, 48, RGB(255, 0, 0)));
        test::WriteBytes(folder_ + L"\\green.jpg",
                         std::string(test::kGreenJpeg, sizeof test::kGreenJpeg - 1));
        test::WriteBytes(folder_ + L"\\notes.txt", "no picture");
        test::WriteBytes(folder_ + L"\\Picture.PNG", "not listed by the first pattern");
        test::WriteBytes(folder_ + L"\\small.gif", std::string(test::kRedGif, sizeof test::kRedGif - 1));
    }
    void TearDown() override {
        SettingsWindowsTest::TearDown();
        for (const wchar_t* name :
             {L"\\red.bmp", L"\\green.jpg", L"\\notes.txt", L"\\Picture.PNG", L"\\small.gif"})
            DeleteFileW((folder_ + name).c_str());
        RemoveDirectoryW((folder_ + L"\\inner").c_str());
        RemoveDirectoryW(folder_.c_str());
    }
    std::wstring folder_;
};

TEST_F(ChooserWindowTest, BrowsesAPreparedFolderAppliesStoresAndClearsAPictureAcrossRestarts) {
    Choose(form().settings.backPictureItem);
    ASSERT_NE(Chooser().Handle(), nullptr);
    EXPECT_TRUE(GetWindowLongW(Chooser().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(drive::ControlText(Chooser().PathBox()), L"c:\\");
    Browse(folder_);
    HWND files = Item(PictureChooserWindow::kFileId);
    EXPECT_EQ(ListEntries(files), (std::vector<std::wstring>{L"green.jpg", L"red.bmp"}));
    EXPECT_EQ(drive::ControlText(Chooser().PathBox()), folder_);
    HWND pattern = Item(PictureChooserWindow::kPatternId);
    SetWindowTextW(pattern, L"*.*");
    Command(pattern, CBN_EDITCHANGE);
    EXPECT_EQ(ListEntries(files), (std::vector<std::wstring>{L"green.jpg", L"notes.txt", L"Picture.PNG",
                                                             L"red.bmp", L"small.gif"}));
    SendMessageW(pattern, CB_SETCURSEL, 0, 0);
    Command(pattern, CBN_SELCHANGE);
    EXPECT_EQ(ListEntries(files).size(), 2u);

    // 确定 on the folder itself stores nothing.
    SendMessageW(Item(PictureChooserWindow::kOkId), BM_CLICK, 0, 0);
    EXPECT_EQ(T1(), L"");
    ClickFile(L"green.jpg");
    EXPECT_EQ(drive::ControlText(Chooser().PathBox()), folder_ + L"\\green.jpg");
    SendMessageW(Item(PictureChooserWindow::kOkId), BM_CLICK, 0, 0);
    COLORREF c = Painted().At(5, 5);
    EXPECT_LT(GetRValue(c) + GetBValue(c), 60);
    EXPECT_GT(GetGValue(c), 220);
    ClickFile(L"red.bmp");
    SendMessageW(Item(PictureChooserWindow::kOkId), BM_CLICK, 0, 0);
    EXPECT_EQ(Painted().At(5, 5), RGB(255, 0, 0)) << "painted at once";
    EXPECT_EQ(T1(), folder_ + L"\\red.bmp");
    EXPECT_NE(Chooser().Handle(), nullptr) << "the window stays open";

    Restart();
    EXPECT_EQ(Painted().At(5, 5), RGB(255, 0, 0)) << "back after a restart";
    Choose(form().settings.backPictureItem);
    SendMessageW(Item(PictureChooserWindow::kClearId), BM_CLICK, 0, 0);
    EXPECT_EQ(Painted().At(5, 5), RGB(0, 128, 255));
    EXPECT_EQ(T1(), L"");
    SendMessageW(Item(PictureChooserWindow::kExitId), BM_CLICK, 0, 0);
    EXPECT_EQ(Chooser().Handle(), nullptr);
    Restart();
    EXPECT_EQ(Painted().At(5, 5), RGB(0, 128, 255)) << "none after a restart";
}

TEST_F(ChooserWindowTest, AGifTypedForInThePatternBoxIsTakenToo) {
    Choose(form().settings.backPictureItem);
    Browse(folder_);
    HWND pattern = Item(PictureChooserWindow::kPatternId);
    SetWindowTextW(pattern, L"*.png;*.gif");
    Command(pattern, CBN_EDITCHANGE);
    EXPECT_EQ(ListEntries(Item(PictureChooserWindow::kFileId)),
              (std::vector<std::wstring>{L"Picture.PNG", L"small.gif"}));
    ClickFile(L"small.gif");
    SendMessageW(Item(PictureChooserWindow::kOkId), BM_CLICK, 0, 0);
    EXPECT_EQ(Painted().At(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(T1(), folder_ + L"\\small.gif");
}

// The buttons are drawn by the program, yet keep a dialog's keys: Enter in
// a box presses the default 确定, Tab reaches a button, Enter and Space
// press the focused one, Escape is 退出.
TEST_F(ChooserWindowTest, ItsButtonsAnswerTheKeysOfADialog) {
    Choose(form().settings.backPictureItem);
    Browse(folder_);
    ClickFile(L"red.bmp");
    auto press = [](WORD key) {
        HWND focus = GetFocus();
        PostMessageW(focus, WM_KEYDOWN, key, 1);
        PostMessageW(focus, WM_KEYUP, key, static_cast<LPARAM>(0xC0000001));
        PumpPending();
    };
    SetFocus(Chooser().PathBox());
    press(VK_RETURN);
    EXPECT_EQ(T1(), folder_ + L"\\red.bmp") << "Enter in the path box presses 确定";
    SetFocus(Chooser().PathBox());
    press(VK_TAB);
    ASSERT_EQ(GetFocus(), Item(PictureChooserWindow::kClearId)) << "Tab goes on to 清除";
    press(VK_RETURN);
    EXPECT_EQ(T1(), L"") << "Enter presses the focused button, not the default";
    press(VK_TAB);
    ASSERT_EQ(GetFocus(), Item(PictureChooserWindow::kOkId));
    press(VK_SPACE);
    EXPECT_EQ(T1(), folder_ + L"\\red.bmp") << "Space presses it";
    press(VK_ESCAPE);
    EXPECT_EQ(Chooser().Handle(), nullptr) << "Escape is 退出";
}

TEST_F(ChooserWindowTest, TheMainWindowStaysUsableAndAGameStartClosesTheChooser) {
    Choose(form().settings.backPictureItem);
    ASSERT_NE(Chooser().Handle(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(hwnd_));
    Choose(form().game.englishGameItem);
    EXPECT_TRUE(form().game.englishGameItem.Checked);
    EXPECT_EQ(Chooser().Handle(), nullptr);
    EXPECT_FALSE(form().settings.pictureChooser.Loaded());
}

TEST_F(SettingsWindowsTest, HelpGoesThroughTheShellAndAMissingPageIsNamedWithItsFolder) {
    Choose(form().settings.helpItem);
    EXPECT_EQ(fakes_.shell.opened, (std::vector<std::wstring>{L"C:\\Games\\Quorlax\\help.htm"}));
    EXPECT_TRUE(fakes_.messages.shown.empty());

    // The real shell, in a folder without the page.
    wchar_t tmp[MAX_PATH];
    GetTempPathW(MAX_PATH, tmp);
    std::wstring empty = std::wstring(tmp) + L"quorlax_nohelp";
    CreateDirectoryW(empty.c_str(), nullptr);
    ShellService shell(empty);
    Services& f = fakes_.services;
    Services with_shell{f.random,  f.messages, f.files, f.settings, f.sound, f.battle,
                        f.dialogs, f.pictures, shell,   f.folders,  f.clock};
    Program other(with_shell, fakes_.practiceFiles);
    other.settings.OnHelp();
    RemoveDirectoryW(empty.c_str());
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"help.htm"), std::wstring::npos);
    EXPECT_NE(fakes_.messages.shown[0].find(empty), std::wstring::npos);
}

TEST_F(SettingsWindowsTest, AboutClosesTheHallOfFameAndALinkClosesItWhenTheShellFails) {
    Choose(form().scores.rankingItem);
    ASSERT_NE(window_->Scores().HallOfFame()->Handle(), nullptr);
    Choose(form().settings.aboutItem);
    HWND about = About().Handle();
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(window_->Scores().HallOfFame()->Handle(), nullptr) << "opening About closes the hall of fame";
    EXPECT_TRUE(GetWindowLongW(about, GWL_EXSTYLE) & WS_EX_TOPMOST);
    RECT r{};
    GetWindowRect(about, &r);
    EXPECT_EQ(r.left, 150);
    EXPECT_EQ(r.top, 130);

    fakes_.shell.result = ShellResult::Failed;
    const RECT link = PixelsOf(form().settings.about.wordPoolLicenceLink);
    LPARAM at = MAKELPARAM((link.left + link.right) / 2, (link.top + link.bottom) / 2);
    SendMessageW(about, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(about, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(fakes_.shell.opened, (std::vector<std::wstring>{L"C:\\Games\\Quorlax\\LICENSE.Apache-2.0"}));
    EXPECT_FALSE(IsWindow(about)) << "the box closes although the shell failed";
    EXPECT_FALSE(form().settings.about.Loaded());

    Choose(form().settings.aboutItem);
    SendMessageW(About().OkButton(), BM_CLICK, 0, 0);
    EXPECT_EQ(About().Handle(), nullptr) << "确  定 closes it";
}

// A themed button keeps the system's face; these are drawn in their
// window's colour (the main window's, or the battle panel's), and a greyed
// one shows its caption greyed.
TEST_F(SettingsWindowsTest, ButtonsWearTheirWindowsColour) {
    const COLORREF window = RGB(0, 160, 0), panel = RGB(255, 255, 128);
    form().board.backColor = window;
    Choose(form().settings.aboutItem);
    Choose(form().settings.backPictureItem);
    Choose(form().battle.battleItem);
    PumpPending();
    auto count = [](const drive::Capture& shot, COLORREF colour) {
        return static_cast<size_t>(std::count(shot.pixels.begin(), shot.pixels.end(), colour));
    };
    const struct {
        HWND button;
        COLORREF face;
    } buttons[] = {{About().OkButton(), window},
                   {Item(PictureChooserWindow::kClearId), window},
                   {GetDlgItem(hwnd_, kLeaveButtonId), panel}};
    for (const auto& b : buttons) {
        ASSERT_NE(b.button, nullptr);
        auto shot = drive::PrintClient(b.button);
        ASSERT_GT(shot.pixels.size(), 100u);
        EXPECT_GT(count(shot, b.face), shot.pixels.size() / 2) << drive::WindowText(b.button);
        EXPECT_EQ(count(shot, GetSysColor(COLOR_BTNFACE)), 0u) << drive::WindowText(b.button);
    }
    // The caption's darkest pixel, inside the edges: black when enabled,
    // grey (yet drawn) when not.
    auto darkest = [](HWND button) {
        auto shot = drive::PrintClient(button);
        int dark = 255;
        for (int y = 4; y < shot.height - 4; ++y)
            for (int x = 4; x < shot.width - 4; ++x) {
                COLORREF p = shot.At(x, y);
                dark = std::min(dark, (GetRValue(p) + GetGValue(p) + GetBValue(p)) / 3);
            }
        return dark;
    };
    EXPECT_LT(darkest(GetDlgItem(hwnd_, kLeaveButtonId)), 64);
    const int greyed = darkest(GetDlgItem(hwnd_, kStartButtonId));
    EXPECT_GT(greyed, 100) << "开始 is greyed";
    EXPECT_LT(greyed, 190) << "and still shows its caption";
}

// On the blue window colour a greyed caption reads weaker than an enabled
// one (the practice record's buttons with no runs: 练习这些字 greyed, 关闭 not).
TEST_F(SettingsWindowsTest, AGreyedButtonReadsDimmerThanAnEnabledOneOnTheBlueWindow) {
    form().board.backColor = kDefaultBackColor;
    Choose(form().practice.recordItem);
    PumpPending();
    ASSERT_NE(window_->Practice().Record(), nullptr);
    const RecordWindow& record = *window_->Practice().Record();
    ASSERT_FALSE(IsWindowEnabled(record.DrillButton()));
    auto luma = [](COLORREF c) {
        return (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
    };
    const int face = luma(forms::Painter::Resolve(kDefaultBackColor));
    // The most a pixel of the caption's band stands out from the face,
    // inside the edges and the focus frame.
    auto standsOut = [&](HWND button) {
        auto shot = drive::PrintClient(button);
        int most = 0;
        for (int y = shot.height / 4; y < shot.height * 3 / 4; ++y)
            for (int x = 8; x < shot.width - 8; ++x)
                most = std::max(most, std::abs(luma(shot.At(x, y)) - face));
        return most;
    };
    const int enabled = standsOut(record.CloseButton()), greyed = standsOut(record.DrillButton());
    EXPECT_LT(greyed, enabled * 3 / 4) << "greyed reads dimmer than enabled";
    EXPECT_GT(greyed, enabled / 4) << "and still shows its caption";
}

// The layout at the screen's DPI; this suite also runs in a prefix of 144 dpi.
TEST_F(SettingsWindowsTest, LayoutRunsAtTheExpectedDpi) {
    const char* expected = std::getenv("QUORLAX_EXPECT_DPI");
    EXPECT_EQ(ScreenDpi(), expected ? std::atoi(expected) : 96);
}

TEST_F(SettingsWindowsTest, LayoutOfTheMainWindowScalesPanelLabelsAndTypingBox) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, Px(11910));
    EXPECT_EQ(client.bottom, Px(7920));
    RECT box = InParent(window_->Game().TypingBox());
    EXPECT_NEAR(box.left, Px(4860), 1);
    EXPECT_NEAR(box.top, Px(6480 + 450), 1);
    EXPECT_NEAR(box.right - box.left, Px(1905), 1);
    EXPECT_NEAR(box.bottom - box.top, Px(435), 1);
    // The panel keeps its own colour under a changed window colour: its
    // right edge lies a little inside the client area.
    form().board.backColor = RGB(0, 160, 0);
    auto shot = Painted();
    const int panel_right = Px(11835), row = Px(6480) + Px(150);
    EXPECT_EQ(shot.At(panel_right - 2, row), RGB(0, 128, 255));
    EXPECT_EQ(shot.At(panel_right + 1, row), RGB(0, 160, 0));
    // "得  分：" in white: its text fills the upper part of its label's
    // scaled rectangle, as a font of its size at this DPI does.
    const int left = Px(450), top = Px(6480 + 300), height = Px(360);
    int highest = -1, lowest = -1;
    for (int y = top; y < top + height; ++y)
        for (int x = left; x < left + Px(1300); ++x)
            if (shot.At(x, y) == RGB(255, 255, 255)) {
                if (highest < 0) highest = y;
                lowest = y;
            }
    ASSERT_GE(highest, top) << "the caption is in its place";
    EXPECT_GT(lowest - highest, height / 2) << "in a font scaled with the DPI";
}

TEST_F(SettingsWindowsTest, LayoutOfTheChooserAndTheAboutBoxShowsEveryControl) {
    Choose(form().settings.backPictureItem);
    HWND chooser = Chooser().Handle();
    ASSERT_NE(chooser, nullptr);
    RECT client{};
    GetClientRect(chooser, &client);
    EXPECT_EQ(client.right, Px(7620));
    EXPECT_EQ(client.bottom, Px(4770));
    RECT outer{};
    GetWindowRect(chooser, &outer);
    EXPECT_EQ(outer.left, 150);
    EXPECT_EQ(outer.top, 130);
    for (int id : {PictureChooserWindow::kOkId, PictureChooserWindow::kExitId, PictureChooserWindow::kClearId,
                   PictureChooserWindow::kDriveId, PictureChooserWindow::kDirId,
                   PictureChooserWindow::kFileId, PictureChooserWindow::kPatternId}) {
        RECT r = InParent(Item(id));
        if (id == PictureChooserWindow::kDriveId || id == PictureChooserWindow::kPatternId) {
            COMBOBOXINFO info{sizeof info};
            GetComboBoxInfo(Item(id), &info);
            r.bottom = r.top + info.rcButton.bottom + 2;  // the closed box
        }
        EXPECT_TRUE(Inside(r, client)) << "control " << id;
    }
    EXPECT_TRUE(Inside(InParent(Chooser().PathBox()), client));

    Choose(form().settings.aboutItem);
    HWND about = About().Handle();
    ASSERT_NE(about, nullptr);
    GetClientRect(about, &client);
    EXPECT_TRUE(Inside(InParent(About().OkButton()), client));
    forms::Painter painter(GetModuleHandleW(nullptr), ScreenDpi());
    HDC dc = GetDC(about);
    int line = 0;
    for (const forms::Label* label : form().settings.about.Labels())
        EXPECT_TRUE(Inside(painter.LabelBounds(dc, *label), client)) << "line " << line++;
    ReleaseDC(about, dc);
}

}  // namespace
}  // namespace quorlax::win
