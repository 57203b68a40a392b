// The practice panel on screen: the practice box practiceBox as a real edit with
// its tooltip, and the mouse over the windowless link chartLink (click, hover,
// the hand cursor), found by hit-testing the main window's client area.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/message_chain_win.h"
#include "forms/render_win.h"
#include "forms/textbox_host_win.h"
#include "platform/non_copyable.h"
#include "practice/practice_room.h"

namespace quorlax::win {

class PracticePanelWin final : public forms::MessageFilter, NonCopyable {
public:
    PracticePanelWin(PracticeRoom& room, forms::Painter& painter);

    // Creates practiceBox's edit and its tooltip in the main window `parent`; both
    // are destroyed with it.
    void Create(HINSTANCE instance, HWND parent);
    HWND Box() const { return box_.Handle(); }
    // Follows the models: practiceBox's place and visibility.
    void Place();
    // practiceBox's notifications, then the mouse in the parent's client area.
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void()> AfterChange;  // the window catches up with the models

private:
    bool OverLink(POINT client) const;
    bool OverPanel(POINT client) const;
    bool OverDrillLine(POINT client) const;  // the run card's drill line
    void Changed() const;

    PracticeRoom& room_;
    forms::Painter& painter_;
    forms::TextBoxHost box_;
    HWND parent_ = nullptr;
    bool pressed_ = false;  // the left button went down on the link
};

}  // namespace quorlax::win
