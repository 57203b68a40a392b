// The native menu bar and keyboard shortcuts built from the menu models,
// kept in step with their checked, enabled and visible states.
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
    // The command id of an item, for tests and automation.
    UINT CommandOf(const MenuItem* item) const;

private:
    struct State {
        bool checked, enabled, visible;
    };
    void Rebuild();
    void AddItems(HMENU menu, const std::vector<MenuItem*>& items);
    void Remember();

    HWND hwnd_ = nullptr;
    std::vector<MenuItem*> bar_;
    std::vector<MenuItem*> all_;  // every item, command id = kFirstCommand + index
    std::vector<State> states_;
    quorlax::win::UniqueAccel accel_;
};

}  // namespace forms
