// Native menus from the menu models.
#include "forms/menu_win.h"

#include <functional>

namespace forms {
namespace {

void Collect(const std::vector<MenuItem*>& items, std::vector<MenuItem*>& out) {
    for (MenuItem* item : items) {
        out.push_back(item);
        Collect(item->Items, out);
    }
}

// "Ctrl+H" -> Ctrl and the key H; anything else is no shortcut.
bool ParseShortcut(const std::wstring& s, WORD& key) {
    const std::wstring prefix = L"Ctrl+";
    if (s.size() != prefix.size() + 1 || s.compare(0, prefix.size(), prefix) != 0) return false;
    wchar_t c = s.back();
    if (!((c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9'))) return false;
    key = static_cast<WORD>(c);
    return true;
}

// True when `target` lies among `items` or their submenus through enabled,
// visible menus only: a shortcut of an item under a greyed menu does nothing.
bool Reachable(const std::vector<MenuItem*>& items, const MenuItem* target) {
    for (const MenuItem* item : items) {
        if (!item->Enabled || !item->Visible) continue;
        if (item == target || Reachable(item->Items, target)) return true;
    }
    return false;
}

}  // namespace

void MenuBarWin::Attach(HWND hwnd, std::vector<MenuItem*> bar) {
    hwnd_ = hwnd;
    bar_ = std::move(bar);
    all_.clear();
    Collect(bar_, all_);
    std::vector<ACCEL> accels;
    for (size_t i = 0; i < all_.size(); ++i) {
        WORD key = 0;
        if (ParseShortcut(all_[i]->Shortcut, key))
            accels.push_back(ACCEL{FCONTROL | FVIRTKEY, key, static_cast<WORD>(kFirstCommand + i)});
    }
    if (!accels.empty())
        accel_.reset(CreateAcceleratorTableW(accels.data(), static_cast<int>(accels.size())));
    places_.assign(all_.size(), Place{nullptr, 0});
    quorlax::win::UniqueMenu built(CreateMenu());
    AddItems(built.get(), bar_);
    // The window owns the bar it shows and destroys it with itself.
    if (SetMenu(hwnd_, built.get())) bar_handle_ = built.release();
    DrawMenuBar(hwnd_);
    Remember();
}

void MenuBarWin::AddItems(HMENU menu, const std::vector<MenuItem*>& items) {
    UINT position = 0;
    for (MenuItem* item : items) {
        if (!item->Visible) continue;
        UINT flags = MF_STRING | (item->Enabled ? MF_ENABLED : MF_GRAYED) | (item->Checked ? MF_CHECKED : 0);
        std::wstring text = item->Caption;
        if (!item->Shortcut.empty()) text += L"\t" + item->Shortcut;
        bool added = false;
        if (!item->Items.empty()) {
            quorlax::win::UniqueMenu sub(CreatePopupMenu());
            AddItems(sub.get(), item->Items);
            // The menu owns its submenu once it is appended.
            added = AppendMenuW(menu, flags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub.get()), text.c_str());
            if (added) sub.release();
        } else {
            added = AppendMenuW(menu, flags, CommandOf(item), text.c_str());
        }
        if (added) places_[CommandOf(item) - kFirstCommand] = {menu, position++};
    }
}

void MenuBarWin::Remember() {
    states_.clear();
    for (MenuItem* item : all_) states_.push_back({item->Checked, item->Enabled});
}

void MenuBarWin::Sync() {
    if (!hwnd_) return;
    bool bar_changed = false;
    for (size_t i = 0; i < all_.size(); ++i) {
        const State& s = states_[i];
        const MenuItem* item = all_[i];
        if (s.checked == item->Checked && s.enabled == item->Enabled) continue;
        const Place& at = places_[i];
        if (!at.menu) continue;
        CheckMenuItem(at.menu, at.position, MF_BYPOSITION | (item->Checked ? MF_CHECKED : MF_UNCHECKED));
        EnableMenuItem(at.menu, at.position, MF_BYPOSITION | (item->Enabled ? MF_ENABLED : MF_GRAYED));
        bar_changed |= at.menu == bar_handle_;
    }
    Remember();
    if (bar_changed) {
        // A title greyed or enabled: the bar is drawn again, natively or by
        // the painted frame.
        DrawMenuBar(hwnd_);
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    }
}

bool MenuBarWin::Command(UINT id) {
    if (id < kFirstCommand || id >= kFirstCommand + all_.size()) return false;
    MenuItem* item = all_[id - kFirstCommand];
    if (!Reachable(bar_, item)) return true;  // a shortcut of a greyed item does nothing
    if (item->Click) item->Click();
    return true;
}

UINT MenuBarWin::CommandOf(const MenuItem* item) const {
    for (size_t i = 0; i < all_.size(); ++i)
        if (all_[i] == item) return kFirstCommand + static_cast<UINT>(i);
    return 0;
}

}  // namespace forms
