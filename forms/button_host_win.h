// Carries a push-button model as a real BUTTON child drawn by the program in
// the model's colours (a themed button would keep the system's face), with
// the focus, pressed, greyed and default-button cues, and the keyboard of a
// dialog: Tab, Space, Enter on the focused button, Enter elsewhere for the
// default button.
//
// Use, for each button of a window:
//   ButtonHost ok_{form.okButton, painter};    // a member: it outlives the click
//   ok_.Create(instance, hwnd, IDOK);          // when the window is made
//   ok_.Sync();                                // after the model changed
//   if (ok_.Filter(msg, wp, lp, result)) return result;  // in the window procedure
// The window procedure passes every message through Filter (WM_COMMAND,
// WM_DRAWITEM, DM_GETDEFID); the window is registered with the message loop
// with dialog keys so that Tab, Enter and Escape reach IsDialogMessage (a
// button with the id IDCANCEL is pressed by Escape). A press takes the focus
// to the button first, as a click does, so a box left behind hears that it
// lost the focus before the button's Click runs.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "forms/controls.h"
#include "forms/message_chain_win.h"
#include "forms/render_win.h"
#include "platform/non_copyable.h"

namespace forms {

class ButtonHost final : public MessageFilter, quorlax::NonCopyable {
public:
    ButtonHost(CommandButton& model, Painter& painter);
    ~ButtonHost() override;

    // Creates the button as a child of `parent` with control id `id`, where
    // the model is and as it is; it is destroyed with its parent.
    HWND Create(HINSTANCE instance, HWND parent, int id);
    // The button while it exists, else null.
    HWND Handle() const;
    // Follows the model: caption, greyed, place, shown, colours, default.
    void Sync();
    // The parent's messages: the button's WM_COMMAND (a press runs the
    // model's Click), WM_DRAWITEM, and DM_GETDEFID (which button Enter
    // presses).
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void()> AfterClick;  // the window catches up with the models

private:
    void Draw(const DRAWITEMSTRUCT& item);
    // Shows the default frame: it has the focus, or it is the default and
    // no other push button has the focus.
    bool ActsAsDefault() const;

    CommandButton& model_;
    Painter& painter_;
    HWND button_ = nullptr;
    HWND parent_ = nullptr;
    std::wstring caption_;  // as shown
    RECT placed_{};
    Color back_ = 0, fore_ = 0;
    bool default_ = false;
};

}  // namespace forms
