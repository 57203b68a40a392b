// The practice room's windows.
#include "practice/practice_windows_win.h"

namespace quorlax::win {

void PracticeWindows::Attach(const forms::MainWindowParts& main) {
    instance_ = main.instance;
    window_ = main.window;
    panel_.AfterChange = main.afterEvent;
    main.chain.Add(&panel_);
    record_ = std::make_unique<RecordWindow>(main.instance, main.window, room_.record, main.painter);
    record_->AfterDrill = main.afterEvent;
}

void PracticeWindows::Sync() {
    // The box and its tooltip are made when the panel first shows: a
    // start-up that never practises never makes them.
    if (!panel_.Box() && room_.panel.Shown()) panel_.Create(instance_, window_);
    panel_.Place();
}

HWND PracticeWindows::ShownBox() const {
    HWND box = panel_.Box();
    return box && IsWindowVisible(box) ? box : nullptr;
}

}  // namespace quorlax::win
