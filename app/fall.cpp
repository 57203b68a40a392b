// The fall tick and the generators' hand-over into the hidden text boxes.
#include "app/counters.h"
#include "app/form1.h"
#include "platform/nearest.h"

namespace quorlax {

void Form1::Timer1_Timer() {
    for (int i = 1; i <= 5; ++i) {
        const float floor = Image1.Top;
        const float top = Label(i).Top;
        if (top <= floor) {
            Label(i).Top = top + kFallStep;
            continue;
        }
        // A miss: the lives reaction runs inside this write and may end the
        // game; the label respawns all the same.
        Label11.SetCaption(CounterText(nearest(CounterValue(Label11.Caption())) - 1));
        Respawn(i);
    }
}

void Form1::Respawn(int i) {
    if (yw1.Checked) {
        PickLetters();
        Label(i).Top = kSpawnTop;
        Label(i).SetCaption(Text2.Text());
    }
    if (s2.Checked) {
        PickHanzi();
        Label(i).Top = kSpawnTop;
        Label(i).SetCaption(Text3.Text());
    }
    if (sz1.Checked) {
        PickDigits();
        Label(i).Top = kSpawnTop;
        Label(i).SetCaption(Text2.Text());
    }
}

void Form1::PickHanzi() {
    if (auto word = DrawHanzi(pool_, services_.random)) Text3.SetText(*word);
}

void Form1::PickLetters() { Text2.SetText(DrawLetters(services_.random)); }

void Form1::PickDigits() { Text2.SetText(DrawDigits(services_.random)); }

}  // namespace quorlax
