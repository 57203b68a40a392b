// The battle room's windows: the panel's controls, made when the panel is
// first shown and brought up to date while it is shown, and once as it goes.
#pragma once

#include <windows.h>

#include <memory>

#include "forms/room_windows_win.h"
#include "net/battle_panel_win.h"
#include "net/battle_room.h"

namespace quorlax::win {

class BattleWindows final : public forms::RoomWindows {
public:
    explicit BattleWindows(BattleRoom& room) : room_(room) {}
    ~BattleWindows() override {
        if (panel_ && chain_) chain_->Remove(panel_.get());
    }
    void Attach(const forms::MainWindowParts& main) override {
        instance_ = main.instance;
        window_ = main.window;
        painter_ = &main.painter;
        chain_ = &main.chain;
        after_event_ = main.afterEvent;
    }
    void Sync() override {
        const bool shown = room_.panel.Shown();
        if (!panel_ && shown) {
            panel_ = std::make_unique<BattlePanelWin>(instance_, window_, room_, *painter_);
            panel_->AfterClick = after_event_;
            chain_->Add(panel_.get());
        }
        if (panel_ && (shown || shown_)) panel_->Sync();
        shown_ = shown;
    }
    BattlePanelWin* Panel() const { return panel_.get(); }

private:
    BattleRoom& room_;
    std::unique_ptr<BattlePanelWin> panel_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    forms::Painter* painter_ = nullptr;
    forms::MessageChain* chain_ = nullptr;
    std::function<void()> after_event_;
    bool shown_ = false;  // the panel was shown after the last event
};

}  // namespace quorlax::win
