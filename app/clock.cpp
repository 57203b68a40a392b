// The one-second clock: elapsed seconds and the typing speed.
#include "app/counters.h"
#include "app/form1.h"
#include "platform/nearest.h"

namespace quorlax {

void Form1::Timer2_Timer() {
    Label13.SetCaption(CounterText(nearest(CounterValue(Label13.Caption())) + 1));
    const double seconds = CounterValue(Label13.Caption());
    if (seconds == 0) return;  // a clock read as zero has no speed to show
    if (GameModeChecked()) {
        const double score = CounterValue(Label6.Caption());
        Label9.SetCaption(CounterText(nearest(score / 100 / seconds * 60)));
    }
    practice.ClockTick(seconds);
}

}  // namespace quorlax
