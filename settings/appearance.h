// The appearance room: the background colour, text colour and text font
// commands, and the stored background picture.
#pragma once

#include "forms/controls.h"
#include "platform/services.h"

namespace quorlax {

class Form1;

inline constexpr wchar_t kSectionRegister[] = L"register";  // settings section of the appearance

class AppearanceRoom {
public:
    AppearanceRoom(Form1& form, Services& services);
    AppearanceRoom(const AppearanceRoom&) = delete;
    AppearanceRoom& operator=(const AppearanceRoom&) = delete;

    forms::MenuItem mnuSettings;  // "设 置"
    forms::MenuItem ys;           // "背景颜色"
    forms::MenuItem tt;           // "背景图案"
    forms::MenuItem wzys;         // "文字颜色"
    forms::MenuItem wzzt;         // "文字字体"

    // Applies the stored background picture to the form (none when unset).
    void xuantu();
    // The stored background and text colours and the text font, at start-up.
    void ApplyStored();
    void ys_Click();
    void wzys_Click();
    void wzzt_Click();

private:
    Form1& form_;
    Services& services_;
};

}  // namespace quorlax
