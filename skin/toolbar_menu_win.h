// The loop that shows the painted bar's drop-downs one after another:
// moving onto another title or pressing Left/Right switches menus without
// leaving the menu mode.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/non_copyable.h"
#include "skin/subclass_win.h"

namespace quorlax::skin {

class cMenuBar;

class cToolbarMenu : private ISubclass, NonCopyable {
public:
    cToolbarMenu();
    ~cToolbarMenu();

    // Serves this window and menu bar (resetting first); errors of the
    // subclassing service propagate.
    void Init(HWND hwnd, cMenuBar* bar);
    // Stops serving the window.
    void Reset();
    // Opens title t's drop-down, then whichever title the user switches to,
    // until the menu mode ends; the last TrackPopupMenuEx result. Nothing
    // while a loop runs already.
    LRESULT Loop(int t);
    // A message of the open drop-down's modal loop; true when it was used up.
    bool MenuInput(const MSG& msg);
    // A loop is running.
    bool Busy() const { return busy_; }

private:
    EMsgResponse MsgResponse() override { return EMsgResponse::emrPreprocess; }
    void MsgResponse(EMsgResponse) override {}
    void WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    void SwitchTo(int k);
    int Neighbour(int step) const;

    HWND hwnd_ = nullptr;           // the window whose bar is tracked
    cMenuBar* bar_ = nullptr;       // the bar (owns this tracker)
    int state_ = 0;                 // 0 idle, 2 a drop-down of the loop is open
    int current_ = 0;               // title whose drop-down is open
    int next_ = 0;                  // title to open next; 0 none
    bool busy_ = false;             // a loop runs
    HMENU open_ = nullptr;          // the drop-down the loop opened
    bool no_submenu_ = false;       // the selected item opens no submenu
    bool in_top_dropdown_ = false;  // the selection is in the loop's own drop-down
    bool escape_ = false;           // Escape was pressed in the drop-down
    std::shared_ptr<bool> alive_;   // lets a loop notice that this object went away
};

}  // namespace quorlax::skin
