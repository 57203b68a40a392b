// The battle room: the battle panel "连接", its timers, the battle flag and
// tallies, and what a game tells the peer.
#pragma once

#include <cstdint>

#include "forms/controls.h"
#include "platform/services.h"

namespace quorlax {

class Form1;

class BattleRoom {
public:
    BattleRoom(Form1& form, Services& services);
    BattleRoom(const BattleRoom&) = delete;
    BattleRoom& operator=(const BattleRoom&) = delete;

    forms::MenuItem wldz;           // "网络对战"
    forms::Panel Frame1;            // the battle panel "连接"
    forms::Timer Timer4{2000};      // join retry
    forms::Timer Timer5{1000};      // heartbeat
    std::int32_t netBattle = 0;     // 1 while a network battle is up
    std::int32_t battleWins = 0;    // battle tally: won
    std::int32_t battleLosses = 0;  // battle tally: lost

    // A hit on this board: the peer's floor line goes up.
    void BattleHit();
    // This board lost: tell the peer, count it, show the panel.
    void BattleDefeat();

private:
    Services& services_;
};

}  // namespace quorlax
