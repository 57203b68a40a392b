// The timer module: 100 slots, a high-water mark, and one system timer
// callback that finds the object by its identifier.
#include "skin/timer_win.h"

#include <array>

#include "skin/skin_error_win.h"

namespace quorlax::skin {
namespace MTimer {
namespace {

std::array<CTimer*, kTimerSlots> g_slots{};  // slot i+1 of the table
int g_highWater = 0;                         // highest slot ever used (1-based); never lowered

void CALLBACK TimerProc(HWND, UINT, UINT_PTR id, DWORD) {
    Guarded(L"skin timer", [id] {
        for (int i = 0; i < g_highWater; ++i) {
            if (g_slots[i] && g_slots[i]->TimerID() == id) {
                g_slots[i]->PulseTimer();
                return;
            }
        }
    });
}

}  // namespace

bool StartTimer(CTimer& t) {
    UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(t.Interval()), TimerProc);
    t.TimerID(id);
    if (id == 0) {
        t.Interval(0);
        return false;
    }
    for (int i = 0; i < kTimerSlots; ++i) {
        if (g_slots[i]) continue;
        g_slots[i] = &t;
        if (g_highWater < i + 1) g_highWater = i + 1;
        return true;
    }
    // No slot: the system timer would fire for nobody, so it goes again.
    KillTimer(nullptr, id);
    t.TimerID(0);
    t.Interval(0);
    RaiseError(ErrorCode::kTooManyTimers);
}

void StopTimer(CTimer& t) {
    for (int i = 0; i < g_highWater; ++i) {
        if (g_slots[i] && g_slots[i]->TimerID() == t.TimerID()) {
            KillTimer(nullptr, t.TimerID());
            g_slots[i] = nullptr;
            t.TimerID(0);
            return;
        }
    }
}

}  // namespace MTimer

CTimer::~CTimer() { Interval(0); }

void CTimer::Interval(long value) {
    if (value > 0 && value != interval_) {
        if (timer_id_ != 0) MTimer::StopTimer(*this);
        interval_ = value;
        if (!MTimer::StartTimer(*this)) RaiseError(ErrorCode::kCantCreateTimer);
    } else if (value <= 0 && interval_ > 0) {
        interval_ = 0;
        MTimer::StopTimer(*this);
    }
}

void CTimer::PulseTimer() {
    if (ThatTime) ThatTime();
}

}  // namespace quorlax::skin
