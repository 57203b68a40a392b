// The About box on screen: created while AboutForm is loaded, topmost, with its
// lines painted, its links (hand cursor, tooltip) and the OK button.
#pragma once

#include "forms/button_host_win.h"
#include "forms/tool_window_win.h"
#include "settings/about_form.h"

namespace quorlax::win {

inline constexpr wchar_t kAboutClass[] = L"QuorlaxAbout";

class AboutWindow final : public forms::ToolWindow<AboutWindow, AboutForm> {
public:
    static constexpr wchar_t kFaultSource[] = L"AboutWindow";

    AboutWindow(HINSTANCE instance, HWND owner, AboutForm& form, forms::Painter& painter);
    ~AboutWindow() { Destroy(); }

    HWND OkButton() const { return ok_.Handle(); }

    // The skeleton's parts.
    HWND OnCreated();
    void OnDestroyed() { tooltip_ = nullptr; }
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void Paint(HDC dc);

private:
    static constexpr int kOkId = IDOK;
    void AddTooltips();
    // The link under a point of the client area, or null.
    const AboutForm::Link* LinkAt(POINT p) const;

    forms::ButtonHost ok_;
    HWND tooltip_ = nullptr;  // owned by the box, destroyed with it
};

}  // namespace quorlax::win
