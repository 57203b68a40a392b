// The reactions of the main window to writes of the score and lives
// captions: the floor line and level ladder, and game over.
#include "scores/scoreboard.h"

#include <algorithm>

#include "app/counters.h"
#include "app/form1.h"
#include "platform/nearest.h"

namespace quorlax {
namespace {

// Score each ladder step needs; step k applies at level k - 1.
constexpr double kLadder[] = {10000, 20000, 30000,  40000,  50000,  60000,  70200,
                              80000, 90000, 100000, 110000, 120000, 130000, 140000};
constexpr double kLadderFrom = 1000;  // below this score the ladder is not consulted

}  // namespace

Scoreboard::Scoreboard(Form1& form, Services& services)
    : form2(form, services.settings), form_(form), services_(services) {
    p1.Define(L"p1", L"排 名");
    p1.Click = [this] { p1_Click(); };
}

void Scoreboard::Label6_Change() {
    if (CounterValue(form_.Label6.Caption()) >= kLadderFrom) LevelLadder();
    if (form_.Image1.Top < kFloorRest) form_.Image1.Top = form_.Image1.Top + 100;
}

void Scoreboard::LevelLadder() {
    for (int k = 1; k <= 14; ++k) {
        const double score = CounterValue(form_.Label6.Caption());
        const double level = CounterValue(form_.Label19.Caption());
        if (score >= kLadder[k - 1] && level == k - 1) {
            form_.Timer1.SetInterval(static_cast<int>(nearest(form_.Timer1.Interval() * 0.8)));
            form_.Label19.SetCaption(CounterText(k));
        }
    }
}

void Scoreboard::Label11_Change() {
    if (CounterValue(form_.Label11.Caption()) != 0) return;
    if (form_.battle.netBattle == 1) form_.battle.BattleDefeat();
    GameOver();
}

void Scoreboard::GameOver() {
    form2.Unload();
    form_.appearance.form3.Unload();
    form_.Label19.SetCaption(L"0");
    form_.Label15.Visible = true;
    form_.Timer2.SetEnabled(false);
    form_.Timer1.SetEnabled(false);
    for (auto& l : form_.Label) {
        l.Top = kSpawnTop;
        l.Font.Size = 9;
    }
    if (form_.s2.Checked) QualifyFor(Pool::Chinese);
    if (form_.yw1.Checked) QualifyFor(Pool::English);
    if (form_.sz1.Checked) QualifyFor(Pool::Digits);
}

void Scoreboard::QualifyFor(Pool pool) {
    if (HallOfFame(services_.settings).Qualifies(pool, GameTotal())) form2.ShowNameBox();
}

void Scoreboard::p1_Click() { form2.RankingMenu(); }

std::int32_t Scoreboard::GameTotal() const {
    auto whole = [](const std::wstring& text) {
        double v = static_cast<double>(nearest(CounterValue(text)));
        return static_cast<std::int64_t>(
            std::clamp(v, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
    };
    std::int64_t total = whole(form_.Label6.Caption()) + whole(form_.Label16.Caption());
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(total, INT32_MIN, INT32_MAX));
}

}  // namespace quorlax
