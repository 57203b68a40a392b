// The menu bar and keyboard shortcuts built from the menu models, kept in
// step with their checked, enabled and visible states. The bar is a native
// menu; the window's frame may show it natively or paint it itself.
#pragma once

#include <windows.h>

#include <vector>

#include "forms/controls.h"
#include "platform/handles_win.h"

namespace forms {

class MenuBarWin {
public:
    static constexpr UINT kFirstCommand = 1000;

    // Builds the bar from the models and attaches it to the window.
    void Attach(HWND hwnd, std::vector<MenuItem*> bar);
    // Brings check marks, greying and hidden items up to date.
    void Sync();
    // Runs the Click of the item with this command id; false if none.
    bool Command(UINT id);
    HACCEL Accelerators() const { return accel_.get(); }
    // The bar shown (a painted frame takes it off the window itself).
    HMENU Handle() const { return bar_handle_; }
    // The command id of an item, for tests and automation.
    UINT CommandOf(const MenuItem* item) const;

private:
    struct State {
        bool checked, enabled, visible;
    };
    // Where an item sits: its menu and position there.
    struct Place {
        HMENU menu;
        UINT position;
    };
    void Rebuild();
    void AddItems(HMENU menu, const std::vector<MenuItem*>& items);
    void Remember();

    HWND hwnd_ = nullptr;
    HMENU bar_handle_ = nullptr;  // owned by the window once set
    std::vector<MenuItem*> bar_;
    std::vector<MenuItem*> all_;  // every item, command id = kFirstCommand + index
    std::vector<State> states_;
    std::vector<Place> places_;  // by item index; menu null for a hidden item
    quorlax::win::UniqueAccel accel_;
};

}  // namespace forms
