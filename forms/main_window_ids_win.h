// Every timer id and private message of the main window, in one place, so
// that no two of its parts pick the same one.
#pragma once

#include <windows.h>

namespace quorlax::win {

// The rooms' timer models, in the order the program lists them (the fall,
// the clock, the cursor blink, the join retry, the heartbeat, the shot, the
// join limit), from this id on.
inline constexpr UINT_PTR kFormTimersFirstId = 1;
inline constexpr UINT_PTR kFlashTimerId = 100;       // ends the hit-flash afterimage
inline constexpr UINT_PTR kBattleReadTimerId = 101;  // resumes a battle read that yielded

// Starts the hit sound once the tick that asked for it has painted.
inline constexpr UINT kPlayHitMessage = WM_APP + 1;
// The first frame is on screen: what it did not wait for is made now.
inline constexpr UINT kFirstFrameMessage = WM_APP + 2;

}  // namespace quorlax::win
