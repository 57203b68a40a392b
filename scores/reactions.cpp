// The reactions of the main window to writes of the score and lives
// captions: the floor line and level ladder, and game over.
#include <algorithm>

#include "app/counters.h"
#include "app/form1.h"
#include "platform/nearest.h"
#include "scores/hall_of_fame.h"

namespace quorlax {
namespace {

// Score each ladder step needs; step k applies at level k - 1.
constexpr double kLadder[] = {10000, 20000, 30000,  40000,  50000,  60000,  70200,
                              80000, 90000, 100000, 110000, 120000, 130000, 140000};
constexpr double kLadderFrom = 1000;  // below this score the ladder is not consulted

}  // namespace

void Form1::Label6_Change() {
    if (CounterValue(Label6.Caption()) >= kLadderFrom) LevelLadder();
    if (Image1.Top < kFloorRest) Image1.Top = Image1.Top + 100;
}

void Form1::LevelLadder() {
    for (int k = 1; k <= 14; ++k) {
        const double score = CounterValue(Label6.Caption());
        const double level = CounterValue(Label19.Caption());
        if (score >= kLadder[k - 1] && level == k - 1) {
            Timer1.SetInterval(static_cast<int>(nearest(Timer1.Interval() * 0.8)));
            Label19.SetCaption(CounterText(k));
        }
    }
}

void Form1::Label11_Change() {
    if (CounterValue(Label11.Caption()) != 0) return;
    if (netBattle == 1) BattleDefeat();
    GameOver();
}

void Form1::BattleDefeat() {
    // This side lost the battle: tell the peer, count it, show the panel.
    services_.battle.Send("bai");
    ++battleLosses;
    Frame1.Visible = true;
}

void Form1::GameOver() {
    form2.Unload();
    Label19.SetCaption(L"0");
    Label15.Visible = true;
    Timer2.SetEnabled(false);
    Timer1.SetEnabled(false);
    for (auto& l : Label) {
        l.Top = kSpawnTop;
        l.Font.Size = 9;
    }
    if (s2.Checked) QualifyFor(Pool::Chinese);
    if (yw1.Checked) QualifyFor(Pool::English);
    if (sz1.Checked) QualifyFor(Pool::Digits);
}

void Form1::QualifyFor(Pool pool) {
    if (HallOfFame(services_.settings).Qualifies(pool, GameTotal())) form2.ShowNameBox();
}

std::int32_t Form1::GameTotal() const {
    auto whole = [](const std::wstring& text) {
        double v = static_cast<double>(nearest(CounterValue(text)));
        return static_cast<std::int64_t>(
            std::clamp(v, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
    };
    std::int64_t total = whole(Label6.Caption()) + whole(Label16.Caption());
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
}

}  // namespace quorlax
