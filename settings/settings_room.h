// The settings room: the background colour, text colour and text font
// commands, the stored background picture and its chooser, the help page
// and the About box.
#pragma once

#include <string_view>

#include "core/board.h"
#include "forms/controls.h"
#include "platform/non_copyable.h"
#include "platform/services.h"
#include "settings/about_form.h"
#include "settings/picture_chooser_form.h"

namespace quorlax {

inline constexpr wchar_t kHelpFile[] = L"help.htm";  // the help page, beside the program

class SettingsRoom : NonCopyable {
public:
    SettingsRoom(Board& board, Services& services);

    forms::MenuItem backColorItem;    // "背景颜色"
    forms::MenuItem backPictureItem;  // "背景图案"
    forms::MenuItem textColorItem;    // "文字颜色"
    forms::MenuItem textFontItem;     // "文字字体"
    forms::MenuItem helpItem;         // "帮 助", the help page
    forms::MenuItem aboutItem;        // "关 于", the About box
    forms::MenuItem codeModeItem;     // "五笔编码输入": letters type five-stroke codes
    AboutForm about;
    PictureChooserForm pictureChooser;

    // Start-up: the stored picture, colours and font.
    void Load();
    // The stored background picture on the board (none when unset).
    void RestoreStoredPicture();

    // --- handlers ---
    void OnBackColor();
    void OnTextColor();
    void OnTextFont();
    void OnBackPicture();
    void OnHelp();
    void OnAbout();
    void OnCodeMode();
    // Closes the About box and the picture chooser if they are loaded.
    void CloseWindows();

private:
    // Stores one appearance value; a store that refuses it is told once.
    void Store(std::wstring_view key, std::wstring_view value);

    Board& board_;
    Services& services_;
};

}  // namespace quorlax
