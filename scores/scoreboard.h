// The score room: the reactions to the score and lives captions (the floor
// line, the level ladder, game over), the game total, and the hall of fame.
#pragma once

#include <cstdint>

#include "forms/controls.h"
#include "platform/services.h"
#include "scores/form2.h"
#include "scores/hall_of_fame.h"

namespace quorlax {

class Form1;

class Scoreboard {
public:
    Scoreboard(Form1& form, Services& services);
    Scoreboard(const Scoreboard&) = delete;
    Scoreboard& operator=(const Scoreboard&) = delete;

    forms::MenuItem p1;  // "排 名"
    Form2 form2;         // the hall-of-fame window

    // Runs inside every write of the score caption.
    void Label6_Change();
    // Runs inside every write of the lives caption.
    void Label11_Change();
    void p1_Click();
    // Score plus bonus, each taken as a 32-bit integer.
    std::int32_t GameTotal() const;

private:
    void LevelLadder();
    void GameOver();
    void QualifyFor(Pool pool);

    Form1& form_;
    Services& services_;
};

}  // namespace quorlax
