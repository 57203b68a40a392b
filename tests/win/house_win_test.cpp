// The Win32 house the windows share: keys reach the window that owns them,
// the exception barrier, timer models bound to real timers, and repaints
// that follow every change.
#include <memory>
#include <stdexcept>

#include "forms/timer_host_win.h"
#include "platform/barrier_win.h"
#include "platform/pictures_win.h"
#include "scores/hall_of_fame.h"
#include "support/sample_pictures_win.h"
#include "win/skin/refused_subclass_win.h"
#include "win/window_fixture.h"

namespace quorlax::win {
namespace {

class HouseTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        SetFaultSink([this](const std::wstring& text) { reports_.push_back(text); });
    }
    void TearDown() override {
        SetFaultSink(nullptr);
        MainWindowTest::TearDown();
    }
    std::vector<std::wstring> reports_;
};

// Presses Ctrl with each key through the system's input queue.
void PressCtrlKeys(std::initializer_list<WORD> keys) {
    for (WORD key : keys) {
        INPUT in[4] = {};
        for (auto& i : in) i.type = INPUT_KEYBOARD;
        in[0].ki.wVk = in[3].ki.wVk = VK_CONTROL;
        in[1].ki.wVk = in[2].ki.wVk = key;
        in[2].ki.dwFlags = in[3].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(4, in, sizeof(INPUT));
    }
}

TEST_F(HouseTest, GameShortcutsTypedInTheNameBoxStayThereAndTheNameIsStored) {
    Choose(form().game.digitsGameItem);
    form().game.scoreLabel.SetCaption(L"900");
    form().game.livesLabel.SetCaption(L"0");
    PumpPending();
    HWND box = window_->Scores().HallOfFame()->NameBox();
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(drive::WaitFor(
        [&] { return GetForegroundWindow() == window_->Scores().HallOfFame()->Handle(); }, 2000));
    SetWindowTextW(box, L"Ann");
    SendMessageW(box, EM_SETSEL, 3, 3);
    PressCtrlKeys({'S', 'H', 'Y'});
    PumpPending();  // the keys, queued by SendInput
    ASSERT_TRUE(form().scores.hallOfFame.Loaded()) << "no game was started, the window stayed";
    EXPECT_TRUE(form().game.digitsGameItem.Checked);
    EXPECT_FALSE(form().game.englishGameItem.Checked || form().game.chineseGameItem.Checked);
    EXPECT_EQ(form().game.livesLabel.Caption(), L"0");
    std::wstring typed = drive::ControlText(box);
    EXPECT_FALSE(typed.empty());
    drive::PressKey(VK_RETURN);
    EXPECT_TRUE(PumpUntil([&] { return !form().scores.hallOfFame.Loaded(); })) << "Enter confirms";
    EXPECT_EQ(fakes_.settings.Get(kSectionHallOfFame, L"sm1"), typed);
    EXPECT_EQ(fakes_.settings.Get(kSectionHallOfFame, L"sf1"), L"900");
}

TEST_F(HouseTest, TheMainWindowsShortcutsAreNotTranslatedForOtherWindows) {
    Choose(form().scores.rankingItem);
    HWND hof = window_->Scores().HallOfFame()->Handle();
    ASSERT_NE(hof, nullptr);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    MSG msg{hof, WM_KEYDOWN, 'Y', 1, 0, {}};
    MessageLoop::Instance().PreTranslate(msg);  // the hall of fame's dialog keys may take it
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_FALSE(form().game.englishGameItem.Checked) << "no English game";
    EXPECT_TRUE(form().scores.hallOfFame.Loaded());
}

TEST_F(HouseTest, AHandlerThatThrowsIsReportedOnceAndTheWindowGoesOn) {
    form().game.englishGameItem.Click = [] { throw std::out_of_range("control array index 6 out of range"); };
    Choose(form().game.englishGameItem);
    Choose(form().game.englishGameItem);
    ASSERT_EQ(reports_.size(), 1u) << "told once, however often it happens";
    EXPECT_NE(reports_[0].find(L"index 6"), std::wstring::npos);
    EXPECT_TRUE(IsWindow(hwnd_));
    Choose(form().game.digitsGameItem);
    EXPECT_TRUE(form().game.digitsGameItem.Checked) << "the window still handles messages";
}

TEST(PaintedFrameStartupTest, AFrameThatCannotBeAttachedIsToldOnceAndTheGameRunsInTheSystemFrameAndMenuBar) {
    test::FakeServices fakes;
    fakes.random.SetFallback({0.5, 0.25, 0.75});
    SetFaultSink([](const std::wstring&) {});  // no message box in a test
    const int faults = FaultCount();
    auto window = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), fakes.services, fakes.practiceFiles);
    {
        const skin::test::RefusedSubclassing refused;  // the skin's subclassing fails at load
        ASSERT_TRUE(window->Create()) << "start-up goes on";
    }
    EXPECT_EQ(FaultCount(), faults + 1);
    const HWND hwnd = window->Handle();
    EXPECT_EQ(static_cast<ULONG_PTR>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)),
              GetClassLongPtrW(hwnd, GCLP_WNDPROC))
        << "nothing of the skin stays on the window";
    EXPECT_EQ(GetMenu(hwnd), window->Menus().Handle()) << "the ordinary menu bar";
    EXPECT_TRUE(IsWindowVisible(hwnd));
    SendMessageW(hwnd, WM_COMMAND,
                 MAKEWPARAM(window->Menus().CommandOf(&window->Form().game.englishGameItem), 0), 0);
    EXPECT_TRUE(window->Form().game.fallTimer.Running()) << "a game starts";
    SetFaultSink(nullptr);
    window.reset();
    PumpPending();  // takes the closed window's WM_QUIT, which would end the next modal loop at once
}

TEST_F(HouseTest, ATimerWhoseTickThrowsIsStoppedNotRepeated) {
    int faults = FaultCount();
    Choose(form().game.digitsGameItem);
    form().board.clock.Tick = [] { throw std::runtime_error("broken clock"); };
    ASSERT_TRUE(PumpUntil([&] { return FaultCount() > faults; }));
    EXPECT_FALSE(form().board.clock.Enabled()) << "stopped, so it cannot throw again";
    const float top = form().game.fallingLabels(1).Top;
    EXPECT_TRUE(PumpUntil([&] { return form().game.fallingLabels(1).Top > top; })) << "the fall goes on";
    EXPECT_EQ(FaultCount(), faults + 1);
    EXPECT_TRUE(form().game.fallTimer.Running()) << "the fall goes on";
}

// A bare window whose timers a host runs.
LRESULT CALLBACK HostedProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* host = reinterpret_cast<forms::TimerHost*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    LRESULT result = 0;
    if (host && host->Filter(msg, wp, lp, result)) return result;
    return DefWindowProcW(hwnd, msg, wp, lp);
}

TEST_F(HouseTest, ATimerEnabledBeforeItIsBoundStartsWhenBound) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = HostedProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QuorlaxTimerHostTest";
    RegisterClassW(&wc);
    HWND w = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                           nullptr);
    ASSERT_NE(w, nullptr);
    forms::Timer enabled{20, true}, off{20, false};
    int ticks = 0, off_ticks = 0;
    enabled.Tick = [&] { ++ticks; };
    off.Tick = [&] { ++off_ticks; };
    {
        forms::TimerHost host;
        SetWindowLongPtrW(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&host));
        host.Bind(w, {&enabled, &off}, 1);
        EXPECT_EQ(host.RunningCount(), 1);
        EXPECT_TRUE(PumpUntil([&] { return ticks > 2; }));
        EXPECT_EQ(off_ticks, 0);
        enabled.SetInterval(0);
        int now = ticks;
        off.SetEnabled(true);  // a timer that does run, to wait on
        EXPECT_TRUE(PumpUntil([&] { return off_ticks > 2; }));
        EXPECT_EQ(ticks, now) << "interval 0 stops the real timer";
        SetWindowLongPtrW(w, GWLP_USERDATA, 0);
    }
    DestroyWindow(w);
}

TEST_F(HouseTest, ANewPictureIsPaintedEvenWhereTheOldOneLay) {
    OlePictures pictures;
    std::wstring red = test::WriteBitmap(L"quorlax_red.bmp", 255, 0, 0);
    std::wstring green = test::WriteBitmap(L"quorlax_green.bmp", 0, 255, 0);
    form().board.picture = pictures.Load(red);
    ASSERT_NE(form().board.picture, nullptr);
    EXPECT_EQ(Painted().At(10, 10), RGB(255, 0, 0));
    // Same size, same place, and memory that may well be reused.
    form().board.picture.reset();
    form().board.picture = pictures.Load(green);
    EXPECT_EQ(Painted().At(10, 10), RGB(0, 255, 0));
    DeleteFileW(red.c_str());
    DeleteFileW(green.c_str());
}

TEST_F(HouseTest, ACaptionChangedInPlaceIsRepaintedAndNothingElse) {
    Choose(form().game.englishGameItem);
    Painted();
    form().game.speedLabel.SetCaption(L"8");  // same width, same place: only the text differs
    auto before = drive::PrintClient(hwnd_);
    window_->AfterEvent();
    RECT dirty = window_->View().LastDirty();
    auto after = drive::PrintClient(hwnd_);
    EXPECT_FALSE(IsRectEmpty(&dirty));
    EXPECT_LT(dirty.right - dirty.left, 200) << "only the speed value, not the whole window";
    int changed = 0;
    for (int y = dirty.top; y < dirty.bottom; ++y)
        for (int x = dirty.left; x < dirty.right; ++x) changed += before.At(x, y) != after.At(x, y);
    EXPECT_GT(changed, 10) << "the new digit is on screen";
}

}  // namespace
}  // namespace quorlax::win
