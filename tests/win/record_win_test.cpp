// The record window for real over the main window: topmost in the main
// window's colour, the speed line painted through the latest run's point,
// Escape closing it, its own keys (a game shortcut starts nothing from it),
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
    void SetUp() override {
        MainWindowTest::SetUp();
        HDC screen = GetDC(nullptr);
        painter_ =
            std::make_unique<forms::Painter>(GetModuleHandleW(nullptr), GetDeviceCaps(screen, LOGPIXELSY));
        ReleaseDC(nullptr, screen);
        record_ = std::make_unique<RecordWindow>(GetModuleHandleW(nullptr), hwnd_, history_, form().codeTable,
                                                 form().BackColor, *painter_);
    }
    void TearDown() override {
        record_.reset();
        MainWindowTest::TearDown();
    }
    void RecordRuns(int n) {
        for (int i = 0; i < n; ++i) {
            RunRecord run;
            run.when = L"2026-12-0" + std::to_wstring(1 + i % 8) + L" 10:00:00";
            run.typed = run.correct = 60;
            run.accuracy = 70 + i % 30;
            run.speed = 20 + (i * 7) % 40;
            run.seconds = 60;
            run.misses = {{L'中', 1 + i % 3}};
            history_.Record(run);
        }
    }
    HWND Record() { return record_->Handle(); }

    test::MemoryHistoryFile file_;
    test::RecordingMessages messages_;
    PracticeHistory history_{file_, messages_};
    std::unique_ptr<forms::Painter> painter_;
    std::unique_ptr<RecordWindow> record_;
};

TEST_F(RecordWindowTest, ItOpensOnTopWithTheSpeedLineThroughTheLatestRunAndEscapeClosesIt) {
    RecordRuns(30);
    record_->Form().Load();
    Pump(50);
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Record()));
    EXPECT_EQ(drive::WindowText(Record()), L"练习记录");
    EXPECT_TRUE(GetWindowLongW(Record(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowEnabled(record_->DrillButton()));

    const drive::Capture shot = drive::PrintClient(Record());
    const RecordChart& chart = record_->Form().View().chart;
    ASSERT_EQ(chart.Runs(), 30u);
    const POINT latest = record_->SpeedPoint(chart.latest);
    EXPECT_TRUE(Near(shot.At(latest.x, latest.y), RecordWindow::kSpeedColor)) << "the latest run's point";
    const POINT first = record_->SpeedPoint(0);
    EXPECT_LT(first.x, latest.x);
    EXPECT_TRUE(Near(shot.At(first.x, first.y), RecordWindow::kSpeedColor)) << "the oldest run's point";
    EXPECT_EQ(shot.At(2, shot.height - 2), forms::Painter::Resolve(form().BackColor))
        << "the main window's colour";

    SetFocus(record_->CloseButton());
    PostMessageW(record_->CloseButton(), WM_KEYDOWN, VK_ESCAPE, 1);
    Pump(100);
    EXPECT_FALSE(record_->Form().Loaded());
    EXPECT_EQ(Record(), nullptr);
}

TEST_F(RecordWindowTest, WithNoRunsTheDrillIsGreyedAndAGameShortcutStartsNothingFromIt) {
    record_->Form().Load();
    Pump(50);
    ASSERT_NE(Record(), nullptr);
    EXPECT_FALSE(IsWindowEnabled(record_->DrillButton()));
    EXPECT_FALSE(IsWindowEnabled(record_->ClearButton()));
    EXPECT_TRUE(record_->Form().View().empty);
    ASSERT_TRUE(drive::WaitFor([&] { return GetForegroundWindow() == Record(); }, 2000));
    drive::PressCtrl(Record(), 'H');
    Pump(200);
    EXPECT_FALSE(form().s2.Checked) << "no Chinese game";
    EXPECT_FALSE(form().Timer1.Enabled());
    EXPECT_TRUE(record_->Form().Loaded());
    // Enter presses 关闭, the default button.
    drive::PressKey(VK_RETURN);
    Pump(200);
    EXPECT_FALSE(record_->Form().Loaded());
}

}  // namespace
}  // namespace quorlax::win
