// The battle panel's child windows.
#include "net/battle_panel_win.h"

#include "platform/window_win.h"

namespace quorlax::win {

BattlePanelWin::BattlePanelWin(HINSTANCE instance, HWND parent, BattleRoom& room, forms::Painter& painter)
    : instance_(instance), parent_(parent), painter_(painter), address_box_(room.addressBox, painter) {
    struct OptionId {
        OptionButton* model;
        int id;
    };
    // Tab order as on the panel, top to bottom.
    const OptionId options[] = {{&room.chineseOption, kChineseOptionId},
                                {&room.englishOption, kEnglishOptionId},
                                {&room.digitsOption, kDigitsOptionId},
                                {&room.hostOption, kHostOptionId},
                                {&room.joinOption, kJoinOptionId}};
    struct CommandId {
        forms::CommandButton* model;
        int id;
    };
    const CommandId commands[] = {{&room.startButton, kStartButtonId},
                                  {&room.leaveButton, kLeaveButtonId},
                                  {&room.connectButton, kConnectButtonId},
                                  {&room.disconnectButton, kDisconnectButtonId}};
    options_.reserve(std::size(options));
    for (const OptionId& o : options) {
        options_.push_back({o.model});
        Create(options_.back(), o.id);
    }
    for (const CommandId& c : commands) {
        commands_.push_back(std::make_unique<forms::ButtonHost>(*c.model, painter_));
        commands_.back()->Create(instance_, parent_, c.id);
        commands_.back()->AfterClick = [this] {
            if (AfterClick) AfterClick();
        };
    }
    if (HWND edit = address_box_.Create(instance_, parent_, WS_TABSTOP)) SetWindowLongPtrW(edit, GWLP_ID, kAddressBoxId);
    address_box_.AfterChange = [this] {
        if (AfterClick) AfterClick();
    };
    Sync();
}

BattlePanelWin::~BattlePanelWin() {
    // The parent normally has destroyed them already, with itself.
    for (Option& o : options_)
        if (o.hwnd && IsWindow(o.hwnd)) DestroyWindow(o.hwnd);
}

void BattlePanelWin::Create(Option& o, int id) {
    o.caption = o.model->Caption;
    o.hwnd =
        CreateWindowExW(0, L"BUTTON", o.caption.c_str(), WS_CHILD | WS_TABSTOP | BS_RADIOBUTTON, 0, 0, 10, 10,
                        parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    if (o.hwnd)
        SendMessageW(o.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(o.model->Font)), FALSE);
}

bool BattlePanelWin::Owns(HWND hwnd) const {
    if (!hwnd) return false;
    if (hwnd == address_box_.Handle()) return true;
    for (const Option& o : options_)
        if (o.hwnd == hwnd) return true;
    for (const auto& c : commands_)
        if (c->Handle() == hwnd) return true;
    return false;
}

void BattlePanelWin::Sync() {
    for (Option& o : options_) {
        if (!o.hwnd) continue;
        if (o.model->Caption != o.caption) {
            o.caption = o.model->Caption;
            SetWindowTextW(o.hwnd, o.caption.c_str());
        }
        const WPARAM check = o.model->Value ? BST_CHECKED : BST_UNCHECKED;
        if (static_cast<WPARAM>(SendMessageW(o.hwnd, BM_GETCHECK, 0, 0)) != check)
            SendMessageW(o.hwnd, BM_SETCHECK, check, 0);
        if (o.model->Enabled != (IsWindowEnabled(o.hwnd) != FALSE)) EnableWindow(o.hwnd, o.model->Enabled);
        RECT r = painter_.Rect(*o.model);
        if (!EqualRect(&r, &o.placed)) {
            o.placed = r;
            SetWindowPos(o.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const bool shown = o.model->Shown();
        if (shown != (IsWindowVisible(o.hwnd) != FALSE)) ShowWindow(o.hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
    for (auto& c : commands_) c->Sync();
    address_box_.Place();
    // A control that is hidden or greyed keeps no focus: the keys go back to
    // the window, which hands them to the typing box (the host's Start hides
    // the panel under the player's fingers).
    HWND focus = GetFocus();
    const bool lost = focus ? Owns(focus) && (!IsWindowVisible(focus) || !IsWindowEnabled(focus))
                            : GetActiveWindow() == parent_;
    if (lost) SetFocus(parent_);
}

bool BattlePanelWin::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (address_box_.Filter(msg, wp, lp, result)) return true;
    for (auto& c : commands_)
        if (c->Filter(msg, wp, lp, result)) return true;
    const HWND from = reinterpret_cast<HWND>(lp);
    if (!Owns(from)) return false;
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Option buttons are drawn on the panel's colour.
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, forms::Painter::Resolve(forms::kSystemWindowText));
            SetBkColor(dc, forms::Painter::Resolve(kBattlePanelColor));
            result = reinterpret_cast<LRESULT>(painter_.BrushFor(kBattlePanelColor));
            return true;
        }
        case WM_COMMAND:
            result = 0;
            if (HIWORD(wp) != BN_CLICKED) return true;
            for (Option& o : options_) {
                if (o.hwnd != from) continue;
                // Greyed in the model but not yet on screen: the click does nothing.
                if (o.model->Enabled && o.model->Shown() && o.model->Click) o.model->Click();
                break;
            }
            if (AfterClick) AfterClick();
            return true;
        default: return false;
    }
}

}  // namespace quorlax::win
