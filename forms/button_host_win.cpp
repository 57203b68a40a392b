// The push-button host.
#include "forms/button_host_win.h"

#include "platform/handles_win.h"

namespace forms {
namespace {

// A push button of `parent`, of any kind the dialog keys treat as one.
bool IsPushButtonOf(HWND parent, HWND h) {
    if (!h || GetParent(h) != parent) return false;
    wchar_t cls[8] = {};
    if (!GetClassNameW(h, cls, 8) || lstrcmpiW(cls, L"Button") != 0) return false;
    const LONG type = GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

COLORREF HalfWay(COLORREF a, COLORREF b) {
    return RGB((GetRValue(a) + GetRValue(b)) / 2, (GetGValue(a) + GetGValue(b)) / 2,
               (GetBValue(a) + GetBValue(b)) / 2);
}

}  // namespace

ButtonHost::ButtonHost(CommandButton& model, Painter& painter) : model_(model), painter_(painter) {}

ButtonHost::~ButtonHost() {
    // Normally gone with its parent already; a button left behind would ask
    // a parent that no longer forwards to this host to draw it.
    if (HWND b = Handle()) DestroyWindow(b);
}

HWND ButtonHost::Create(HINSTANCE instance, HWND parent, int id) {
    parent_ = parent;
    caption_ = model_.Caption;
    back_ = model_.BackColor;
    fore_ = model_.ForeColor;
    default_ = model_.Default;
    placed_ = painter_.Rect(model_);
    // Owner-drawn: only so does the face take the model's colour under
    // visual styles. BS_NOTIFY tells the siblings of focus changes, which
    // move the default frame.
    DWORD style = WS_CHILD | WS_TABSTOP | BS_OWNERDRAW | BS_NOTIFY;
    if (model_.Shown()) style |= WS_VISIBLE;
    if (!model_.Enabled) style |= WS_DISABLED;
    button_ = CreateWindowExW(0, L"BUTTON", caption_.c_str(), style, placed_.left, placed_.top,
                              placed_.right - placed_.left, placed_.bottom - placed_.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    if (button_)
        SendMessageW(button_, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(model_.Font)), FALSE);
    return button_;
}

HWND ButtonHost::Handle() const {
    return button_ && IsWindow(button_) && GetParent(button_) == parent_ ? button_ : nullptr;
}

void ButtonHost::Sync() {
    HWND b = Handle();
    if (!b) return;
    if (model_.Caption != caption_) {
        caption_ = model_.Caption;
        SetWindowTextW(b, caption_.c_str());
    }
    if (model_.Enabled != (IsWindowEnabled(b) != FALSE)) EnableWindow(b, model_.Enabled);
    RECT r = painter_.Rect(model_);
    if (!EqualRect(&r, &placed_)) {
        placed_ = r;
        SetWindowPos(b, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (model_.BackColor != back_ || model_.ForeColor != fore_ || model_.Default != default_) {
        back_ = model_.BackColor;
        fore_ = model_.ForeColor;
        default_ = model_.Default;
        InvalidateRect(b, nullptr, FALSE);
    }
    const bool shown = model_.Shown();
    if (shown != ((GetWindowLongW(b, GWL_STYLE) & WS_VISIBLE) != 0))
        ShowWindow(b, shown ? SW_SHOWNA : SW_HIDE);
}

bool ButtonHost::ActsAsDefault() const {
    HWND focus = GetFocus();
    return focus == button_ || (model_.Default && !IsPushButtonOf(parent_, focus));
}

bool ButtonHost::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // Most messages of a window are none of ours: decide that first, cheaply.
    if (msg != WM_DRAWITEM && msg != DM_GETDEFID && msg != WM_COMMAND) return false;
    HWND b = Handle();
    if (!b) return false;
    switch (msg) {
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
            if (item->CtlType != ODT_BUTTON || item->hwndItem != b) return false;
            Draw(*item);
            result = TRUE;
            return true;
        }
        case DM_GETDEFID:
            // Enter presses the focused push button, else the default one.
            if (!ActsAsDefault() || !IsWindowEnabled(b)) return false;
            result = MAKELRESULT(GetDlgCtrlID(b), DC_HASDEFID);
            return true;
        case WM_COMMAND: {
            const HWND from = reinterpret_cast<HWND>(lp);
            const int code = HIWORD(wp);
            // The default frame follows the focus among the buttons.
            if (from != b) {
                if (model_.Default && (code == BN_SETFOCUS || code == BN_KILLFOCUS))
                    InvalidateRect(b, nullptr, FALSE);
                return false;
            }
            result = 0;
            // A quick second click comes as a double click to a drawn button.
            if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return true;
            // A press takes the focus to the button, as a click does: a box
            // left behind hears that it lost it before the button's steps.
            HWND focus = GetFocus();
            if (focus != b && IsChild(parent_, focus) && IsWindowVisible(b) && IsWindowEnabled(b))
                SetFocus(b);
            model_.Press();  // may destroy the parent and the button: touch only this host after
            if (AfterClick) AfterClick();
            return true;
        }
        default: return false;
    }
}

void ButtonHost::Draw(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pressed = (item.itemState & ODS_SELECTED) != 0;
    const bool greyed = (item.itemState & ODS_DISABLED) != 0;
    const auto cues = static_cast<UINT>(SendMessageW(item.hwndItem, WM_QUERYUISTATE, 0, 0));

    painter_.Fill(dc, r, model_.BackColor);
    if (!greyed && ActsAsDefault()) {
        FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&r, -1, -1);
    }
    if (pressed) {
        FrameRect(dc, &r, GetSysColorBrush(COLOR_3DSHADOW));
        InflateRect(&r, -1, -1);
    } else {
        DrawEdge(dc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
    }

    quorlax::win::SelectGuard font(dc, painter_.FontFor(model_.Font));
    SetBkMode(dc, TRANSPARENT);
    UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    if (cues & UISF_HIDEACCEL) format |= DT_HIDEPREFIX;
    RECT text = r;
    if (pressed) OffsetRect(&text, 1, 1);
    const COLORREF ink = Painter::Resolve(model_.ForeColor);
    // Greyed: the caption half way to the face, so that it reads weaker than
    // an enabled one on any face; the system's engraving (grey beside white)
    // stands out brighter than a black caption on a dark face.
    SetTextColor(dc, greyed ? HalfWay(ink, Painter::Resolve(model_.BackColor)) : ink);
    DrawTextW(dc, caption_.c_str(), -1, &text, format);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT) && !(cues & UISF_HIDEFOCUS)) {
        RECT focus = r;
        InflateRect(&focus, -2, -2);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace forms
