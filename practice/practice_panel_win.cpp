// The practice panel on screen.
#include "practice/practice_panel_win.h"

#include <commctrl.h>
#include <windowsx.h>

namespace quorlax::win {

PracticePanelWin::PracticePanelWin(PracticeRoom& room, forms::Painter& painter)
    : room_(room), painter_(painter), box_(room.practiceBox, painter) {}

void PracticePanelWin::Create(HINSTANCE instance, HWND parent) {
    parent_ = parent;
    box_.AfterChange = [this] { Changed(); };
    HWND box = box_.Create(instance, parent);
    if (!box) return;
    // The tooltip is owned by the main window and goes with it.
    HWND tip =
        CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent, nullptr, instance, nullptr);
    if (!tip) return;
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every comctl32 version
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = parent;
    tool.uId = reinterpret_cast<UINT_PTR>(box);
    tool.lpszText = const_cast<wchar_t*>(kPracticeBoxTip);
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void PracticePanelWin::Place() { box_.Place(); }

void PracticePanelWin::Changed() const {
    if (AfterChange) AfterChange();
}

bool PracticePanelWin::OverLink(POINT client) const {
    if (!room_.chartLink.Shown()) return false;
    RECT r = painter_.Rect(room_.chartLink);
    return PtInRect(&r, client) != FALSE;
}

bool PracticePanelWin::OverPanel(POINT client) const {
    if (!room_.panel.Shown()) return false;
    RECT r = painter_.Rect(room_.panel);
    return PtInRect(&r, client) != FALSE;
}

bool PracticePanelWin::OverDrillLine(POINT client) const {
    const forms::Label& line = room_.card.drillLink;
    if (!line.Shown() || line.Caption().empty()) return false;
    RECT r = painter_.Rect(line);
    return PtInRect(&r, client) != FALSE;
}

bool PracticePanelWin::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (box_.Filter(msg, wp, lp, result)) return true;
    switch (msg) {
        case WM_MOUSEMOVE: {
            const POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
            const forms::Color before = room_.chartLink.BackColor;
            if (OverLink(at))
                room_.OnChartLinkHover();
            else if (OverPanel(at))
                room_.OnPanelHover();
            if (room_.chartLink.BackColor != before) Changed();  // a still mouse repaints nothing
            return false;                                     // the window may want the move too
        }
        case WM_LBUTTONDOWN:
            // A click anywhere closes the run's card; on its line, it drills.
            if (room_.card.Shown()) {
                room_.OnCardClick(OverDrillLine({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}));
                Changed();
                result = 0;
                return true;
            }
            // A click is a press and a release on the link, as with a button.
            if (!OverLink({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) return false;
            pressed_ = true;
            SetCapture(parent_);
            result = 0;
            return true;
        case WM_LBUTTONUP: {
            if (!pressed_) return false;
            pressed_ = false;
            if (GetCapture() == parent_) ReleaseCapture();
            if (OverLink({GET_X_LPARAM(lp), GET_Y_LPARAM(lp)})) {
                room_.OnChartLinkClick();
                Changed();
            }
            result = 0;
            return true;
        }
        case WM_CAPTURECHANGED: pressed_ = false; return false;
        case WM_SETCURSOR: {
            if (reinterpret_cast<HWND>(wp) != parent_ || LOWORD(lp) != HTCLIENT) return false;
            POINT at{};
            GetCursorPos(&at);
            ScreenToClient(parent_, &at);
            if (!OverLink(at) && !OverDrillLine(at)) return false;
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            result = TRUE;
            return true;
        }
        default: return false;
    }
}

}  // namespace quorlax::win
