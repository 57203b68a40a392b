// The battle panel's controls as real child windows of the main window: the
// option buttons as BUTTON windows, the push buttons through the button
// host and the address box through the text-box host, in the panel's colours. The panel
// itself and its labels are drawn with the main window's scene.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forms/button_host_win.h"
#include "forms/message_chain_win.h"
#include "forms/render_win.h"
#include "forms/textbox_host_win.h"
#include "net/battle_room.h"
#include "platform/non_copyable.h"

namespace quorlax::win {

// Control ids of the panel's windows, so that tests and automation find
// them with GetDlgItem.
enum BattlePanelId : int {
    kHostOptionId = 5201,
    kJoinOptionId,
    kChineseOptionId,
    kEnglishOptionId,
    kDigitsOptionId,
    kConnectButtonId,
    kLeaveButtonId,
    kDisconnectButtonId,
    kStartButtonId,
    kAddressBoxId,
};

class BattlePanelWin final : public forms::MessageFilter, NonCopyable {
public:
    // Creates the windows, hidden, as children of `parent`.
    BattlePanelWin(HINSTANCE instance, HWND parent, BattleRoom& room, forms::Painter& painter);
    ~BattlePanelWin() override;

    // Brings the windows up to date with the models: place, shown, enabled,
    // caption, selection; the keyboard focus leaves a control that goes.
    void Sync();
    // The parent's WM_COMMAND and colour messages for these windows.
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

    std::function<void()> AfterClick;  // the window catches up with the models

private:
    struct Option {
        OptionButton* model;
        HWND hwnd = nullptr;
        std::wstring caption;  // as shown
        RECT placed{};
    };
    void Create(Option& o, int id);
    bool Owns(HWND hwnd) const;

    HINSTANCE instance_;
    HWND parent_;
    forms::Painter& painter_;
    std::vector<Option> options_;
    std::vector<std::unique_ptr<forms::ButtonHost>> commands_;
    forms::TextBoxHost address_box_;
};

}  // namespace quorlax::win
