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

    // Builds the bar from the models, once, and hands it to the window.
    // Hidden items are left out; which items are hidden is fixed by then.
    void Attach(HWND hwnd, std::vector<MenuItem*> bar);
    // Brings check marks and greying up to date, in place.
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
        bool checked, enabled;
    };
    // Where an item sits: its menu and position there.
    struct Place {
        HMENU menu;
        UINT position;
    };
    void AddItems(HMENU menu, const std::vector<MenuItem*>& items);
    void Remember();

    HWND hwnd_ = nullptr;
    // The bar this object built. Never owned or destroyed here: the window
    // owns it from Attach on, or a painted frame holds it for the window and
    // gives it back; so a bar the frame holds cannot be destroyed under it.
    HMENU bar_handle_ = nullptr;
    std::vector<MenuItem*> bar_;
    std::vector<MenuItem*> all_;  // every item, command id = kFirstCommand + index
    std::vector<State> states_;
    std::vector<Place> places_;  // by item index; menu null for a hidden item
    quorlax::win::UniqueAccel accel_;
};

}  // namespace forms
