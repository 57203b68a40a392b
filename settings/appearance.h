// The settings room: the background colour, text colour and text font
// commands, the stored background picture and its chooser Form4, the help
// page and the About box Form3.
#pragma once

#include <string_view>

#include "forms/controls.h"
#include "platform/services.h"
#include "settings/form3.h"
#include "settings/form4.h"

namespace quorlax {

class Form1;

inline constexpr wchar_t kSectionRegister[] = L"register";  // settings section of the appearance
inline constexpr wchar_t kCodeHintKey[] = L"tsbm";          // "1" while the code hint is on
inline constexpr wchar_t kHelpFile[] = L"help.htm";         // the help page, beside the program
inline constexpr wchar_t kAppearanceUnsaved[] = L"外观设置无法保存，下次启动时不会保留。游戏继续。";

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
    forms::MenuItem tsbm;         // "错字提示编码": a missed cell shows its character's code
    forms::MenuItem bang;         // "帮 助", the help page
    forms::MenuItem guanyu;       // "关 于", the About box
    Form3 form3;                  // the About box
    Form4 form4;                  // the background picture chooser

    // Applies the stored background picture to the form (none when unset).
    void xuantu();
    // The stored background and text colours and the text font, at start-up.
    void ApplyStored();
    void ys_Click();
    void wzys_Click();
    void wzzt_Click();
    void tsbm_Click();
    void tt_Click();
    void bang_Click();
    void guanyu_Click();
    // Closes the About box and the picture chooser if they are loaded.
    void CloseWindows();

private:
    // Stores one appearance value; a store that refuses it is told once.
    void Store(std::wstring_view key, std::wstring_view value);

    Form1& form_;
    Services& services_;
};

}  // namespace quorlax
