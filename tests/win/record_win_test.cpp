// The record window for real over the main window: topmost in the main
// window's colour, centred over it and no larger than 1024 × 768 at 96 dpi,
// the speed line painted through the latest run's point, Escape closing it,
// the drill started from it, a game start closing it, its own keys (a game
// shortcut starts nothing from it), the drill greyed with no runs, every
// point of a full chart in sight beside the names, weak characters with
// their strokes apart, a filter button re-plotting the chart, the code
// mode's keyboard in its keys' colours, and a window that could not be made
// opened at the next try.
#include "practice/record_form_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

int Distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

bool Near(COLORREF a, COLORREF b) { return Distance(a, b) < 40; }

// The most separate strokes any one column of `r` crosses: a pixel is ink
// when it lies over a fifth of the way from the background to the text.
int MostStrokesAcross(const drive::Capture& shot, const RECT& r, COLORREF back, COLORREF text) {
    int most = 0;
    for (int x = r.left; x < r.right; ++x) {
        int strokes = 0;
        bool inked = false;
        for (int y = r.top; y < r.bottom; ++y) {
            const bool ink = 5 * Distance(shot.At(x, y), back) > Distance(text, back);
            strokes += ink && !inked;
            inked = ink;
        }
        most = std::max(most, strokes);
    }
    return most;
}

// Makes every record window of this thread fail at its creation while set.
HHOOK g_refuse = nullptr;
LRESULT CALLBACK RefuseRecordWindow(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) {
        wchar_t name[64] = {};
        GetClassNameW(reinterpret_cast<HWND>(wp), name, 64);
        if (lstrcmpW(name, kRecordClass) == 0) return 1;
    }
    return CallNextHookEx(g_refuse, code, wp, lp);
}

class RecordWindowTest : public MainWindowTest {
protected:
    void RecordRuns(int n) {
        for (int i = 0; i < n; ++i) {
            RunRecord run;
            run.when = L"2026-12-0" + std::to_wstring(1 + i % 8) + L" 10:00:00";
            run.kind = i % 3 == 2 ? RunKind::Drill : RunKind::BuiltIn;
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
        Choose(form().practice.recordItem);
        PumpPending();
        ASSERT_NE(window_->Practice().Record(), nullptr);
    }
    RecordWindow& Window() { return *window_->Practice().Record(); }
    COLORREF Back() { return forms::Painter::Resolve(form().board.backColor); }
    HWND Record() { return window_->Practice().Record() ? window_->Practice().Record()->Handle() : nullptr; }
};

TEST_F(RecordWindowTest, ItOpensOnTopWithTheSpeedLineThroughTheLatestRunAndEscapeClosesIt) {
    RecordRuns(30);
    Open();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Record()));
    EXPECT_EQ(drive::WindowText(Record()), L"练习记录");
    EXPECT_TRUE(GetWindowLongW(Record(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_TRUE(IsWindowEnabled(Window().DrillButton()));
    RECT outer{}, game{};
    GetWindowRect(Record(), &outer);
    GetWindowRect(hwnd_, &game);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    EXPECT_LE(outer.right - outer.left, MulDiv(1024, dpi, 96));
    EXPECT_LE(outer.bottom - outer.top, MulDiv(768, dpi, 96));
    // Centred over the game, unless the work area's edge holds it back.
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    EXPECT_TRUE(std::abs(outer.left + outer.right - game.left - game.right) <= 2 || outer.left == work.left ||
                outer.right == work.right);
    EXPECT_TRUE(std::abs(outer.top + outer.bottom - game.top - game.bottom) <= 2 || outer.top == work.top ||
                outer.bottom == work.bottom);

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
    EXPECT_TRUE(form().practice.builtInItem.Checked);
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

TEST_F(RecordWindowTest, AFullChartShowsEveryPointBesideTheNamesAndWeakCharactersKeepTheirStrokesApart) {
    for (int i = 0; i < 100; ++i) {  // rising, the best just before the latest
        RunRecord run;
        run.when = L"2026-12-0" + std::to_wstring(1 + i / 13) + L" 10:00:00";
        run.typed = run.correct = 60;
        run.accuracy = 86 + i % 9;
        run.speed = 25 + i / 3 + i % 4 - (i == 99) * 6;
        run.seconds = 60;
        run.misses = {{L'疆', 3}, {L'矗', 2}};
        form().practice.History().Record(run);
    }
    CharRecord chars;
    for (auto [ch, misses] : {std::pair{L'疆', 5}, std::pair{L'矗', 3}})
        chars.Apply(std::vector<Attempt>(static_cast<std::size_t>(misses), Attempt{ch, true, 900}), Today(),
                    1000);
    fakes_.chars.bytes = chars.Format();
    Open();
    const drive::Capture shot = drive::PrintClient(Record());
    const RecordChart& chart = Window().Form().View().chart;
    ASSERT_EQ(chart.Runs(), 100u);
    ASSERT_EQ(chart.tags.size(), 2u);
    for (std::size_t i = 0; i < chart.Runs(); ++i) {
        const POINT p = Window().SpeedPoint(i);
        EXPECT_TRUE(Near(shot.At(p.x, p.y), RecordWindow::kSpeedColor))
            << "run " << i << "'s point is covered";
    }

    // 疆: 一田一田一 on the right, nine strokes one above the other; 矗: three
    // 直, of which a column crosses six strokes at this size.
    const RecordView& view = Window().Form().View();
    ASSERT_EQ(view.weakest.size(), 2u);
    ASSERT_EQ(view.weakest[0].ch, L"疆");
    for (auto [row, strokes] : {std::pair{0, 9}, std::pair{1, 6}}) {
        const RECT cell = Window().WeakCell(static_cast<std::size_t>(row), 0);
        COLORREF text = Back();  // the ink at its fullest
        for (int y = cell.top; y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                if (Distance(shot.At(x, y), Back()) > Distance(text, Back())) text = shot.At(x, y);
        EXPECT_GE(MostStrokesAcross(shot, cell, Back(), text), strokes) << "row " << row;
    }
}

TEST_F(RecordWindowTest, AFilterButtonRePlotsTheChartAndMarksItselfChosen) {
    RecordRuns(30);  // every third a drill
    Open();
    ASSERT_EQ(Window().Form().View().chart.Runs(), 30u);
    const POINT before = Window().SpeedPoint(9);
    ASSERT_NE(Window().FilterButton(ChartKind::Drill), nullptr);
    EXPECT_FALSE(IsWindowEnabled(Window().FilterButton(ChartKind::All))) << "全部 chosen at first";

    SendMessageW(Window().FilterButton(ChartKind::Drill), BM_CLICK, 0, 0);
    PumpPending();
    const RecordChart& chart = Window().Form().View().chart;
    ASSERT_EQ(chart.Runs(), 10u);
    EXPECT_FALSE(IsWindowEnabled(Window().FilterButton(ChartKind::Drill)));
    EXPECT_TRUE(IsWindowEnabled(Window().FilterButton(ChartKind::All)));
    const POINT latest = Window().SpeedPoint(9);
    EXPECT_GT(latest.x, before.x) << "ten runs spread across the plot";
    const drive::Capture shot = drive::PrintClient(Record());
    EXPECT_TRUE(Near(shot.At(latest.x, latest.y), RecordWindow::kSpeedColor)) << "the drill's latest run";
}

TEST_F(RecordWindowTest, TheCodeModesKeyboardShowsEachKeyInItsWeaknessColour) {
    RecordRuns(3);
    Open();
    EXPECT_FALSE(Window().Form().View().keyboard.shown) << "no key record yet";
    Window().Form().Unload();

    std::vector<KeyPress> presses;
    for (int i = 0; i < 6; ++i) {
        presses.push_back({'q', true, 900});   // missed and slow
        presses.push_back({'g', false, 150});  // sure and quick
    }
    form().practice.learning.KeysPressed(presses);  // as a run typed by code ends
    Open();
    const RecordKeyboard& board = Window().Form().View().keyboard;
    ASSERT_TRUE(board.shown);
    ASSERT_FALSE(board.weakest.empty());
    EXPECT_EQ(board.weakest[0].key, L"Q 金");
    const drive::Capture shot = drive::PrintClient(Record());
    for (const RecordKey& key : board.keys) {
        if (key.key->letter != 'q' && key.key->letter != 'g') continue;
        const RECT cell = Window().KeyCell(key.key->letter);
        // Inside the key, away from its edge and its two texts.
        const int x = cell.left + (cell.right - cell.left) / 6,
                  y = cell.bottom - (cell.bottom - cell.top) / 6;
        const COLORREF painted = shot.At(x, y);
        EXPECT_TRUE(Near(painted, forms::Painter::Resolve(key.color))) << key.key->letter;
        if (key.key->letter == 'q') {
            EXPECT_GT(GetRValue(painted), 2 * GetGValue(painted)) << "the weak key is red";
        } else {
            EXPECT_GT(GetGValue(painted), GetRValue(painted)) << "the sure key is green";
        }
    }
}

TEST_F(RecordWindowTest, AWindowThatCouldNotBeMadeOpensAtTheNextTry) {
    RecordRuns(3);
    g_refuse = SetWindowsHookExW(WH_CBT, RefuseRecordWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_refuse, nullptr);
    Open();
    UnhookWindowsHookEx(g_refuse);
    EXPECT_EQ(Record(), nullptr);
    EXPECT_FALSE(Window().Form().Loaded());
    Open();
    ASSERT_NE(Record(), nullptr);
    EXPECT_TRUE(IsWindowVisible(Record()));
    EXPECT_TRUE(Window().Form().Loaded());
}

}  // namespace
}  // namespace quorlax::win
