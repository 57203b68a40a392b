// The battle panel's child windows.
#include "net/battle_panel_win.h"

#include "platform/window_win.h"

namespace quorlax::win {

BattlePanelWin::BattlePanelWin(HINSTANCE instance, HWND parent, BattleRoom& room, forms::Painter& painter)
    : instance_(instance), parent_(parent), painter_(painter), text7_(room.Text7, painter) {
    struct Option {
        OptionButton* model;
        int id;
    };
    // Tab order as on the panel, top to bottom.
    const Option options[] = {{&room.Option3, kOption3Id},
                              {&room.Option4, kOption4Id},
                              {&room.Option5, kOption5Id},
                              {&room.Option1, kOption1Id},
                              {&room.Option2, kOption2Id}};
    struct Command {
        CommandButton* model;
        int id;
    };
    const Command commands[] = {{&room.Command4, kCommand4Id},
                                {&room.Command2, kCommand2Id},
                                {&room.Command1, kCommand1Id},
                                {&room.Command3, kCommand3Id}};
    buttons_.reserve(std::size(options) + std::size(commands));
    for (const Option& o : options) {
        buttons_.push_back({o.model, nullptr, o.model});
        Create(buttons_.back(), o.id, BS_RADIOBUTTON, o.model->Caption, o.model->Font);
    }
    for (const Command& c : commands) {
        buttons_.push_back({c.model, c.model, nullptr});
        Create(buttons_.back(), c.id, BS_PUSHBUTTON, c.model->Caption, c.model->Font);
    }
    if (HWND edit = text7_.Create(instance_, parent_, WS_TABSTOP)) SetWindowLongPtrW(edit, GWLP_ID, kText7Id);
    text7_.AfterChange = [this] {
        if (AfterClick) AfterClick();
    };
    Sync();
}

BattlePanelWin::~BattlePanelWin() {
    // The parent normally has destroyed them already, with itself.
    for (Button& b : buttons_)
        if (b.hwnd && IsWindow(b.hwnd)) DestroyWindow(b.hwnd);
}

void BattlePanelWin::Create(Button& b, int id, DWORD style, const std::wstring& caption,
                            const forms::Font& font) {
    b.hwnd = CreateWindowExW(0, L"BUTTON", caption.c_str(), WS_CHILD | WS_TABSTOP | style, 0, 0, 10, 10,
                             parent_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    b.caption = caption;
    if (b.hwnd) SendMessageW(b.hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(painter_.FontFor(font)), FALSE);
}

bool BattlePanelWin::Owns(HWND hwnd) const {
    if (!hwnd) return false;
    if (hwnd == text7_.Handle()) return true;
    for (const Button& b : buttons_)
        if (b.hwnd == hwnd) return true;
    return false;
}

void BattlePanelWin::Sync() {
    for (Button& b : buttons_) {
        if (!b.hwnd) continue;
        const std::wstring& caption = b.command ? b.command->Caption : b.option->Caption;
        if (caption != b.caption) {
            b.caption = caption;
            SetWindowTextW(b.hwnd, caption.c_str());
        }
        if (b.option) {
            const WPARAM check = b.option->Value ? BST_CHECKED : BST_UNCHECKED;
            if (static_cast<WPARAM>(SendMessageW(b.hwnd, BM_GETCHECK, 0, 0)) != check)
                SendMessageW(b.hwnd, BM_SETCHECK, check, 0);
        }
        const bool enabled = b.command ? b.command->Enabled : b.option->Enabled;
        if (enabled != (IsWindowEnabled(b.hwnd) != FALSE)) EnableWindow(b.hwnd, enabled);
        RECT r = painter_.Rect(*b.model);
        if (!EqualRect(&r, &b.placed)) {
            b.placed = r;
            SetWindowPos(b.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        const bool shown = b.model->Shown();
        if (shown != (IsWindowVisible(b.hwnd) != FALSE)) ShowWindow(b.hwnd, shown ? SW_SHOWNA : SW_HIDE);
    }
    text7_.Place();
    // A control that is hidden or greyed keeps no focus: the keys go back to
    // the window, which hands them to the typing box (the host's Start hides
    // the panel under the player's fingers).
    HWND focus = GetFocus();
    const bool lost = focus ? Owns(focus) && (!IsWindowVisible(focus) || !IsWindowEnabled(focus))
                            : GetActiveWindow() == parent_;
    if (lost) SetFocus(parent_);
}

bool BattlePanelWin::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (text7_.Filter(msg, wp, lp, result)) return true;
    const HWND from = reinterpret_cast<HWND>(lp);
    if (!Owns(from)) return false;
    switch (msg) {
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN: {
            // Option buttons are drawn on the panel's colour; push buttons
            // keep their face and get the panel's colour around it.
            HDC dc = reinterpret_cast<HDC>(wp);
            SetTextColor(dc, forms::Painter::Resolve(forms::kSystemWindowText));
            SetBkColor(dc, forms::Painter::Resolve(kBattlePanelColor));
            result = reinterpret_cast<LRESULT>(painter_.BrushFor(kBattlePanelColor));
            return true;
        }
        case WM_COMMAND:
            result = 0;
            if (HIWORD(wp) != BN_CLICKED) return true;
            for (Button& b : buttons_) {
                if (b.hwnd != from) continue;
                // Greyed in the model but not yet on screen: the click does nothing.
                const bool enabled = b.command ? b.command->Enabled : b.option->Enabled;
                if (!enabled || !b.model->Shown()) break;
                const auto& click = b.command ? b.command->Click : b.option->Click;
                if (click) click();
                break;
            }
            if (AfterClick) AfterClick();
            return true;
        default: return false;
    }
}

}  // namespace quorlax::win
