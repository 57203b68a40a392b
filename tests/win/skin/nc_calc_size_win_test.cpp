// The frame manager on real windows: margins, hit-test codes, painter calls,
// the native menu taken over, the keyboard hook and the caption drag.
#include "skin/nc_calc_size_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <initializer_list>
#include <memory>
#include <vector>

#include "win/skin/skin_test_support.h"

namespace quorlax::skin {
namespace {

using test::Keys;
using test::OnScreen;
using test::Pump;
using test::PumpUntil;
using test::TestWindow;

// A painter that records what the frame manager asks of it.
class FakePainter : public INCAreaModifier {
public:
    explicit FakePainter(HWND hwnd) : hwnd_(hwnd) {}
    HWND hwnd() override { return hwnd_; }
    void GetTopMarginHeight(int& cy) override { cy = 48; }
    void GetLeftMarginWidth(int& cx) override { cx = 10; }
    void GetRightMarginWidth(int& cx) override { cx = 10; }
    void GetBottomMarginHeight(int& cy) override { cy = 10; }
    void NCPaint(HDC, int l, int t, int r, int b) override {
        ++paints;
        painted = RECT{l, t, r, b};
    }
    void HitTest(int x, int y, LRESULT& code) override {
        if (x == menu_spot.x && y == menu_spot.y) code = HTMENU;
        if (x == close_spot.x && y == close_spot.y) code = HTCLOSE;
    }
    void NCMouseDown(int x, int y, bool& handled, HDC, int, int, int, int) override {
        downs.push_back({x, y});
        handled = x == close_spot.x && y == close_spot.y;
    }
    void NCMouseUp(int x, int y, HDC, int, int, int, int) override { ups.push_back({x, y}); }
    void InitMenuPopup(WPARAM, LPARAM) override {}
    void ExitMenuLoop() override {}
    void AltKeyAccelerator(UINT vKey, LRESULT& lReturn) override {
        keys.push_back(vKey);
        lReturn = vKey == 'A';
    }

    POINT menu_spot{400, 40};   // reported as HTMENU
    POINT close_spot{790, 15};  // a painted button: HTCLOSE, presses handled
    int paints = 0;
    RECT painted{};
    std::vector<POINT> downs, ups;
    std::vector<UINT> keys;

private:
    HWND hwnd_;
};

class FrameTest : public ::testing::Test {
protected:
    void Make(DWORD style) {
        window_ = std::make_unique<TestWindow>(style, test::kGameWidth, test::kGameHeight);
        ASSERT_TRUE(window_->hwnd());
        hwnd_ = window_->hwnd();
        // Closing and system commands would end or move the test window.
        window_->OnMessage = [](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == WM_CLOSE || msg == WM_SYSCOMMAND) return 0;
            return std::nullopt;
        };
        painter_ = std::make_unique<FakePainter>(hwnd_);
        frame_ = std::make_unique<cNCCalcSize>();
        frame_->Attach(painter_.get());
        frame_->Display(hwnd_);
    }
    void TearDown() override {
        frame_.reset();
        window_.reset();
        Pump(10);
    }
    LRESULT HitAt(int x, int y) {
        POINT p = OnScreen(hwnd_, x, y);
        return SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    }
    // The hit-test code each point (relative to the window) gets.
    struct Hit {
        int x, y;
        LRESULT code;
    };
    void ExpectHits(std::initializer_list<Hit> hits) {
        for (const Hit& h : hits) EXPECT_EQ(HitAt(h.x, h.y), h.code) << h.x << "," << h.y;
    }

    std::unique_ptr<TestWindow> window_;
    std::unique_ptr<FakePainter> painter_;
    std::unique_ptr<cNCCalcSize> frame_;
    HWND hwnd_ = nullptr;
};

TEST_F(FrameTest, MarginsMakeA794By528ClientInAn814By586WindowAndGoAwayOnDetach) {
    Make(test::kGameStyle);
    RECT c{};
    GetClientRect(hwnd_, &c);
    EXPECT_EQ(c.right, 794);
    EXPECT_EQ(c.bottom, 528);
    POINT origin{0, 0};
    ClientToScreen(hwnd_, &origin);
    EXPECT_EQ(origin.x - OnScreen(hwnd_, 0, 0).x, 10);
    EXPECT_EQ(origin.y - OnScreen(hwnd_, 0, 0).y, 48);

    SetWindowPos(hwnd_, nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
    GetClientRect(hwnd_, &c);
    EXPECT_EQ(c.right, 580);
    EXPECT_EQ(c.bottom, 342);

    frame_->Detach();
    frame_->Display(hwnd_);
    GetClientRect(hwnd_, &c);
    EXPECT_NE(c.bottom, 342) << "the system's own frame is back";
    EXPECT_EQ(GetPropW(hwnd_, L"kwixCNCImplementation"), nullptr);
}

TEST_F(FrameTest, HitTestCodesOfASizableWindow) {
    Make(WS_OVERLAPPEDWINDOW);
    const int C = GetSystemMetrics(SM_CYCAPTION), W = test::kGameWidth, H = test::kGameHeight;
    ExpectHits({
        {0, 0, HTTOPLEFT},       {10, 10, HTTOPLEFT},           {5, 11, HTLEFT},
        {5, H - 11, HTLEFT},     {5, H - 10, HTBOTTOMLEFT},     {W - 10, 5, HTTOPRIGHT},
        {W - 1, 300, HTRIGHT},   {W - 5, H - 1, HTBOTTOMRIGHT}, {400, 10, HTTOP},
        {400, H - 10, HTBOTTOM}, {400, 11, HTCAPTION},          {400, C + 10, HTCAPTION},
        {C, 20, HTSYSMENU},      {C + 1, 20, HTCAPTION},        {400, C + 11, HTCLIENT},  // menu row
        {400, 48, HTCLIENT},     {400, 300, HTCLIENT},          {11, 300, HTCLIENT},
        {400, 40, HTCLIENT},  // the painter's HTMENU is answered as client
        {790, 15, HTCLOSE},   // the painter refines a caption point
    });
    POINT outside = OnScreen(hwnd_, W + 5, 20);
    EXPECT_EQ(SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(outside.x, outside.y)), HTCLIENT);
}

TEST_F(FrameTest, HitTestCodesOfAFixedWindowHaveNoSizingEdges) {
    Make(test::kGameStyle);
    const int C = GetSystemMetrics(SM_CYCAPTION), W = test::kGameWidth, H = test::kGameHeight;
    ExpectHits({
        {0, 0, HTCLIENT},
        {5, 300, HTCLIENT},
        {W - 5, H - 5, HTCLIENT},
        {400, 5, HTCLIENT},
        {400, H - 5, HTCLIENT},
        {400, 20, HTCAPTION},
        {12, 20, HTSYSMENU},
        {400, C + 11, HTCLIENT},
    });
}

TEST_F(FrameTest, ThePainterPaintsTheWholeFrameAndPressesItTakesNeverReachTheDefaultHandling) {
    Make(test::kGameStyle);
    window_->Show();
    const int before = painter_->paints;
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(painter_->paints, before);
    EXPECT_EQ(painter_->painted.right, test::kGameWidth);
    EXPECT_EQ(painter_->painted.bottom, test::kGameHeight);

    POINT close = OnScreen(hwnd_, painter_->close_spot.x, painter_->close_spot.y);
    window_->log.clear();
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCLOSE, MAKELPARAM(close.x, close.y));
    SendMessageW(hwnd_, WM_NCLBUTTONDBLCLK, HTCLOSE,
                 MAKELPARAM(close.x, close.y));  // not a system-menu double click
    SendMessageW(hwnd_, WM_NCLBUTTONUP, HTCLOSE, MAKELPARAM(close.x, close.y));
    EXPECT_EQ(window_->Count(WM_NCLBUTTONDOWN) + window_->Count(WM_NCLBUTTONDBLCLK), 0);
    ASSERT_EQ(painter_->downs.size(), 2u);
    EXPECT_EQ(painter_->downs[1].x, painter_->close_spot.x);
    EXPECT_EQ(painter_->downs[1].y, painter_->close_spot.y);
    ASSERT_EQ(painter_->ups.size(), 1u);

    // A press it leaves goes on, with the code computed afresh.
    POINT edge = OnScreen(hwnd_, 400, 3);  // the top edge of a fixed window: client
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTTOP, MAKELPARAM(edge.x, edge.y));
    ASSERT_EQ(window_->Count(WM_NCLBUTTONDOWN), 1);
    for (const auto& l : window_->log) {
        if (l.msg == WM_NCLBUTTONDOWN) {
            EXPECT_EQ(l.wp, static_cast<WPARAM>(HTCLIENT));
        }
    }
}

TEST_F(FrameTest, ANativeMenuSetLaterIsTakenOverToo) {
    Make(test::kGameStyle);
    window_->Show();
    HMENU bar = CreateMenu();
    AppendMenuW(bar, MF_STRING, 2, L"&Game");
    SetMenu(hwnd_, bar);
    EXPECT_TRUE(PumpUntil([&] { return GetMenu(hwnd_) == nullptr; }, 2000));
    EXPECT_EQ(frame_->hMenu(), bar);
    RECT c{};
    GetClientRect(hwnd_, &c);
    EXPECT_EQ(c.bottom, 528) << "no room taken by a native bar";
    DestroyMenu(bar);
}

TEST_F(FrameTest, TheKeyboardHookHandsOnlyAltWithALetterToThePainterOfTheActiveWindow) {
    Make(test::kGameStyle);
    window_->Show();
    ASSERT_TRUE(PumpUntil([&] { return frame_->WindowActive(); }));
    window_->log.clear();
    Keys({{VK_MENU, true}, {'A', true}, {'A', false}, {'B', true}, {'B', false}, {VK_MENU, false}});
    Keys({{VK_MENU, true},
          {VK_F4, true},
          {VK_F4, false},
          {VK_F10, true},
          {VK_F10, false},
          {VK_ESCAPE, true},
          {VK_ESCAPE, false},
          {VK_DELETE, true},
          {VK_DELETE, false},
          {VK_MENU, false}});
    Keys({{VK_CONTROL, true},
          {VK_MENU, true},
          {'C', true},
          {'C', false},
          {VK_MENU, false},
          {VK_CONTROL, false}});
    ASSERT_TRUE(PumpUntil([&] { return window_->Count(WM_KEYUP) + window_->Count(WM_SYSKEYUP) >= 11; }));
    ASSERT_TRUE(window_->AwaitInput());
    EXPECT_EQ(painter_->keys, (std::vector<UINT>{'A', 'B'}));
    bool saw_a = false, saw_b = false;
    for (const auto& l : window_->log) {
        if (l.msg == WM_SYSKEYDOWN && l.wp == 'A') saw_a = true;
        if (l.msg == WM_SYSKEYDOWN && l.wp == 'B') saw_b = true;
    }
    EXPECT_FALSE(saw_a) << "a key the painter takes is swallowed";
    EXPECT_TRUE(saw_b) << "a key it leaves goes on";

    SendMessageW(hwnd_, WM_NCACTIVATE, FALSE, 0);  // inactive: nothing goes to the painter
    Keys({{VK_MENU, true}, {'A', true}, {'A', false}, {VK_MENU, false}});
    ASSERT_TRUE(window_->AwaitInput());
    EXPECT_EQ(painter_->keys.size(), 2u);
}

class DragTest : public FrameTest {
protected:
    void SetUp() override {
        Make(test::kGameStyle);
        window_->Show();
        ASSERT_TRUE(PumpUntil([&] { return frame_->WindowActive(); }));
    }
    // From the helper thread: a press on the caption starts the drag with a
    // one-pixel wiggle of the pointer (so that the system sees it move).
    static bool AwaitDragStart(POINT grip) {
        return test::WaitFor([&] { return !test::CursorAt(grip.x, grip.y); });
    }
    bool WindowAt(POINT top_left) const {
        RECT r{};
        GetWindowRect(hwnd_, &r);
        return r.left == top_left.x && r.top == top_left.y;
    }
};

TEST_F(DragTest, TheCaptionDragFollowsThePointerLetsMessagesRunAndEndsOnRelease) {
    RECT start{};
    GetWindowRect(hwnd_, &start);
    std::atomic<int> ticks{0};
    SetTimer(hwnd_, 7, 20, nullptr);
    window_->OnMessage = [&](UINT msg, WPARAM wp, LPARAM) -> std::optional<LRESULT> {
        if (msg == WM_TIMER && wp == 7) ++ticks;
        if (msg == WM_CLOSE || msg == WM_SYSCOMMAND) return 0;
        return std::nullopt;
    };
    std::atomic<int> ticks_held{0};
    POINT grip = OnScreen(hwnd_, 400, 20);
    bool finished = test::RunScript([&] {
        test::MouseTo(grip.x, grip.y);
        test::LeftButton(true);
        if (!AwaitDragStart(grip)) return;
        POINT from{};
        GetCursorPos(&from);
        for (int i = 1; i <= 10; ++i) {  // the window follows each step
            test::MouseTo(grip.x + 3 * i, grip.y + 2 * i);
            const POINT at{start.left + grip.x + 3 * i - from.x, start.top + grip.y + 2 * i - from.y};
            if (!test::WaitFor([&] { return WindowAt(at); }, 2000)) return;
        }
        const int ticks_before = ticks;
        test::WaitFor([&] { return ticks - ticks_before >= 10; }, 10000);  // held still
        ticks_held = ticks - ticks_before;
        test::LeftButton(false);
        test::WaitFor([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; });
        RECT held{};
        GetWindowRect(hwnd_, &held);
        test::MouseTo(grip.x + 60, grip.y + 60);  // after release the window stays put
        test::WaitFor([&] { return !WindowAt(POINT{held.left, held.top}); }, 300);
    });
    ASSERT_TRUE(finished);
    KillTimer(hwnd_, 7);
    RECT end{};
    GetWindowRect(hwnd_, &end);
    // The one-pixel wiggle of the press may shift the grip point by a pixel.
    EXPECT_NEAR(end.left - start.left, 30, 2);
    EXPECT_NEAR(end.top - start.top, 20, 2);
    EXPECT_GE(ticks_held.load(), 10) << "timer messages ran during the drag";
}

TEST_F(DragTest, TheDragEndsWhenTheWindowIsDeactivatedOrTheFrameEndsMeanwhile) {
    constexpr UINT kInterrupt = WM_APP + 9;  // posted during the drag, run by its message pump
    TestWindow other(test::kGameStyle, 200, 150, L"other", 600, 500);
    for (int round = 0; round < 2; ++round) {
        SetForegroundWindow(hwnd_);
        ASSERT_TRUE(PumpUntil([&] { return frame_->WindowActive(); }));
        RECT start{};
        GetWindowRect(hwnd_, &start);
        std::atomic<bool> interrupted{false};
        window_->OnMessage = [&](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == kInterrupt) {
                interrupted = true;
                if (round == 0)
                    SetForegroundWindow(other.hwnd());
                else
                    frame_.reset();  // the frame object goes away while its loop runs
            }
            if (msg == WM_CLOSE || msg == WM_SYSCOMMAND) return 0;
            return std::nullopt;
        };
        // Each round presses elsewhere: the same spot again would be a double click.
        POINT grip = OnScreen(hwnd_, 300 + 100 * round, 20);
        std::atomic<bool> moved_after{false};
        std::atomic<int> stage{0};  // how far the script came: 3 is the end
        bool finished = test::RunScript([&] {
            test::MouseTo(grip.x, grip.y);
            test::LeftButton(true);
            if (!AwaitDragStart(grip)) return;
            stage = 1;
            PostMessageW(hwnd_, kInterrupt, 0, 0);
            if (!test::WaitFor([&] { return interrupted.load(); })) return;
            stage = 2;
            RECT before{};
            GetWindowRect(hwnd_, &before);
            test::MouseTo(grip.x + 40, grip.y + 40);
            moved_after = test::WaitFor([&] { return !WindowAt(POINT{before.left, before.top}); }, 300);
            test::LeftButton(false);
            if (test::WaitFor([] { return (GetAsyncKeyState(VK_LBUTTON) & 0x8000) == 0; })) stage = 3;
        });
        ASSERT_TRUE(finished) << round;
        EXPECT_EQ(stage.load(), 3) << "round " << round << ": the drag, the interruption, the release";
        EXPECT_FALSE(moved_after.load()) << "round " << round << ": the drag went on";
    }
}

}  // namespace
}  // namespace quorlax::skin
