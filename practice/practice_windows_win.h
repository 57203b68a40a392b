// The practice room's windows: the practice box with its tooltip and the
// chart link under the mouse, made when the practice panel is first shown,
// and the record window 练习记录.
#pragma once

#include <windows.h>

#include <memory>

#include "forms/room_windows_win.h"
#include "practice/practice_panel_win.h"
#include "practice/practice_room.h"
#include "practice/record_form_win.h"

namespace quorlax::win {

class PracticeWindows final : public forms::RoomWindows {
public:
    PracticeWindows(PracticeRoom& room, forms::Painter& painter) : room_(room), panel_(room, painter) {}

    void Attach(const forms::MainWindowParts& main) override;
    void Sync() override;
    HWND ShownBox() const override;
    void Detach() override { room_.record.Unload(); }

    HWND PracticeBox() const { return panel_.Box(); }  // null until the panel was first shown
    RecordWindow* Record() const { return record_.get(); }

private:
    PracticeRoom& room_;
    PracticePanelWin panel_;
    std::unique_ptr<RecordWindow> record_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
};

}  // namespace quorlax::win
