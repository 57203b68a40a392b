// A room's windows in the main window: its child controls and its tool
// windows. The main window makes them when it is created and tells them
// after every event; a room's controls are created when first shown, so a
// start-up makes only what the first screen shows.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/message_chain_win.h"
#include "forms/render_win.h"

namespace forms {

// What the main window lends the windows of its rooms.
struct MainWindowParts {
    HINSTANCE instance;
    HWND window;
    Painter& painter;
    MessageChain& chain;               // the main window's messages, after the frame
    std::function<void()> afterEvent;  // the main window catches up with the models and paints
};

class RoomWindows {
public:
    virtual ~RoomWindows() = default;
    // The main window exists: the room joins its message chain.
    virtual void Attach(const MainWindowParts& main) = 0;
    // After every event: what is shown for the first time is created, and
    // what moved is placed. Tool windows follow their forms by themselves.
    virtual void Sync() {}
    // The first frame is on screen: what it could do without is made now.
    virtual void AfterFirstFrame() {}
    // The room's box that takes the keyboard while it is shown, if any.
    virtual HWND ShownBox() const { return nullptr; }
    // The main window closes: the room's own windows go while it still exists.
    virtual void Detach() {}
};

}  // namespace forms
