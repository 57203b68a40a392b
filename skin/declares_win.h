// Hooks shared by every skinned frame of the thread: the keyboard hook that
// brings Alt with a letter to the painted menu bar, and the message filter
// that lets the menu tracker steer an open drop-down.
#pragma once

#include <windows.h>

namespace quorlax::skin {

class cNCCalcSize;
class cToolbarMenu;

namespace mDeclares {

// Adds a frame to the keyboard hook's list (installing the hook first).
void AttachKeyboardHook(cNCCalcSize* frame);
// Removes a frame from the list; the last one out removes the hook.
void DetachKeyboardHook(cNCCalcSize* frame);
// Whether a keyboard-hook event goes to the active frame's painter: a key
// pressed with Alt held, not Alt itself, without Ctrl, and not F1..F12,
// Escape or Delete (those keep their system meaning).
bool IsAltAccelerator(WPARAM vKey, LPARAM keyInfo, bool ctrlDown);
// Routes the messages of drop-down menus to this tracker (replacing any other).
void AttachMsgFilterHook(cToolbarMenu* tracker);
// Stops routing them.
void DetachMsgFilterHook();

}  // namespace mDeclares

}  // namespace quorlax::skin
