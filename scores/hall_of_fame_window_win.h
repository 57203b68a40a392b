// The hall-of-fame window on screen: created while its form is loaded, topmost,
// with the three tables, the name box and the OK button.
#pragma once

#include <windows.h>

#include <memory>

#include "forms/button_host_win.h"
#include "forms/render_win.h"
#include "forms/textbox_host_win.h"
#include "scores/hall_of_fame_form.h"

namespace quorlax::win {

inline constexpr wchar_t kHallOfFameClass[] = L"QuorlaxHallOfFame";

class HallOfFameWindow {
public:
    static constexpr wchar_t kFaultSource[] = L"HallOfFameWindow";

    HallOfFameWindow(HINSTANCE instance, HWND owner, HallOfFameForm& form, forms::Painter& painter);
    ~HallOfFameWindow();
    HallOfFameWindow(const HallOfFameWindow&) = delete;
    HallOfFameWindow& operator=(const HallOfFameWindow&) = delete;

    HWND Handle() const { return hwnd_; }
    HWND NameBox() const { return name_box_ ? name_box_->Handle() : nullptr; }
    HWND OkButton() const { return ok_.Handle(); }

private:
    static constexpr int kOkId = IDOK;
    template <class T>
    friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
    void OnAttach(HWND hwnd);
    void OnDetach();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void Create();
    void Destroy();
    void Sync();
    void Paint(HDC dc);  // WM_PAINT through the back buffer, and WM_PRINTCLIENT
    void DrawInColumn(HDC dc, const forms::Label& cell, const RECT& column);

    HINSTANCE instance_;
    HWND owner_;
    HallOfFameForm& form_;
    forms::Painter& painter_;
    HWND hwnd_ = nullptr;
    std::unique_ptr<forms::TextBoxHost> name_box_;  // Text1, while the window exists
    forms::ButtonHost ok_;                          // Command1
    bool destroying_ = false;                       // focus moves while the window goes: no confirmation then
};

}  // namespace quorlax::win
