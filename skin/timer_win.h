// Window-less timers: CTimer objects fired from system timers through one
// process-wide table.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/non_copyable.h"

namespace quorlax::skin {

class CTimer : NonCopyable {
public:
    CTimer() = default;
    ~CTimer();

    // "Gets/sets the interval at which the timer fires.  Set to zero to stop the timer."
    long Interval() const { return interval_; }
    void Interval(long value);
    // Fires the event.
    void PulseTimer();
    // "Raised when the timer fires."
    std::function<void()> ThatTime;

    // The system timer's identifier (0 = none); for the timer module.
    UINT_PTR TimerID() const { return timer_id_; }
    void TimerID(UINT_PTR id) { timer_id_ = id; }

private:
    long interval_ = 0;  // milliseconds; 0 = stopped
    UINT_PTR timer_id_ = 0;
};

namespace MTimer {

inline constexpr int kTimerSlots = 100;  // running timers a process can hold

// Starts a system timer for t and enters it in the table; false if the
// system refused (t is then stopped); raises 13651 when the table is full.
bool StartTimer(CTimer& t);
// Kills t's system timer and empties its slot.
void StopTimer(CTimer& t);

}  // namespace MTimer

}  // namespace quorlax::skin
