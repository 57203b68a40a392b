// Models of the battle panel's buttons: push buttons and option buttons. The
// Win32 side shows them as real BUTTON windows (battle_panel_win); the room
// only ever touches these models.
#pragma once

#include <functional>
#include <string>

#include "forms/controls.h"

namespace quorlax {

// A push button.
struct CommandButton : forms::Control {
    std::wstring Caption;
    bool Enabled = true;
    forms::Font Font;
    std::function<void()> Click;  // the button was pressed
};

// An option (radio) button; the room keeps one of a group selected.
struct OptionButton : forms::Control {
    std::wstring Caption;
    bool Enabled = true;
    bool Value = false;  // selected
    forms::Font Font;
    std::function<void()> Click;  // the user chose this option
};

}  // namespace quorlax
