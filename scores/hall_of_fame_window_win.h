// The hall-of-fame window on screen: created while its form is loaded, topmost,
// with the three tables, the name box and the OK button.
#pragma once

#include <memory>

#include "forms/button_host_win.h"
#include "forms/textbox_host_win.h"
#include "forms/tool_window_win.h"
#include "scores/hall_of_fame_form.h"

namespace quorlax::win {

inline constexpr wchar_t kHallOfFameClass[] = L"QuorlaxHallOfFame";

class HallOfFameWindow final : public forms::ToolWindow<HallOfFameWindow, HallOfFameForm> {
public:
    static constexpr wchar_t kFaultSource[] = L"HallOfFameWindow";

    HallOfFameWindow(HINSTANCE instance, HWND owner, HallOfFameForm& form, forms::Painter& painter);
    ~HallOfFameWindow();

    HWND NameBox() const { return name_box_ ? name_box_->Handle() : nullptr; }
    HWND OkButton() const { return ok_.Handle(); }

    // The skeleton's parts.
    HWND OnCreated();
    void OnDestroyed() { name_box_.reset(); }
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void Paint(HDC dc);
    void Sync();

private:
    static constexpr int kOkId = IDOK;
    void DrawInColumn(HDC dc, const forms::Label& cell, const RECT& column);

    std::unique_ptr<forms::TextBoxHost> name_box_;  // while the window exists
    forms::ButtonHost ok_;
};

}  // namespace quorlax::win
