// The non-client frame manager.
#include "skin/nc_calc_size_win.h"

#include <windowsx.h>

#include "skin/declares_win.h"
#include "skin/skin_error_win.h"

namespace quorlax::skin {
namespace {

// Where the painter of a window is recorded (a plain pointer, no ownership).
constexpr wchar_t kImplementationProperty[] = L"kwixCNCImplementation";
constexpr UINT kFrameChangedFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED;  // 551
// How long the caption drag waits for input before polling the mouse again.
constexpr DWORD kDragPollMs = 10;

// The messages a frame manager sees.
constexpr UINT kFrameMessages[] = {
    WM_NCCALCSIZE,  WM_NCPAINT,       WM_NCACTIVATE,   WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,  WM_NCLBUTTONDBLCLK,
    WM_NCHITTEST,   WM_SETCURSOR,     WM_INITMENU,     WM_INITMENUPOPUP, WM_STYLECHANGED, WM_SETTEXT,
    WM_ACTIVATEAPP, WM_ENTERMENULOOP, WM_EXITMENULOOP, WM_DESTROY,
};

bool LeftButtonDown() {
    int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

// Runs the messages waiting now; false once WM_QUIT came (it is posted again).
bool RunPendingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace

cNCCalcSize::cNCCalcSize() : alive_(std::make_shared<bool>(true)) {}

cNCCalcSize::~cNCCalcSize() { Detach(); }

void cNCCalcSize::Redraw(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void cNCCalcSize::Display(HWND f) {
    RedrawWindow(f, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetWindowPos(f, nullptr, 0, 0, 0, 0, kFrameChangedFlags);
}

void cNCCalcSize::TitleBarMouseDown() {
    if (!hwnd_) return;
    ReleaseCapture();
    POINT p{};
    GetCursorPos(&p);
    SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
}

void cNCCalcSize::SysCommand(UINT eCmd) {
    if (hwnd_) PostMessageW(hwnd_, WM_SYSCOMMAND, eCmd, 0);
}

void cNCCalcSize::Attach(INCAreaModifier* iTo) {
    Detach();
    HWND hwnd = iTo->hwnd();
    hwnd_ = hwnd;
    painter_ = iTo;
    try {
        for (UINT msg : kFrameMessages) MSubclass::AttachMessage(this, hwnd, msg);
    } catch (...) {
        Detach();  // messages that were not attached detach as no-ops
        throw;
    }
    SetPropW(hwnd, kImplementationProperty, reinterpret_cast<HANDLE>(iTo));
    mDeclares::AttachKeyboardHook(this);
    // The painter draws the menu from now on; the system must neither draw
    // nor keyboard-track the native bar.
    AdoptWindowMenu();
}

void cNCCalcSize::Detach() {
    mDeclares::DetachKeyboardHook(this);
    if (hwnd_) {
        for (UINT msg : kFrameMessages) MSubclass::DetachMessage(this, hwnd_, msg);
        RemovePropW(hwnd_, kImplementationProperty);
    }
    hwnd_ = nullptr;
    painter_ = nullptr;
    menu_ = nullptr;
}

bool cNCCalcSize::GetImplementation(INCAreaModifier*& iTo) const {
    if (!hwnd_) return false;
    HANDLE stored = GetPropW(hwnd_, kImplementationProperty);
    if (!stored) return false;
    iTo = reinterpret_cast<INCAreaModifier*>(stored);
    return true;
}

EMsgResponse cNCCalcSize::MsgResponse() {
    switch (MSubclass::CurrentMessage()) {
        case WM_DESTROY:
        case WM_ACTIVATEAPP:
        case WM_NCACTIVATE:
        case WM_NCLBUTTONUP: return EMsgResponse::emrPreprocess;
        default: return EMsgResponse::emrConsume;
    }
}

LRESULT cNCCalcSize::CallOld(UINT msg, WPARAM wParam, LPARAM lParam) {
    return MSubclass::CallOldWindowProc(hwnd_, msg, wParam, lParam);
}

void cNCCalcSize::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
    switch (iMsg) {
        case WM_DESTROY: Detach(); return;
        case WM_NCLBUTTONDBLCLK:
            // A double click on a painted button is a second click on it, not
            // a double click on the system menu (which would close the window).
            if (PainterTakesPress(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)})) {
                lResult = 0;
                return;
            }
            [[fallthrough]];
        case WM_SETTEXT:
        case WM_STYLECHANGED:
            lResult = CallOld(iMsg, wParam, lParam);
            if (!in_set_cursor_) PaintFrame();
            return;
        case WM_ACTIVATEAPP: app_active_ = wParam != 0; return;
        case WM_SETCURSOR: OnSetCursor(wParam, lParam, lResult); return;
        case WM_NCCALCSIZE: lResult = OnNCCalcSize(wParam, lParam); return;
        case WM_NCHITTEST:
            last_hit_test_ = HitTestAt(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            lResult = last_hit_test_ == HTMENU ? HTCLIENT : last_hit_test_;
            return;
        case WM_NCPAINT:
            PaintFrame();
            lResult = 0;
            return;
        case WM_NCACTIVATE:
            window_active_ = wParam != 0;
            PaintFrame();  // lResult keeps the old procedure's answer
            return;
        case WM_NCLBUTTONDOWN:
            OnNCLButtonDown(wParam, lParam);
            lResult = 0;
            return;
        case WM_NCLBUTTONUP: OnNCLButtonUp(lParam); return;
        case WM_INITMENU:
            lResult = CallOld(iMsg, wParam, lParam);
            PaintFrame();
            return;
        case WM_INITMENUPOPUP:
            lResult = CallOld(iMsg, wParam, lParam);
            PaintFrame();
            if (HIWORD(lParam) == 0) painter_->InitMenuPopup(wParam, lParam);
            return;
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
            lResult = CallOld(iMsg, wParam, lParam);
            PaintFrame();
            if (iMsg == WM_EXITMENULOOP) painter_->ExitMenuLoop();
            return;
        default: return;
    }
}

LRESULT cNCCalcSize::OnNCCalcSize(WPARAM wParam, LPARAM lParam) {
    // The proposed window rectangle, as the system hands it in.
    RECT* r =
        wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    left_ = right_ = GetSystemMetrics(SM_CXFRAME);
    top_ = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    bottom_ = GetSystemMetrics(SM_CYFRAME);
    painter_->GetLeftMarginWidth(left_);
    painter_->GetTopMarginHeight(top_);
    painter_->GetRightMarginWidth(right_);
    painter_->GetBottomMarginHeight(bottom_);
    RECT client{r->left + left_, r->top + top_, r->right - right_, r->bottom - bottom_};
    if (client.right < client.left) client.right = client.left;
    if (client.bottom < client.top) client.bottom = client.top;
    *r = client;
    if (!wParam) return 0;
    reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[1] = client;
    return WVR_VALIDRECTS;
}

LRESULT cNCCalcSize::HitTestAt(POINT screen) {
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    const int x = screen.x - wr.left, y = screen.y - wr.top;
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    const bool sizable = (GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_THICKFRAME) != 0;
    LRESULT code = HTCLIENT;
    if (PtInRect(&wr, screen)) {
        // The bottom margin is the thickness of the top sizing edge too.
        if (x <= left_) {
            if (sizable) code = y <= bottom_ ? HTTOPLEFT : y < h - bottom_ ? HTLEFT : HTBOTTOMLEFT;
        } else if (x >= w - right_) {
            if (sizable) code = y <= bottom_ ? HTTOPRIGHT : y < h - bottom_ ? HTRIGHT : HTBOTTOMRIGHT;
        } else if (y <= bottom_) {
            if (sizable) code = HTTOP;
        } else if (y >= h - bottom_) {
            if (sizable) code = HTBOTTOM;
        } else if (y <= top_) {
            if (y <= caption + bottom_) code = x <= caption ? HTSYSMENU : HTCAPTION;  // below: the menu row
        }
    }
    painter_->HitTest(x, y, code);
    return code;
}

bool cNCCalcSize::PainterTakesPress(POINT screen) {
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    bool handled = false;
    WindowDc dc(hwnd_, WindowDc::kWholeWindow);
    painter_->NCMouseDown(screen.x - wr.left, screen.y - wr.top, handled, dc.get(), 0, 0, wr.right - wr.left,
                          wr.bottom - wr.top);
    return handled;
}

void cNCCalcSize::OnNCLButtonDown(WPARAM wParam, LPARAM lParam) {
    // A one-pixel wiggle of the pointer, alternating, as the system's own
    // caption handling leaves the hover state fresh.
    if (jiggle_x_ == 0) jiggle_x_ = jiggle_y_ = 1;
    jiggle_x_ = -jiggle_x_;
    jiggle_y_ = -jiggle_y_;
    mouse_event(MOUSEEVENTF_MOVE, static_cast<DWORD>(jiggle_x_), static_cast<DWORD>(jiggle_y_), 0, 0);

    const POINT screen{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    const LRESULT code = HitTestAt(screen);
    if (wParam == HTCAPTION) {
        if (!window_active_) SetForegroundWindow(hwnd_);
        DragWindow();
        return;
    }
    if (PainterTakesPress(screen)) return;
    CallOld(WM_NCLBUTTONDOWN, static_cast<WPARAM>(code), lParam);
    PaintFrame();
}

void cNCCalcSize::OnNCLButtonUp(LPARAM lParam) {
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    WindowDc dc(hwnd_, WindowDc::kWholeWindow);
    painter_->NCMouseUp(GET_X_LPARAM(lParam) - wr.left, GET_Y_LPARAM(lParam) - wr.top, dc.get(), 0, 0,
                        wr.right - wr.left, wr.bottom - wr.top);
}

void cNCCalcSize::OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& lResult) {
    in_set_cursor_ = true;
    lResult = CallOld(WM_SETCURSOR, wParam, lParam);
    if (AdoptWindowMenu()) PaintFrame();
    in_set_cursor_ = false;
}

bool cNCCalcSize::AdoptWindowMenu() {
    HMENU native = GetMenu(hwnd_);
    if (!native) return false;
    menu_ = native;
    SetMenu(hwnd_, nullptr);
    return true;
}

void cNCCalcSize::PaintFrame() {
    if (!hwnd_ || !IsWindowVisible(hwnd_)) return;
    AdoptWindowMenu();  // a bar set since is taken over before it could show
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    WindowDc dc(hwnd_, WindowDc::kWholeWindow);
    painter_->NCPaint(dc.get(), 0, 0, wr.right - wr.left, wr.bottom - wr.top);
}

void cNCCalcSize::DragWindow() {
    const HWND hwnd = hwnd_;
    const std::weak_ptr<bool> alive = alive_;
    auto windowRect = [&] {
        RECT r{};
        GetWindowRect(hwnd, &r);
        return r;
    };
    RECT r = windowRect();
    POINT last{};
    GetCursorPos(&last);
    // Follows the pointer while the button is held; waits for input between
    // polls, lets other messages run, and stops when the window is
    // deactivated or destroyed (or this object goes away meanwhile).
    while (LeftButtonDown() && window_active_ && IsWindow(hwnd)) {
        POINT p{};
        GetCursorPos(&p);
        if (p.x != last.x || p.y != last.y) {
            SetWindowPos(hwnd, nullptr, r.left + p.x - last.x, r.top + p.y - last.y, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
            r = windowRect();
            last = p;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kDragPollMs, QS_ALLINPUT);
        if (!RunPendingMessages() || alive.expired()) return;
    }
}

}  // namespace quorlax::skin
