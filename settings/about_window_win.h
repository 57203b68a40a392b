// The About box on screen: created while AboutForm is loaded, topmost, with its
// lines painted, its links (hand cursor, tooltip) and the OK button.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/button_host_win.h"
#include "forms/render_win.h"
#include "settings/about_form.h"

namespace quorlax::win {

inline constexpr wchar_t kAboutClass[] = L"QuorlaxAbout";

class AboutWindow {
public:
    static constexpr wchar_t kFaultSource[] = L"AboutForm";

    AboutWindow(HINSTANCE instance, HWND owner, AboutForm& form, forms::Painter& painter);
    ~AboutWindow();
    AboutWindow(const AboutWindow&) = delete;
    AboutWindow& operator=(const AboutWindow&) = delete;

    HWND Handle() const { return hwnd_; }
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
    void Paint(HDC dc);
    void AddTooltips();
    // The link under a point of the client area, or null.
    const AboutForm::Link* LinkAt(POINT p) const;

    HINSTANCE instance_;
    HWND owner_;
    AboutForm& form_;
    forms::Painter& painter_;
    HWND hwnd_ = nullptr;
    forms::ButtonHost ok_;    // okButton
    HWND tooltip_ = nullptr;  // owned by the box, destroyed with it
};

}  // namespace quorlax::win
