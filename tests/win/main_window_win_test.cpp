// The main window against the real user32/gdi32: size, menus, shortcuts,
// the typing box as a real EDIT control, timers, and what is painted.
#include <windows.h>
// The input method API needs windows.h first.
#include <imm.h>

#include <functional>
#include <initializer_list>
#include <utility>

#include "platform/pictures_win.h"
#include "support/sample_pictures_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

// The five falling labels show these strings.
void ShowStrings(Program& program, std::initializer_list<const wchar_t*> strings) {
    int i = 0;
    for (const wchar_t* string : strings) program.game.fallingLabels(++i).SetCaption(string);
}

// Runs `seen` at every change of the typing box, before the game's handler.
void WatchTypingBox(Program& program, std::function<void()> seen) {
    auto handler = program.game.typingBox.Change;
    program.game.typingBox.Change = [seen = std::move(seen), handler] {
        seen();
        handler();
    };
}

TEST_F(MainWindowTest, ClientAreaIsTheFormsSizeAtTheScreenDpi) {
    const int dpi = drive::ScreenDpi();
    RECT r{};
    GetClientRect(hwnd_, &r);
    EXPECT_EQ(r.right, MulDiv(11910, dpi, 1440));
    EXPECT_EQ(r.bottom, MulDiv(7920, dpi, 1440));
    EXPECT_TRUE(IsWindowVisible(hwnd_));
    EXPECT_EQ(drive::WindowText(hwnd_), L"Quorlax");
}

TEST_F(MainWindowTest, MenuBarHasTheMenusCaptionsShortcutsAndGreying) {
    HMENU bar = window_->Menus().Handle();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(GetMenuItemCount(bar), 4);
    wchar_t text[64];
    const wchar_t* expected[] = {L" 文 件", L" 速 度", L" 生 命 ", L" 帮 助"};
    for (int i = 0; i < 4; ++i) {
        GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
        EXPECT_STREQ(text, expected[i]);
    }
    EXPECT_TRUE(GetMenuState(bar, 2, MF_BYPOSITION) & MF_GRAYED) << "the lives menu stands greyed";
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 1)), 10) << "飞速 is hidden";
    HMENU game = GetSubMenu(GetSubMenu(bar, 0), 0);
    GetMenuStringW(game, 0, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, L"汉字\tCtrl+H");
    EXPECT_NE(drive::MenuCommand(bar, {L" 文 件", L"游 戏", L"英文"}), 0u);
    EXPECT_TRUE(GetMenuState(GetSubMenu(bar, 1), 0, MF_BYPOSITION) & MF_CHECKED) << "一速 is checked";
}

TEST_F(MainWindowTest, ChoosingAGameChecksItAndTheRealTimerMakesLabelsFall) {
    Choose(form().game.speedItems(10));
    Choose(form().game.englishGameItem);
    HMENU game = GetSubMenu(GetSubMenu(window_->Menus().Handle(), 0), 0);
    EXPECT_TRUE(GetMenuState(game, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(GetMenuState(game, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(form().game.fallTimer.Interval(), 168);
    EXPECT_TRUE(PumpUntil([&] { return form().game.fallingLabels(1).Top > -400 + 300; }))
        << "several fall ticks ran";
    EXPECT_EQ(form().game.fallingLabels(1).Top, form().game.fallingLabels(5).Top) << "all five fall in step";
}

TEST_F(MainWindowTest, ShortcutCtrlYStartsAnEnglishGame) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    // As the loop sees it: a key for the typing box, a child of the window.
    MSG msg{window_->Game().TypingBox(), WM_KEYDOWN, 'Y', 1, 0, {}};
    EXPECT_TRUE(MessageLoop::Instance().PreTranslate(msg));
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_TRUE(form().game.englishGameItem.Checked);
    EXPECT_TRUE(form().game.fallTimer.Running());
}

TEST_F(MainWindowTest, TypingALabelIntoTheEditFiresExactlyOneShot) {
    Choose(form().game.englishGameItem);
    ShowStrings(form(), {L"qq", L"rr", L"ab", L"ss", L"tt"});
    int changes = 0;
    WatchTypingBox(form(), [&] { ++changes; });
    TypeChars(L"a");
    EXPECT_EQ(changes, 1);
    TypeChars(L"b");
    EXPECT_EQ(changes, 3) << "\"ab\", then the nested change with the emptied box; never twice";
    EXPECT_EQ(EditText(), L"");
    EXPECT_EQ(form().game.ShotColumn(), 3);
    EXPECT_TRUE(form().game.shotTimer.Enabled());
    EXPECT_TRUE(PumpUntil([&] { return !form().game.shotTimer.Enabled(); }))
        << "the real shot timer lands the shot";
    EXPECT_EQ(form().game.scoreLabel.Caption(), L"200");
}

TEST_F(MainWindowTest, ACommittedChineseWordArrivesAsOneChange) {
    Choose(form().game.chineseGameItem);
    ShowStrings(form(), {L"人民", L"中国", L"我们", L"世界", L"的"});
    int changes = 0;
    WatchTypingBox(form(), [&] { ++changes; });
    // What an input method's commit does to the box: the whole word at once.
    SendMessageW(window_->Game().TypingBox(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"中国"));
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(form().game.ShotColumn(), 2);
    EXPECT_EQ(EditText(), L"");
}

TEST_F(MainWindowTest, AWordCompletedInTheInputMethodIsOneChange) {
    Choose(form().game.chineseGameItem);
    ShowStrings(form(), {L"人民", L"中国", L"我们", L"中", L"的"});
    std::vector<std::wstring> seen;
    WatchTypingBox(form(), [&] { seen.push_back(form().game.typingBox.Text()); });
    HWND box = window_->Game().TypingBox();
    SetFocus(box);
    HIMC imc = ImmGetContext(box);
    ASSERT_NE(imc, nullptr);
    ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(L"中"), sizeof(wchar_t), nullptr, 0);
    PumpPending();
    EXPECT_TRUE(seen.empty()) << "a composition still being typed is not typed text";
    EXPECT_EQ(EditText(), L"");
    ImmSetCompositionStringW(imc, SCS_SETSTR, const_cast<wchar_t*>(L"中国"), 2 * sizeof(wchar_t), nullptr, 0);
    ImmNotifyIME(imc, NI_COMPOSITIONSTR, CPS_COMPLETE, 0);
    ImmReleaseContext(box, imc);
    PumpUntil([&] { return seen.size() >= 2; });
    PumpPending();
    // Never "中" alone, which would hit label 4 on the way.
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"中国", L""}));
    EXPECT_EQ(form().game.ShotColumn(), 2);
}

TEST_F(MainWindowTest, ImeCharactersOneByOneStillHitOnce) {
    Choose(form().game.chineseGameItem);
    ShowStrings(form(), {L"人民", L"中国", L"我们", L"世界", L"的"});
    // The system turns each WM_IME_CHAR into a posted WM_CHAR.
    TypeChars(L"世界", WM_IME_CHAR);
    EXPECT_TRUE(PumpUntil([&] { return form().game.scoreLabel.Caption() == L"200"; })) << "the shot landed";
    EXPECT_EQ(form().game.ShotColumn(), 4);
    EXPECT_EQ(EditText(), L"");
}

TEST_F(MainWindowTest, TheTypingBoxTakesAtMostTenCharacters) {
    Choose(form().game.englishGameItem);
    TypeChars(L"zzzzzzzzzzzz");
    EXPECT_EQ(EditText(), L"zzzzzzzzzz");
    EXPECT_EQ(form().game.typingBox.Text(), L"zzzzzzzzzz");
}

TEST_F(MainWindowTest, GameStartEmptiesTheRealTypingBox) {
    Choose(form().game.englishGameItem);
    TypeChars(L"xyz");
    Choose(form().game.digitsGameItem);
    EXPECT_EQ(EditText(), L"");
    EXPECT_EQ(form().game.typingBox.Text(), L"");
}

TEST_F(MainWindowTest, LabelsAndTheBannerArePaintedWhereTheModelsSay) {
    Choose(form().game.englishGameItem);
    for (int i = 1; i <= 5; ++i) form().game.fallingLabels(i).Top = 1500;
    auto before = Painted();
    int row = drive::LowestRowWith(before, RGB(255, 255, 0), 420);
    EXPECT_GE(row, 100);
    EXPECT_LE(row, 100 + 40);
    form().game.OnFallTick();
    auto after = Painted();
    EXPECT_GT(drive::LowestRowWith(after, RGB(255, 255, 0), 420), row) << "the fall tick repaints";
    form().game.livesLabel.SetCaption(L"0");
    auto over = Painted();
    EXPECT_GE(drive::LowestRowWith(over, RGB(255, 0, 0), 420, 90), 172) << "GAME OVER in red";
    EXPECT_EQ(over.At(400, 20), RGB(0, 128, 255)) << "the default background";
    EXPECT_NE(over.At(400, 428), RGB(0, 128, 255)) << "the floor line at 6390 twips";
}

TEST_F(MainWindowTest, AHitLetsTheClockAndTheFallGoOn) {
    Choose(form().game.speedItems(10));
    Choose(form().game.englishGameItem);
    ShowStrings(form(), {L"qq", L"rr", L"ab", L"ss", L"tt"});
    TypeChars(L"ab");
    EXPECT_TRUE(PumpUntil([&] { return form().game.scoreLabel.Caption() == L"200"; })) << "the shot landed";
    EXPECT_TRUE(PumpUntil([&] { return form().game.fallingLabels(1).Top > -400 + 300; }))
        << "the fall resumed after the landing";
    EXPECT_TRUE(PumpUntil([&] { return form().board.ElapsedSeconds() != 1; }))
        << "the one-second clock ticks on";
    EXPECT_EQ(fakes_.sound.plays, 1);
    EXPECT_TRUE(form().game.fallTimer.Running());
}

TEST_F(MainWindowTest, TheStoredPictureIsDrawnUnderThePlayArea) {
    // A real picture loader this time, and a red bitmap on disk.
    std::wstring path = test::WriteBitmap(L"quorlax_background.bmp", 255, 0, 0);
    window_.reset();
    OlePictures pictures;
    Services services = fakes_.services;
    Services real{services.random, services.messages, services.files,   services.settings,
                  services.sound,  services.battle,   services.dialogs, pictures,
                  services.shell,  services.folders,  services.clock};
    fakes_.settings.Save(L"register", L"t1", path);
    window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), real, fakes_.practiceFiles);
    ASSERT_TRUE(window_->Create());
    hwnd_ = window_->Handle();
    auto shot = Painted();
    EXPECT_EQ(shot.At(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(shot.At(100, 100), RGB(0, 128, 255)) << "the background colour beyond the picture";
    window_.reset();
    DeleteFileW(path.c_str());
}

TEST_F(MainWindowTest, AFlyingShotIsPaintedInItsColumn) {
    Choose(form().game.englishGameItem);
    ShowStrings(form(), {L"qq", L"rr", L"ab", L"ss", L"tt"});
    form().game.fallingLabels(3).Top = 0;
    TypeChars(L"ab");
    form().game.OnShotTick();  // the shot is now at 4500 twips: 300 px, column 3 at 366 px
    auto shot = Painted();
    int bolt = 0;
    for (int y = 300; y < 332; ++y)
        for (int x = 366; x < 398; ++x) bolt += shot.At(x, y) != RGB(0, 128, 255);
    EXPECT_GT(bolt, 40) << "pixels of the shot";
    int elsewhere = 0;
    for (int y = 300; y < 332; ++y)
        for (int x = 500; x < 532; ++x) elsewhere += shot.At(x, y) != RGB(0, 128, 255);
    EXPECT_EQ(elsewhere, 0);
}

TEST_F(MainWindowTest, IdleWindowRunsNoTimer) {
    PumpPending();
    for (UINT_PTR id = 1; id <= 6; ++id) EXPECT_FALSE(KillTimer(hwnd_, id)) << "timer " << id;
}

TEST_F(MainWindowTest, ExitClosesTheWindow) {
    Choose(form().exitItem);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(hwnd_); }));
}

}  // namespace
}  // namespace quorlax::win
