// The record window for real over the main window: topmost in the main
// window's colour, the speed line painted through the latest run's point,
// Escape closing it, the drill started from it, a game start closing it, its own keys (a game shortcut starts nothing from it),
// and the drill greyed with no runs.
#include "practice/record_form_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

bool Near(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
               std::abs(GetBValue(a) - GetBValue(b)) <
           40;
}

class RecordWindowTest : public MainWindowTest {
protected:
    void RecordRuns(int n) {
        for (int i = 0; i < n; ++i) {
            RunRecord run;
            run.when = L"2026-12-0" + std::to_wstring(1 + i % 8) + L" 10:00:00";
            run.typed = run.correct = 60;
            run.accuracy = 70 + i % 30;
            run.speed = 20 + (i * 7) % 40;
            run.seconds = 60;
            run.misses = {{L'中', 1 + i % 3}};
            form().practice.History().Record(run);
        }
    }
    // 练习 › 记录, as the menu gives it.
    void Open() {
        Choose(form().practice.jilu);
        PumpPending();
        ASSERT_NE(window_->Record(), nullptr);
    }
    RecordWindow& Window() { return *window_->Record(); }
    HWND Record() { return window_->Record() ? window_->Record()->Handle() : nullptr; }
};

TEST_F(RecordWindowTest, ItOpensOnTopWithTheSpeedLineThroughTheLatestRunAndEscapeClosesIt) {
    RecordRuns(30);
    Open();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Record()));
    EXPECT_EQ(drive::WindowText(Record()), L"练习记录");
    EXPECT_TRUE(GetWindowLongW(Record(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowEnabled(Window().DrillButton()));

    const drive::Capture shot = drive::PrintClient(Record());
    const RecordChart& chart = Window().Form().View().chart;
    ASSERT_EQ(chart.Runs(), 30u);
    const POINT latest = Window().SpeedPoint(chart.latest);
    EXPECT_TRUE(Near(shot.At(latest.x, latest.y), RecordWindow::kSpeedColor)) << "the latest run's point";
    const POINT first = Window().SpeedPoint(0);
    EXPECT_LT(first.x, latest.x);
    EXPECT_TRUE(Near(shot.At(first.x, first.y), RecordWindow::kSpeedColor)) << "the oldest run's point";
    EXPECT_EQ(shot.At(2, shot.height - 2), forms::Painter::Resolve(form().board.backColor))
        << "the main window's colour";

    SetFocus(Window().CloseButton());
    PostMessageW(Window().CloseButton(), WM_KEYDOWN, VK_ESCAPE, 1);
    PumpPending();
    EXPECT_FALSE(Window().Form().Loaded());
    EXPECT_EQ(Record(), nullptr);

    // Opened again, its drill button closes it and drills 中 in the grid.
    Open();
    SendMessageW(Window().DrillButton(), BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(Record(), nullptr);
    EXPECT_TRUE(form().practice.chi.Checked);
    int drilled = 0;
    for (int i = 1; i <= kGridCells; ++i) drilled += form().practice.Run().Caption(i) == L"中";
    EXPECT_GE(drilled, 3);

    // A game start takes the play area from under it: it closes.
    Open();
    Choose(form().game.chineseGameItem);
    PumpPending();
    EXPECT_EQ(Record(), nullptr);
    EXPECT_TRUE(form().game.fallTimer.Enabled());
}

TEST_F(RecordWindowTest, WithNoRunsTheDrillIsGreyedAndAGameShortcutStartsNothingFromIt) {
    Open();
    ASSERT_NE(Record(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(Window().DrillButton()));
    EXPECT_FALSE(IsWindowEnabled(Window().ClearButton()));
    EXPECT_TRUE(Window().Form().View().empty);
    ASSERT_TRUE(drive::WaitFor([&] { return GetForegroundWindow() == Record(); }, 2000));
    drive::PressCtrl(Record(), 'H');
    PumpPending();
    EXPECT_FALSE(form().game.chineseGameItem.Checked) << "no Chinese game";
    EXPECT_FALSE(form().game.fallTimer.Enabled());
    EXPECT_TRUE(Window().Form().Loaded());
    // Enter presses 关闭, the default button.
    drive::PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return Record() == nullptr; })) << "Enter closes the window";
}

}  // namespace
}  // namespace quorlax::win
