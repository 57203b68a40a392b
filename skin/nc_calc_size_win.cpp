// The non-client frame manager.
#include "skin/nc_calc_size_win.h"

#include <windowsx.h>

#include <iterator>

#include "skin/declares_win.h"
#include "skin/skin_error_win.h"

namespace quorlax::skin {
namespace {

// Where the painter of a window is recorded (a plain pointer, no ownership).
constexpr wchar_t kImplementationProperty[] = L"kwixCNCImplementation";
constexpr wchar_t kMdiClientClass[] = L"MDIClient";
constexpr UINT kFrameChangedFlags =
    SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED;  // 551
// How long the caption drag waits for input before polling the mouse again.
constexpr DWORD kDragPollMs = 10;

// The messages a frame manager sees (WM_SIZE only for MDI children).
constexpr UINT kFrameMessages[] = {
    WM_NCCALCSIZE,  WM_NCPAINT,       WM_NCACTIVATE,   WM_NCLBUTTONDOWN, WM_NCLBUTTONUP,  WM_NCLBUTTONDBLCLK,
    WM_NCHITTEST,   WM_SETCURSOR,     WM_INITMENU,     WM_INITMENUPOPUP, WM_STYLECHANGED, WM_SETTEXT,
    WM_ACTIVATEAPP, WM_ENTERMENULOOP, WM_EXITMENULOOP, WM_DESTROY,
};

bool IsMdiChild(HWND hwnd) {
    HWND parent = GetParent(hwnd);
    if (!parent || !(GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) return false;
    wchar_t name[32] = {};
    GetClassNameW(parent, name, static_cast<int>(std::size(name)));
    return lstrcmpiW(name, kMdiClientClass) == 0;
}

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
    mdi_child_ = IsMdiChild(hwnd);
    try {
        for (UINT msg : kFrameMessages) MSubclass::AttachMessage(this, hwnd, msg);
        if (mdi_child_) {
            size_attached_ = true;
            MSubclass::AttachMessage(this, hwnd, WM_SIZE);
        }
    } catch (...) {
        Detach();  // messages that were not attached detach as no-ops
        throw;
    }
    {
        UniqueDisplayDc screen(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
        default_dc_.reset(CreateCompatibleDC(screen.get()));
        default_bitmap_.reset(CreateCompatibleBitmap(screen.get(), GetSystemMetrics(SM_CXSCREEN),
                                                     GetSystemMetrics(SM_CYCAPTION) * 4));
        default_old_bitmap_ = SelectObject(default_dc_.get(), default_bitmap_.get());
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
        if (size_attached_) MSubclass::DetachMessage(this, hwnd_, WM_SIZE);
        RemovePropW(hwnd_, kImplementationProperty);
    }
    size_attached_ = false;
    if (default_dc_ && default_old_bitmap_) SelectObject(default_dc_.get(), default_old_bitmap_);
    default_old_bitmap_ = nullptr;
    default_bitmap_.reset();
    default_dc_.reset();
    hwnd_ = nullptr;
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
    INCAreaModifier* painter = nullptr;
    switch (iMsg) {
        case WM_DESTROY: Detach(); return;
        case WM_SIZE:
            lResult = CallOld(iMsg, wParam, lParam);
            PaintFrame();
            return;
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
            if (!GetImplementation(painter)) {
                lResult = CallOld(iMsg, wParam, lParam);
                return;
            }
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
            if (HIWORD(lParam) == 0 && GetImplementation(painter)) painter->InitMenuPopup(wParam, lParam);
            return;
        case WM_ENTERMENULOOP:
        case WM_EXITMENULOOP:
            lResult = CallOld(iMsg, wParam, lParam);
            PaintFrame();
            if (iMsg == WM_EXITMENULOOP && GetImplementation(painter)) painter->ExitMenuLoop();
            return;
        default: return;
    }
}

LRESULT cNCCalcSize::OnNCCalcSize(WPARAM wParam, LPARAM lParam) {
    // The proposed window rectangle, as the system hands it in.
    RECT* r =
        wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
    zoomed_mdi_child_ = mdi_child_ && IsZoomed(hwnd_);
    left_ = right_ = GetSystemMetrics(SM_CXFRAME);
    top_ = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYFRAME);
    bottom_ = GetSystemMetrics(SM_CYFRAME);
    INCAreaModifier* painter = nullptr;
    if (!zoomed_mdi_child_ && GetImplementation(painter)) {
        painter->GetLeftMarginWidth(left_);
        painter->GetTopMarginHeight(top_);
        painter->GetRightMarginWidth(right_);
        painter->GetBottomMarginHeight(bottom_);
    }
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
    INCAreaModifier* painter = nullptr;
    if (GetImplementation(painter)) painter->HitTest(x, y, code);
    return code;
}

bool cNCCalcSize::PainterTakesPress(POINT screen) {
    INCAreaModifier* painter = nullptr;
    if (!GetImplementation(painter)) return false;
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    bool handled = false;
    WholeWindowDc dc(hwnd_);
    painter->NCMouseDown(screen.x - wr.left, screen.y - wr.top, handled, dc.get(), 0, 0, wr.right - wr.left,
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
    INCAreaModifier* painter = nullptr;
    if (GetImplementation(painter)) {
        if (wParam == HTCAPTION) {
            if (!window_active_) SetForegroundWindow(hwnd_);
            DragWindow();
            return;
        }
        if (PainterTakesPress(screen)) return;
    }
    CallOld(WM_NCLBUTTONDOWN, static_cast<WPARAM>(code), lParam);
    PaintFrame();
}

void cNCCalcSize::OnNCLButtonUp(LPARAM lParam) {
    INCAreaModifier* painter = nullptr;
    if (!GetImplementation(painter)) return;
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    WholeWindowDc dc(hwnd_);
    painter->NCMouseUp(GET_X_LPARAM(lParam) - wr.left, GET_Y_LPARAM(lParam) - wr.top, dc.get(), 0, 0,
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
    zoomed_mdi_child_ = mdi_child_ && IsZoomed(hwnd_);
    if (zoomed_mdi_child_) {
        CallOld(WM_NCPAINT, 1, 0);
        return;
    }
    RECT wr{};
    GetWindowRect(hwnd_, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    WholeWindowDc dc(hwnd_);
    INCAreaModifier* painter = nullptr;
    if (GetImplementation(painter))
        painter->NCPaint(dc.get(), 0, 0, w, h);
    else
        DefaultNCPaint(dc.get(), 0, 0, w, h);
}

void cNCCalcSize::DragWindow() {
    const HWND hwnd = hwnd_;
    const std::weak_ptr<bool> alive = alive_;
    const bool child = (GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
    auto windowRect = [&] {
        RECT r{};
        GetWindowRect(hwnd, &r);
        if (child) MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
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

void cNCCalcSize::DefaultNCPaint(HDC hdc, int lLeft, int lTop, int lRight, int lBottom) {
    const int w = lRight - lLeft, h = lBottom - lTop;
    const int fx = GetSystemMetrics(SM_CXFRAME), fy = GetSystemMetrics(SM_CYFRAME);
    const int caption = GetSystemMetrics(SM_CYCAPTION);
    HBRUSH border = GetSysColorBrush(window_active_ ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER);
    HBRUSH title = GetSysColorBrush(window_active_ ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION);
    const RECT edges[] = {{lLeft, lTop, lRight, lTop + fy},
                          {lLeft, lBottom - fy, lRight, lBottom},
                          {lLeft, lTop, lLeft + fx, lBottom},
                          {lRight - fx, lTop, lRight, lBottom}};
    for (const RECT& e : edges) FillRect(hdc, &e, border);
    if (!default_dc_) return;
    const int row = w - 2 * fx;
    RECT text{0, 0, row - 3 * caption - 2, caption};
    DrawCaption(hwnd_, default_dc_.get(), &text, DC_ICON | DC_TEXT | (window_active_ ? DC_ACTIVE : 0));
    RECT rest{text.right, 0, row, caption};
    FillRect(default_dc_.get(), &rest, title);
    const UINT kinds[] = {DFCS_CAPTIONCLOSE,
                          static_cast<UINT>(IsZoomed(hwnd_) ? DFCS_CAPTIONRESTORE : DFCS_CAPTIONMAX),
                          DFCS_CAPTIONMIN};
    int right = row - 2;
    for (UINT kind : kinds) {
        RECT b{right - caption + 2, 2, right, caption - 2};
        DrawFrameControl(default_dc_.get(), &b, DFC_CAPTION, kind);
        right = b.left - 2;
    }
    BitBlt(hdc, lLeft + fx, lTop + fy, row, caption, default_dc_.get(), 0, 0, SRCCOPY);
    RECT all{lLeft, lTop, lLeft + w, lTop + h};
    DrawEdge(hdc, &all, EDGE_RAISED, BF_RECT);
}

}  // namespace quorlax::skin
