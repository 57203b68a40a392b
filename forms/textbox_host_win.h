// Carries a text-box model as a real EDIT control: the model hears every
// change the user makes (key-down first), the edit shows every text the game
// sets without running the handler twice, and what an input method commits
// enters as one edit.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/controls.h"
#include "forms/message_chain_win.h"
#include "forms/render_win.h"
#include "platform/non_copyable.h"

namespace forms {

class TextBoxHost final : public MessageFilter, quorlax::NonCopyable {
public:
    TextBoxHost(TextBox& model, Painter& painter);
    ~TextBoxHost() override;

    // Creates the edit as a child of `parent` (destroyed with it), where the
    // model is, and subclasses it.
    HWND Create(HINSTANCE instance, HWND parent, DWORD extra_style = 0);
    HWND Handle() const { return edit_; }
    // Follows the model's place, visibility and input method.
    void Place();
    // The parent's WM_COMMAND and WM_CTLCOLOREDIT for this edit.
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void()> AfterChange;  // the window catches up with the models
    std::function<void()> LostFocus;    // the edit lost the keyboard focus

private:
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void Subclass();
    void Unsubclass();
    LRESULT OnEditMessage(UINT msg, WPARAM wp, LPARAM lp);
    void InsertCommittedText();
    void Push(const std::wstring& text);

    TextBox& model_;
    Painter& painter_;
    HWND edit_ = nullptr;
    WNDPROC next_ = nullptr;  // the edit's procedure before ours
    RECT placed_{};
    bool input_method_ = true;  // as the edit has it
    bool pushing_ = false;  // a text set by the game, not typed
};

}  // namespace forms
