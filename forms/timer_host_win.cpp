// The timer host.
#include "forms/timer_host_win.h"

#include <algorithm>

namespace forms {

void TimerHost::Bind(HWND window, std::vector<Timer*> timers, UINT_PTR first_id) {
    Unbind();
    window_ = window;
    timers_ = std::move(timers);
    first_id_ = first_id;
    for (size_t i = 0; i < timers_.size(); ++i) {
        const UINT_PTR id = first_id_ + i;
        timers_[i]->OnChange = [this, id](Timer& t) { Apply(id, t); };
        Apply(id, *timers_[i]);
    }
}

void TimerHost::Unbind() {
    for (size_t i = 0; i < timers_.size(); ++i) {
        timers_[i]->OnChange = nullptr;
        if (window_) KillTimer(window_, first_id_ + i);
    }
    timers_.clear();
    window_ = nullptr;
}

void TimerHost::Apply(UINT_PTR id, const Timer& timer) {
    if (!window_) return;
    if (timer.Running())
        SetTimer(window_, id, static_cast<UINT>(timer.Interval()), nullptr);
    else
        KillTimer(window_, id);
}

bool TimerHost::Filter(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg != WM_TIMER || wp < first_id_ || wp - first_id_ >= timers_.size()) return false;
    result = 0;
    Timer& timer = *timers_[wp - first_id_];
    // A tick may still be queued after the timer was stopped.
    if (!timer.Running()) return true;
    try {
        if (timer.Tick) timer.Tick();
    } catch (...) {
        // A handler that failed would fail again on every tick: stop it.
        timer.SetEnabled(false);
        if (AfterTick) AfterTick();
        throw;
    }
    if (AfterTick) AfterTick();
    return true;
}

int TimerHost::RunningCount() const {
    return static_cast<int>(
        std::count_if(timers_.begin(), timers_.end(), [](const Timer* t) { return t->Running(); }));
}

}  // namespace forms
