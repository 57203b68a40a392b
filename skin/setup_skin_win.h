// The main window's caption skin as the game sets it up: its colours, fonts
// and the caption and border pictures compiled into the program.
#pragma once

#include <windows.h>

#include <memory>

#include "skin/neo_caption_win.h"

namespace quorlax::skin {

// Creates the skin, sets it up and attaches it to the window, sized so that
// the client area keeps `client` pixels. Null when the pictures are missing
// (the window then keeps the system's frame); the subclassing service's
// errors propagate.
std::unique_ptr<cNeoCaption> SetupSkin(HINSTANCE instance, HWND window, SIZE client);

}  // namespace quorlax::skin
