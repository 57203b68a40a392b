// The About box.
#include "settings/about_window_win.h"

#include <commctrl.h>

#include "platform/handles_win.h"
#include "platform/message_loop_win.h"
#include "platform/window_win.h"

namespace quorlax::win {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU;
// Where the box goes, in screen pixels, as designed.
constexpr int kScreenX = 150, kScreenY = 130;

}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance, HWND owner, AboutForm& form, forms::Painter& painter)
    : instance_(instance), owner_(owner), form_(form), painter_(painter), ok_(form.okButton, painter) {
    form_.OnLoaded = [this] { Create(); };
    form_.OnUnloaded = [this] { Destroy(); };
    form_.OnFront = [this] {
        if (hwnd_) SetForegroundWindow(hwnd_);
    };
}

AboutWindow::~AboutWindow() {
    form_.OnLoaded = form_.OnUnloaded = form_.OnFront = nullptr;
    Destroy();
}

void AboutWindow::Create() {
    if (hwnd_) return;
    RegisterWindowClassOf<AboutWindow>(instance_, kAboutClass);

    // The designed 500 x 300 pixels cut off the OK button: the box is as
    // large as its lines need, at the screen's DPI.
    RECT r{0, 0, painter_.Px(AboutForm::kWidth), painter_.Px(AboutForm::kHeight)};
    AdjustWindowRectEx(&r, kStyle, FALSE, WS_EX_TOPMOST);
    const int width = r.right - r.left, height = r.bottom - r.top;
    CreateWindowExW(WS_EX_TOPMOST, kAboutClass, kAboutTitle, kStyle, kScreenX, kScreenY, width, height,
                    owner_, nullptr, instance_, this);
    if (!hwnd_) return;
    HWND ok = ok_.Create(instance_, hwnd_, kOkId);
    AddTooltips();
    MessageLoop::Instance().Register(hwnd_, nullptr, true);  // Enter and Escape as in a dialog
    SetWindowPos(hwnd_, HWND_TOPMOST, kScreenX, kScreenY, width, height, SWP_SHOWWINDOW);
    SetFocus(ok);
}

void AboutWindow::AddTooltips() {
    static const bool ready = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
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

void AboutWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void AboutWindow::OnAttach(HWND hwnd) { hwnd_ = hwnd; }

void AboutWindow::OnDetach() {
    MessageLoop::Instance().Unregister(hwnd_);
    hwnd_ = tooltip_ = nullptr;
}

const AboutForm::Link* AboutWindow::LinkAt(POINT p) const {
    for (const auto& link : form_.Links()) {
        RECT r = painter_.Rect(*link.label);
        if (PtInRect(&r, p)) return &link;
    }
    return nullptr;
}

LRESULT AboutWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // The OK button's press may destroy this window; touch nothing after.
    LRESULT result = 0;
    if (ok_.Filter(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {
                form_.Unload();
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (LOWORD(lp) == HTCLIENT) {
                POINT p{};
                GetCursorPos(&p);
                ScreenToClient(hwnd_, &p);
                if (LinkAt(p)) {
                    SetCursor(LoadCursorW(nullptr, IDC_HAND));
                    return TRUE;
                }
            }
            break;
        case WM_LBUTTONUP: {
            const AboutForm::Link* link =
                LinkAt(POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))});
            if (!link) return 0;
            if (link->label == &form_.wordPoolLicenceLink)
                form_.OnWordPoolLicence();
            else if (link->label == &form_.codeTableLicenceLink)
                form_.OnCodeTableLicence();
            else
                form_.OnReadMe();
            return 0;
        }
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintBuffered(hwnd_, [this](HDC dc) { Paint(dc); }); return 0;
        case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return 0;
        case WM_CLOSE: form_.Unload(); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void AboutWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    painter_.Fill(dc, client, form_.BackColor);
    for (const forms::Label* label : form_.Labels()) painter_.DrawLabel(dc, *label);
}

}  // namespace quorlax::win
