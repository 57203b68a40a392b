// Runs timer models as the window's system timers: a model's interval and
// enabled state are applied when it is bound and after every change.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "forms/controls.h"
#include "forms/message_chain_win.h"
#include "platform/non_copyable.h"

namespace forms {

class TimerHost final : public MessageFilter, quorlax::NonCopyable {
public:
    TimerHost() = default;
    ~TimerHost() override { Unbind(); }

    // Binds the models to the window's timer ids from `first_id` on, in
    // order, and starts those that are running now.
    void Bind(HWND window, std::vector<Timer*> timers, UINT_PTR first_id);
    // Stops every timer and lets go of the models.
    void Unbind();
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    // How many bound timers are running (the benchmark's idle check).
    int RunningCount() const;

    std::function<void()> AfterTick;  // the window catches up with the models

private:
    void Apply(UINT_PTR id, const Timer& timer);

    HWND window_ = nullptr;
    std::vector<Timer*> timers_;
    UINT_PTR first_id_ = 1;
};

}  // namespace forms
