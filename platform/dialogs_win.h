// The standard colour, font and open-file dialogs, with the titles the game
// gives them.
#pragma once

#include <windows.h>

#include "platform/services.h"

namespace quorlax::win {

class CommonDialogs final : public IDialogs {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    std::optional<Color> PickColor(std::wstring_view title, Color initial) override;
    std::optional<std::wstring> PickFont(std::wstring_view title, const Font& initial) override;
    std::optional<std::wstring> OpenFile(std::wstring_view title, std::wstring_view filter_name,
                                         std::wstring_view pattern) override;

private:
    HWND owner_ = nullptr;
    COLORREF custom_[16] = {};  // the dialog's custom colours, kept for the run
};

}  // namespace quorlax::win
