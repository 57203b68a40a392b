// The drop-down tracking loop of the painted menu bar.
#include "skin/toolbar_menu_win.h"

#include "skin/declares_win.h"
#include "skin/menu_bar_win.h"

namespace quorlax::skin {
namespace {

constexpr int kIdle = 0;
constexpr int kTracking = 2;
constexpr WORD kMenuClosed = 0xFFFF;  // WM_MENUSELECT flags when the menu mode ends

}  // namespace

cToolbarMenu::cToolbarMenu() : alive_(std::make_shared<bool>(true)) {}

cToolbarMenu::~cToolbarMenu() {
    if (busy_) mDeclares::DetachMsgFilterHook();
    Reset();
}

void cToolbarMenu::Init(HWND hwnd, cMenuBar* bar) {
    Reset();
    hwnd_ = hwnd;
    MSubclass::AttachMessage(this, hwnd, WM_MENUSELECT);
    bar_ = bar;
}

void cToolbarMenu::Reset() {
    if (hwnd_) MSubclass::DetachMessage(this, hwnd_, WM_MENUSELECT);
    hwnd_ = nullptr;
    bar_ = nullptr;
}

void cToolbarMenu::WindowProc(HWND, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT&) {
    if (iMsg != WM_MENUSELECT || state_ != kTracking) return;
    if (HIWORD(wParam) == kMenuClosed && lParam == 0) return;
    no_submenu_ = (HIWORD(wParam) & MF_POPUP) == 0;
    in_top_dropdown_ = reinterpret_cast<HMENU>(lParam) == open_;
}

LRESULT cToolbarMenu::Loop(int t) {
    if (busy_ || !bar_ || !hwnd_) return 0;
    const std::weak_ptr<bool> alive = alive_;
    busy_ = true;
    LRESULT result = 0;
    next_ = t;
    while (next_ > 0) {
        t = next_;
        next_ = 0;
        if (!bar_->TitleEnabled(t)) break;
        bar_->PressTitle(t);
        state_ = kTracking;
        current_ = t;
        bar_->HotTitle(t);
        escape_ = false;
        no_submenu_ = in_top_dropdown_ = true;
        mDeclares::AttachMsgFilterHook(this);
        const RECT r = bar_->TitleScreenRect(t);
        if (HMENU popup = bar_->TitleMenu(t)) {
            open_ = popup;
            TPMPARAMS exclude{sizeof exclude, r};
            result = TrackPopupMenuEx(popup, TPM_VERTICAL | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON,
                                      r.left, r.bottom, hwnd_, &exclude);
        }
        mDeclares::DetachMsgFilterHook();
        if (alive.expired()) return result;
        if (!IsWindow(hwnd_)) next_ = 0;  // the window went while its menu was open
        open_ = nullptr;
        state_ = kIdle;
        bar_->PressTitle(0);
        bar_->HotTitle(0);
    }
    busy_ = false;
    return result;
}

int cToolbarMenu::Neighbour(int step) const {
    // The next title that is not greyed that way round, wrapping; 0 if none.
    const int count = bar_->TitleCount();
    for (int k = current_, i = 1; i < count; ++i) {
        k = (k - 1 + step + count) % count + 1;
        if (bar_->TitleEnabled(k)) return k;
    }
    return 0;
}

void cToolbarMenu::SwitchTo(int k) {
    if (k == current_ || !bar_->TitleEnabled(k) || !bar_->TitleMenu(k)) return;
    EndMenu();  // the open drop-down closes and TrackPopupMenuEx returns
    next_ = k;
}

bool cToolbarMenu::MenuInput(const MSG& msg) {
    if (state_ != kTracking || !bar_) return false;
    switch (msg.message) {
        case WM_KEYDOWN:
            if (msg.wParam == VK_LEFT && in_top_dropdown_) {
                SwitchTo(Neighbour(-1));
                return true;
            }
            if (msg.wParam == VK_RIGHT && no_submenu_) {
                SwitchTo(Neighbour(+1));
                return true;
            }
            if (msg.wParam == VK_ESCAPE) escape_ = true;
            return false;
        case WM_MOUSEMOVE: {
            const int k = bar_->TitleAt(msg.pt);
            if (k > 0 && k != current_) SwitchTo(k);
            return false;
        }
        case WM_LBUTTONDOWN:
            return bar_->TitleAt(msg.pt) == current_;  // a click on the open title changes nothing
        default: return false;
    }
}

}  // namespace quorlax::skin
