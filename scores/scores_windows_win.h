// The scores room's window: the hall of fame, made when it first opens.
#pragma once

#include <windows.h>

#include <memory>

#include "forms/room_windows_win.h"
#include "scores/hall_of_fame_window_win.h"
#include "scores/scores_room.h"

namespace quorlax::win {

class ScoresWindows final : public forms::RoomWindows {
public:
    explicit ScoresWindows(ScoresRoom& room) : room_(room) {}
    void Attach(const forms::MainWindowParts& main) override {
        hall_of_fame_ =
            std::make_unique<HallOfFameWindow>(main.instance, main.window, room_.hallOfFame, main.painter);
    }
    void Detach() override { room_.hallOfFame.Unload(); }
    HallOfFameWindow* HallOfFame() const { return hall_of_fame_.get(); }

private:
    ScoresRoom& room_;
    std::unique_ptr<HallOfFameWindow> hall_of_fame_;
};

}  // namespace quorlax::win
