// The whole program as portable objects: the board, the rooms standing on
// it, the menu bar they make together, start-up and the exit command. The
// main window (main_window_win) draws it and forwards events.
#pragma once

#include <functional>
#include <vector>

#include "core/board.h"
#include "forms/controls.h"
#include "game/game_room.h"
#include "net/battle_room.h"
#include "platform/non_copyable.h"
#include "platform/services.h"
#include "practice/practice_room.h"
#include "scores/scores_room.h"
#include "settings/settings_room.h"

namespace quorlax {

class Program : NonCopyable {
public:
    Program(Services& services, PracticeFiles files);

    // Declared in the order they are built: the scene draws controls of one
    // layer in that order, and signals reach rooms in it.
    Board board;
    GameRoom game;
    PracticeRoom practice;
    ScoresRoom scores;
    SettingsRoom settings;
    BattleRoom battle;

    forms::MenuItem fileMenu;               // " 文 件"
    forms::MenuItem gameMenu;               // "游 戏"
    forms::MenuItem settingsMenu;           // "设 置"
    forms::MenuItem exitItem;               // "退 出"
    forms::MenuItem helpMenu;               // " 帮 助"
    std::vector<forms::MenuItem*> menuBar;  // the top-level menus in order

    std::function<void()> onQuit;     // asks the window to close
    std::function<void()> setupSkin;  // gives the window its painted caption and menu bar

    // Runs the start-up sequence; false when the program cannot run (a data
    // file is missing) and the player has been told so.
    bool Load();
    void OnExit();
    // Every timer of the rooms, for the window to run.
    std::vector<forms::Timer*> Timers();

private:
    Services& services_;
};

}  // namespace quorlax
