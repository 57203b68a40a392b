// The About box.
#include "settings/about_window_win.h"

#include <commctrl.h>

#include "platform/lazy_dll_win.h"

namespace quorlax::win {
namespace {

// The designed 500 x 300 pixels cut off the OK button: the box is as large
// as its lines need, at the screen's DPI.
const forms::ToolWindowLook kLook{kAboutClass,     kAboutTitle,       WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                  POINT{150, 130}, AboutForm::kWidth, AboutForm::kHeight};

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance, HWND owner, AboutForm& form, forms::Painter& painter)
    : ToolWindow(instance, owner, form, painter, kLook), ok_(form.okButton, painter) {}

HWND AboutWindow::OnCreated() {
    HWND ok = ok_.Create(instance_, hwnd_, kOkId);
    AddTooltips();
    return ok;
}

void AboutWindow::AddTooltips() {
    static const bool ready = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        const auto init =
            LazyFunction<decltype(&::InitCommonControlsEx)>(L"comctl32.dll", "InitCommonControlsEx");
        return init && init(&icc) != FALSE;
    }();
    if (!ready) return;
    tooltip_ =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd_, nullptr, instance_, nullptr);
    if (!tooltip_) return;
    UINT id = 1;
    for (const auto& link : form_.Links()) {
        TOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = hwnd_;
        tool.uId = id++;
        tool.rect = painter_.Rect(*link.label);
        tool.lpszText = const_cast<wchar_t*>(link.tip);
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

const AboutForm::Link* AboutWindow::LinkAt(POINT p) const {
    for (const auto& link : form_.Links()) {
        RECT r = painter_.Rect(*link.label);
        if (PtInRect(&r, p)) return &link;
    }
    return nullptr;
}

bool AboutWindow::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // The OK button's press may destroy this window; touch nothing after.
    if (ok_.Filter(msg, wp, lp, result)) return true;
    result = 0;
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {  // Escape
                form_.Unload();
                return true;
            }
            return false;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(hwnd_, &p);
                if (LinkAt(p)) {
                    SetCursor(LoadCursorW(nullptr, IDC_HAND));
                    result = TRUE;
                    return true;
                }
            }
            return false;
        case WM_LBUTTONUP: {
            const AboutForm::Link* link =
                LinkAt(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            if (!link) return true;
            if (link->label == &form_.wordPoolLicenceLink)
                form_.OnWordPoolLicence();
            else if (link->label == &form_.codeTableLicenceLink)
                form_.OnCodeTableLicence();
            else
                form_.OnReadMe();
            return true;
        }
        default: return false;
    }
}

void AboutWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    painter_.Fill(dc, client, form_.BackColor);
    for (const forms::Label* label : form_.Labels()) painter_.DrawLabel(dc, *label);
}

}  // namespace quorlax::win
