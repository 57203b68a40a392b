// Subclassing dispatch, its bookkeeping properties and errors, the exception
// barrier, and the window-less timers, on real windows under Wine.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "skin/skin_error_win.h"
#include "skin/subclass_win.h"
#include "skin/timer_win.h"
#include "win/skin/refused_subclass_win.h"
#include "win/skin/skin_test_support.h"

namespace quorlax::skin {
namespace {

using test::Pump;
using test::PumpUntil;
using test::TestWindow;

constexpr UINT kProbe = WM_APP + 1;   // a message the listeners see
constexpr UINT kOther = WM_APP + 2;   // a message nobody listens to
constexpr LRESULT kOldAnswer = 7;     // what the window's own procedure answers kProbe with
constexpr LRESULT kOtherAnswer = 42;  // ... and kOther with

// A listener that logs its calls into a shared trace and answers with a mark.
class Listener : public ISubclass {
public:
    Listener(char name, EMsgResponse mode, std::string& trace) : name_(name), mode_(mode), trace_(trace) {}
    EMsgResponse MsgResponse() override { return mode_; }
    void MsgResponse(EMsgResponse) override {}
    void WindowProc(HWND hwnd, UINT msg, WPARAM, LPARAM, LRESULT& result) override {
        trace_ += name_;
        if (also) also();
        seen_slot = result;
        seen_current = GSubclass().CurrentMessage();
        if (call_old) old_answer = GSubclass().CallOldWindowProc(hwnd, msg, 0, 0);
        if (throws) throw std::runtime_error("listener failed");
        result = answer;
    }
    LRESULT answer = 100;
    LRESULT seen_slot = -1;
    UINT seen_current = 0;
    bool call_old = false;
    LRESULT old_answer = 0;
    bool throws = false;
    std::function<void()> also;  // runs first, inside the call

private:
    char name_;
    EMsgResponse mode_;
    std::string& trace_;
};

class SubclassTest : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<TestWindow>(WS_OVERLAPPEDWINDOW, 300, 200);
        ASSERT_TRUE(window_->hwnd());
        hwnd_ = window_->hwnd();
        original_ = GetWindowLongPtrW(hwnd_, GWLP_WNDPROC);
        window_->OnMessage = [this](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (msg == kProbe) {
                trace_ += 'O';
                return kOldAnswer;
            }
            if (msg == kOther) return kOtherAnswer;
            return std::nullopt;
        };
    }
    LONG_PTR Prop(const std::string& name) {
        return reinterpret_cast<LONG_PTR>(GetPropA(hwnd_, name.c_str()));
    }

    std::unique_ptr<TestWindow> window_;
    HWND hwnd_ = nullptr;
    LONG_PTR original_ = 0;
    std::string trace_;
};

using M = EMsgResponse;

TEST_F(SubclassTest, FirstListenerDecidesBeforeLastDecidesAfterAndTheOldProcedureRunsAtMostOnce) {
    struct Case {
        M first, last;
        const char* trace;
        LRESULT result;
    };
    const Case cases[] = {
        {M::emrPreprocess, M::emrConsume, "OAB", 200},          // before the first listener
        {M::emrConsume, M::emrPostProcess, "ABO", kOldAnswer},  // after the last, its answer wins
        {M::emrPreprocess, M::emrPostProcess, "OAB", 200},      // before, and not again after
        {M::emrConsume, M::emrConsume, "AB", 200},              // the listeners alone
        {M::emrPostProcess, M::emrPreprocess, "AB", 200},       // modes count only in their place
    };
    for (const Case& c : cases) {
        trace_.clear();
        Listener a('A', c.first, trace_), b('B', c.last, trace_);
        b.answer = 200;
        MSubclass::AttachMessage(&a, hwnd_, kProbe);
        MSubclass::AttachMessage(&b, hwnd_, kProbe);
        LRESULT r = SendMessageW(hwnd_, kProbe, 0, 0);
        EXPECT_EQ(trace_, c.trace);
        EXPECT_EQ(r, c.result) << c.trace;
        if (c.first == M::emrPreprocess) {
            EXPECT_EQ(a.seen_slot, kOldAnswer) << "the first listener sees the old answer";
        }
        EXPECT_EQ(b.seen_slot, 100) << "the second listener sees the first one's answer";
        EXPECT_EQ(a.seen_current, kProbe);
        MSubclass::DetachMessage(&a, hwnd_, kProbe);
        MSubclass::DetachMessage(&b, hwnd_, kProbe);
    }
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_);
}

TEST_F(SubclassTest, AMessageWithoutListenersGoesStraightToTheOldProcedure) {
    Listener a('A', M::emrConsume, trace_);
    MSubclass::AttachMessage(&a, hwnd_, kProbe);
    EXPECT_NE(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_);
    EXPECT_EQ(SendMessageW(hwnd_, kOther, 0, 0), kOtherAnswer);
    EXPECT_EQ(trace_, "");
    a.call_old = true;
    EXPECT_EQ(SendMessageW(hwnd_, kProbe, 0, 0), 100);
    EXPECT_EQ(a.old_answer, kOldAnswer) << "CallOldWindowProc reaches the window's own procedure";
    MSubclass::DetachMessage(&a, hwnd_, kProbe);
}

TEST_F(SubclassTest, BookkeepingLivesInNamedWindowProperties) {
    const std::string h = std::to_string(reinterpret_cast<LONG_PTR>(hwnd_));
    EXPECT_EQ(MSubclass::OldProcName(hwnd_), h);
    EXPECT_EQ(MSubclass::AttachCountName(hwnd_), "C" + h);
    EXPECT_EQ(MSubclass::ListenerCountName(hwnd_, 133), h + "#133C");
    EXPECT_EQ(MSubclass::ListenerName(hwnd_, 133, 1), h + "#133#1");

    Listener a('A', M::emrConsume, trace_), b('B', M::emrConsume, trace_);
    MSubclass::AttachMessage(&a, hwnd_, 133);
    MSubclass::AttachMessage(&b, hwnd_, 133);
    MSubclass::AttachMessage(&b, hwnd_, kProbe);
    EXPECT_EQ(Prop(h), original_);
    EXPECT_EQ(Prop("C" + h), 3);
    EXPECT_EQ(Prop(h + "#133C"), 2);
    EXPECT_EQ(Prop(h + "#133#1"), reinterpret_cast<LONG_PTR>(static_cast<ISubclass*>(&a)));
    EXPECT_EQ(Prop(h + "#133#2"), reinterpret_cast<LONG_PTR>(static_cast<ISubclass*>(&b)));

    MSubclass::DetachMessage(&a, hwnd_, 133);  // later entries move down
    EXPECT_EQ(Prop("C" + h), 2);
    EXPECT_EQ(Prop(h + "#133C"), 1);
    EXPECT_EQ(Prop(h + "#133#1"), reinterpret_cast<LONG_PTR>(static_cast<ISubclass*>(&b)));
    EXPECT_EQ(Prop(h + "#133#2"), 0);

    MSubclass::DetachMessage(&b, hwnd_, 133);
    MSubclass::DetachMessage(&b, hwnd_, kProbe);
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_);
    EXPECT_EQ(GetPropA(hwnd_, h.c_str()), nullptr);
    EXPECT_EQ(GetPropA(hwnd_, ("C" + h).c_str()), nullptr);
}

TEST_F(SubclassTest, DetachingAListenerThatWasNeverAttachedChangesNothing) {
    Listener a('A', M::emrConsume, trace_), stranger('S', M::emrConsume, trace_);
    MSubclass::AttachMessage(&a, hwnd_, kProbe);
    MSubclass::DetachMessage(&stranger, hwnd_, kProbe);
    MSubclass::DetachMessage(&stranger, hwnd_, kOther);
    MSubclass::DetachMessage(&a, hwnd_, kOther);
    EXPECT_EQ(Prop(MSubclass::AttachCountName(hwnd_)), 1);
    EXPECT_EQ(SendMessageW(hwnd_, kProbe, 0, 0), 100) << "still subclassed";
    MSubclass::DetachMessage(&a, hwnd_, kProbe);
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_);
}

// Checks a raised error's number, source and description.
void ExpectError(const std::function<void()>& f, long code, const wchar_t* description) {
    try {
        f();
        ADD_FAILURE() << "no error " << code;
    } catch (const SkinError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.Number()), 0x80040000u | static_cast<std::uint32_t>(code));
        EXPECT_EQ(e.Source(), L"quorlax_skin_tests.WindowProc");
        EXPECT_EQ(e.Description(), description);
    }
}

TEST_F(SubclassTest, ErrorsCarryNumberSourceAndDescriptionAndLeaveNoTrace) {
    Listener a('A', M::emrConsume, trace_);
    ExpectError([&] { MSubclass::AttachMessage(&a, reinterpret_cast<HWND>(0x1234), kProbe); }, 13083,
                L"Invalid window");

    HWND desktop = GetDesktopWindow();
    DWORD pid = 0;
    GetWindowThreadProcessId(desktop, &pid);
    ASSERT_NE(pid, GetCurrentProcessId());
    ExpectError([&] { MSubclass::AttachMessage(&a, desktop, kProbe); }, 13084,
                L"Can't modify external window");

    MSubclass::AttachMessage(&a, hwnd_, kProbe);
    ExpectError([&] { MSubclass::AttachMessage(&a, hwnd_, kProbe); }, 13082,
                L"Message already handled by another class");
    MSubclass::DetachMessage(&a, hwnd_, kProbe);
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_) << "the refused attach was not counted";

    {
        const test::RefusedSubclassing refused;
        ExpectError([&] { MSubclass::AttachMessage(&a, hwnd_, kProbe); }, 13081, L"Can't subclass window");
    }
    EXPECT_EQ(GetPropA(hwnd_, MSubclass::AttachCountName(hwnd_).c_str()), nullptr);
    EXPECT_EQ(GetPropA(hwnd_, MSubclass::ListenerCountName(hwnd_, kProbe).c_str()), nullptr);

    try {
        RaiseError(5);
        ADD_FAILURE();
    } catch (const SkinError& e) {
        EXPECT_EQ(e.Number(), 5) << "small codes are raised unchanged";
        EXPECT_EQ(e.Source(), L"");
    }
}

TEST_F(SubclassTest, AListenerThatTheOldProcedureDetachesAndEndsIsNotCalledAfterwards) {
    auto a = std::make_unique<Listener>('A', M::emrPreprocess, trace_);
    MSubclass::AttachMessage(a.get(), hwnd_, kProbe);
    window_->OnMessage = [&](UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (msg != kProbe) return std::nullopt;
        MSubclass::DetachMessage(a.get(), hwnd_, kProbe);  // as a window closing its skin would
        a.reset();
        return kOldAnswer;
    };
    EXPECT_EQ(SendMessageW(hwnd_, kProbe, 0, 0), kOldAnswer);
    EXPECT_EQ(trace_, "");
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_);
}

TEST_F(SubclassTest, AFailingListenerIsReportedOnceAndTheOthersStillRun) {
    std::vector<std::wstring> reports;
    SetFailureHook([&](const std::wstring& text) { reports.push_back(text); });
    Listener a('A', M::emrConsume, trace_), b('B', M::emrConsume, trace_);
    a.throws = true;
    b.answer = 55;
    MSubclass::AttachMessage(&a, hwnd_, kProbe);
    MSubclass::AttachMessage(&b, hwnd_, kProbe);
    EXPECT_EQ(SendMessageW(hwnd_, kProbe, 0, 0), 55);
    EXPECT_EQ(trace_, "AB");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find(L"listener failed"), std::wstring::npos);
    MSubclass::DetachMessage(&a, hwnd_, kProbe);
    MSubclass::DetachMessage(&b, hwnd_, kProbe);
    SetFailureHook(nullptr);
}

// The second window's own procedure, distinct from the first one's.
LRESULT CALLBACK OtherWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return msg == kOther ? kOtherAnswer : DefWindowProcW(hwnd, msg, wp, lp);
}

TEST_F(SubclassTest, AfterANestedMessageToAnotherSubclassedWindowTheOldProcedureAndMessageAreStillOurs) {
    TestWindow second(WS_OVERLAPPEDWINDOW, 200, 100);
    ASSERT_TRUE(second.hwnd());
    const LONG_PTR own =
        SetWindowLongPtrW(second.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OtherWindowProc));
    Listener inner('I', M::emrConsume, trace_);
    inner.call_old = true;
    MSubclass::AttachMessage(&inner, second.hwnd(), kOther);

    // The outer listener sends to the second window before it asks for its own old procedure.
    struct Outer : Listener {
        using Listener::Listener;
        void WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
            nested = SendMessageW(other, kOther, 0, 0);
            Listener::WindowProc(hwnd, msg, wp, lp, result);
        }
        HWND other = nullptr;
        LRESULT nested = 0;
    } outer('A', M::emrConsume, trace_);
    outer.other = second.hwnd();
    outer.call_old = true;
    MSubclass::AttachMessage(&outer, hwnd_, kProbe);

    EXPECT_EQ(SendMessageW(hwnd_, kProbe, 0, 0), 100);
    EXPECT_EQ(inner.old_answer, kOtherAnswer);
    EXPECT_EQ(outer.old_answer, kOldAnswer) << "the first window's own procedure, not the second one's";
    EXPECT_EQ(outer.seen_current, kProbe);
    EXPECT_EQ(trace_, "IAO");

    MSubclass::DetachMessage(&outer, hwnd_, kProbe);
    MSubclass::DetachMessage(&inner, second.hwnd(), kOther);
    SetWindowLongPtrW(second.hwnd(), GWLP_WNDPROC, own);
}

TEST_F(SubclassTest, AListenerThatDestroysItsWindowIsTheLastToRunForIt) {
    Listener a('A', M::emrConsume, trace_), b('B', M::emrConsume, trace_);
    a.also = [&] { DestroyWindow(hwnd_); };
    MSubclass::AttachMessage(&a, hwnd_, kProbe);
    MSubclass::AttachMessage(&b, hwnd_, kProbe);
    SendMessageW(hwnd_, kProbe, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd_));
    EXPECT_EQ(trace_, "A") << "the copy of the listeners went with the window";
}

TEST_F(SubclassTest, ARefusedPropertyUndoesTheAttachSoThePropertiesAndTheDispatchAgree) {
    Listener a('A', M::emrPostProcess, trace_), b('B', M::emrConsume, trace_);
    const std::string oldName = MSubclass::OldProcName(hwnd_), attachName = MSubclass::AttachCountName(hwnd_),
                      countName = MSubclass::ListenerCountName(hwnd_, kProbe);
    auto refusedAttach = [&](Listener& l, const std::string& name) {
        const test::RefusedProperty refused(name);
        ExpectError([&] { MSubclass::AttachMessage(&l, hwnd_, kProbe); }, 13081, L"Can't subclass window");
    };
    // The window's first attach: nothing of it stays, not even the subclass.
    for (const std::string& name :
         {oldName, attachName, MSubclass::ListenerName(hwnd_, kProbe, 1), countName}) {
        refusedAttach(a, name);
        EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_) << name;
        for (const std::string& p :
             {oldName, attachName, MSubclass::ListenerName(hwnd_, kProbe, 1), countName})
            EXPECT_EQ(Prop(p), 0) << "refused " << name << ", left " << p;
        trace_.clear();
        EXPECT_EQ(SendMessageW(hwnd_, kProbe, 0, 0), kOldAnswer);
        EXPECT_EQ(trace_, "O") << name;
    }
    // A second listener: the first one's bookkeeping stays as it was.
    MSubclass::AttachMessage(&a, hwnd_, kProbe);
    for (const std::string& name : {attachName, MSubclass::ListenerName(hwnd_, kProbe, 2), countName}) {
        refusedAttach(b, name);
        EXPECT_EQ(Prop(attachName), 1) << name;
        EXPECT_EQ(Prop(countName), 1) << name;
        EXPECT_EQ(Prop(MSubclass::ListenerName(hwnd_, kProbe, 2)), 0) << name;
        trace_.clear();
        SendMessageW(hwnd_, kProbe, 0, 0);
        EXPECT_EQ(trace_, "AO") << name;
    }
    MSubclass::DetachMessage(&a, hwnd_, kProbe);
    EXPECT_EQ(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC), original_);
}

// Two UI threads dispatch at once, each to a subclassed window of its own:
// each listener sees its own message and reaches its own window's procedure.
TEST_F(SubclassTest, ASecondUiThreadDispatchesWithItsOwnMessageAndOldProcedure) {
    std::atomic<bool> ready{false}, mainInside{false}, otherInside{false}, mainRead{false};
    std::string otherTrace;
    Listener inner('I', M::emrConsume, otherTrace);
    inner.call_old = true;
    inner.also = [&] {
        otherInside = true;
        test::WaitFor([&] { return mainRead.load(); });
    };
    std::thread other([&] {
        TestWindow second(WS_OVERLAPPEDWINDOW, 200, 100);
        SetWindowLongPtrW(second.hwnd(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OtherWindowProc));
        MSubclass::AttachMessage(&inner, second.hwnd(), kOther);
        ready = true;
        test::WaitFor([&] { return mainInside.load(); });
        SendMessageW(second.hwnd(), kOther, 0, 0);
        MSubclass::DetachMessage(&inner, second.hwnd(), kOther);
    });
    Listener outer('A', M::emrConsume, trace_);
    outer.call_old = true;
    outer.also = [&] {
        mainInside = true;
        EXPECT_TRUE(test::WaitFor([&] { return otherInside.load(); })) << "the other thread's dispatch began";
    };
    ASSERT_TRUE(test::WaitFor([&] { return ready.load(); }));
    MSubclass::AttachMessage(&outer, hwnd_, kProbe);
    SendMessageW(hwnd_, kProbe, 0, 0);
    mainRead = true;
    other.join();
    EXPECT_EQ(outer.seen_current, kProbe);
    EXPECT_EQ(outer.old_answer, kOldAnswer) << "this window's own procedure";
    EXPECT_EQ(inner.seen_current, kOther);
    EXPECT_EQ(inner.old_answer, kOtherAnswer) << "the other window's own procedure";
    MSubclass::DetachMessage(&outer, hwnd_, kProbe);
}

TEST(TimerTest, FiresUntilStoppedAndRewritingTheSameIntervalDoesNotRestartIt) {
    CTimer timer;
    int fired = 0;
    DWORD first_fire = 0;
    timer.ThatTime = [&] {
        if (fired++ == 0) first_fire = GetTickCount();
    };
    const DWORD start = GetTickCount();
    timer.Interval(600);
    const UINT_PTR id = timer.TimerID();
    EXPECT_NE(id, 0u);
    Pump(350);
    timer.Interval(600);  // unchanged: keeps running on its first schedule
    EXPECT_EQ(timer.TimerID(), id);
    ASSERT_TRUE(PumpUntil([&] { return fired > 0; }, 3000));
    EXPECT_LT(first_fire - start, 900u) << "a restart would have delayed the first tick to 950 ms";

    timer.Interval(30);  // a new interval restarts it
    ASSERT_TRUE(PumpUntil([&] { return fired >= 4; }, 3000));
    timer.Interval(0);
    EXPECT_EQ(timer.Interval(), 0);
    EXPECT_EQ(timer.TimerID(), 0u);
    int after_stop = fired;
    Pump(150);
    EXPECT_EQ(fired, after_stop);
}

TEST(TimerTest, The101stRunningTimerFailsWith13651AndTheTableRecovers) {
    std::vector<std::unique_ptr<CTimer>> timers;
    for (int i = 0; i < MTimer::kTimerSlots; ++i) {
        timers.push_back(std::make_unique<CTimer>());
        timers.back()->Interval(60000);
    }
    CTimer extra;
    ExpectError([&] { extra.Interval(60000); }, 13651, L"No more than 10 timers allowed per class");
    EXPECT_EQ(extra.Interval(), 0) << "the refused timer is stopped";
    EXPECT_EQ(extra.TimerID(), 0u);

    timers.erase(timers.begin() + 17);  // a freed slot is used again
    int fired = 0;
    extra.ThatTime = [&] { ++fired; };
    extra.Interval(20);
    EXPECT_TRUE(PumpUntil([&] { return fired > 0; }, 3000));
    extra.Interval(0);
}

}  // namespace
}  // namespace quorlax::skin
