// The settings room's windows: the About box and the picture chooser, made
// when they first open.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "forms/room_windows_win.h"
#include "settings/about_window_win.h"
#include "settings/picture_chooser_window_win.h"
#include "settings/settings_room.h"

namespace quorlax::win {

class SettingsWindows final : public forms::RoomWindows {
public:
    explicit SettingsWindows(SettingsRoom& room) : room_(room) {}
    void Attach(const forms::MainWindowParts& main) override {
        about_ = std::make_unique<AboutWindow>(main.instance, main.window, room_.about, main.painter);
        chooser_ = std::make_unique<PictureChooserWindow>(main.instance, main.window, room_.pictureChooser,
                                                          main.painter);
        // A chosen or cleared picture shows in the main window at once.
        chooser_->AfterPictureChange = main.afterEvent;
    }
    void Detach() override { room_.CloseWindows(); }

    AboutWindow& About() { return *about_; }
    PictureChooserWindow& Chooser() { return *chooser_; }

private:
    SettingsRoom& room_;
    std::unique_ptr<AboutWindow> about_;
    std::unique_ptr<PictureChooserWindow> chooser_;
};

}  // namespace quorlax::win
