// Model of the battle panel's option buttons; its push buttons are the
// forms' own (forms::CommandButton). The Win32 side shows them as real
// BUTTON windows (battle_panel_win); the room only ever touches the models.
#pragma once

#include <functional>
#include <string>

#include "forms/controls.h"

namespace quorlax {

// An option (radio) button; the room keeps one of a group selected.
struct OptionButton : forms::Control {
    std::wstring Caption;
    bool Enabled = true;
    bool Value = false;  // selected
    forms::Font Font;
    std::function<void()> Click;  // the user chose this option
};

}  // namespace quorlax
