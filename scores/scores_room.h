// The scores room: the hall of fame, its window and the ranking command, and
// what a game over means for it (the total tested against the pool's table).
#pragma once

#include "core/board.h"
#include "forms/controls.h"
#include "platform/non_copyable.h"
#include "platform/services.h"
#include "scores/hall_of_fame.h"
#include "scores/hall_of_fame_form.h"

namespace quorlax {

class ScoresRoom : NonCopyable {
public:
    ScoresRoom(Board& board, ISettingsStore& store);

    forms::MenuItem rankingItem;  // "排 名"
    HallOfFameForm hallOfFame;    // the hall-of-fame window

    // Start-up: empty stored scores become "0".
    void Load();
    void OnRanking();

private:
    void OnGameOver(GamePool pool);

    Board& board_;
    ISettingsStore& store_;
};

}  // namespace quorlax
