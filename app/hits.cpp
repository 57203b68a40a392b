// Hit detection on the typing box, the shot animation, scoring and sound.
#include <algorithm>

#include "app/counters.h"
#include "app/form1.h"
#include "platform/nearest.h"

namespace quorlax {

void Form1::Text1_Change() {
    for (int i = 1; i <= 5; ++i) {
        const std::wstring& typed = Text1.Text();
        // An empty box is not a typed string, whatever a label shows.
        if (typed.empty() || typed != Label(i).Caption()) continue;
        // A shot still in flight to another label lands at once, so that a
        // second correct string never costs the player the first one.
        if (Timer6.Enabled() && hitIndex != i) LandShot();
        hitLength = static_cast<std::int16_t>(std::min<size_t>(typed.size(), INT16_MAX));
        Text1.SetText(L"");
        hitIndex = static_cast<std::int16_t>(i);
        Timer6.SetEnabled(true);
    }
}

void Form1::Timer6_Timer() {
    const int k = hitIndex;
    if (k < 1 || k > 5) {
        Timer6.SetEnabled(false);
        return;
    }
    Timer1.SetEnabled(false);
    auto& shot = Image3(k);
    shot.Visible = true;
    shot.Top -= kShotStep;
    if (shot.Top > Label(k).Top) return;
    LandShot();
}

void Form1::LandShot() {
    const int k = hitIndex;
    auto& shot = Image3(k);
    shot.Top = Label(k).Top;
    Image4.Visible = true;
    Image4.Top = shot.Top;
    Image4.Left = shot.Left;
    if (HitFlash) HitFlash(Image4.Left, Image4.Top);
    ShotLanded();
    shot.Visible = false;
    shot.Top = kShotRest;
    Timer6.SetEnabled(false);
    Timer1.SetEnabled(true);
    Image4.Visible = false;
}

void Form1::ShotLanded() {
    fasheng();
    battle.BattleHit();
    ScoreHit();
}

void Form1::ScoreHit() {
    if (hitLength >= 1 && hitLength <= 9) {
        Label6.SetCaption(CounterText(nearest(CounterValue(Label6.Caption())) + 100 * hitLength));
        Label16.SetCaption(
            CounterText(nearest(CounterValue(Label16.Caption())) + nearest(CounterValue(Label9.Caption()))));
    }
    Respawn(hitIndex);
}

void Form1::fasheng() { services_.sound.PlayHit(); }

}  // namespace quorlax
