// The settings room's windows on screen, owned by the main window: the
// About box and the picture chooser.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/render_win.h"
#include "settings/settings_room.h"
#include "settings/about_window_win.h"
#include "settings/picture_chooser_window_win.h"

namespace quorlax::win {

class SettingsWindows {
public:
    // `repaint` brings the main window up to date after a picture change.
    SettingsWindows(HINSTANCE instance, HWND owner, SettingsRoom& room, forms::Painter& painter,
                    std::function<void()> repaint)
        : about_(instance, owner, room.about, painter), chooser_(instance, owner, room.pictureChooser, painter) {
        chooser_.AfterPictureChange = std::move(repaint);
    }

    AboutWindow& About() { return about_; }
    PictureChooserWindow& Chooser() { return chooser_; }

private:
    AboutWindow about_;
    PictureChooserWindow chooser_;
};

}  // namespace quorlax::win
