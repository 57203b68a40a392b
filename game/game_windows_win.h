// The game room's windows: the typing box as a real edit, the hit flash's
// afterimage, and the hit sound started once the landing tick has painted.
#pragma once

#include <windows.h>

#include "core/board.h"
#include "forms/room_windows_win.h"
#include "forms/textbox_host_win.h"
#include "game/game_room.h"
#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax::win {

// The hit sound, started once the tick that asked for it has painted:
// starting a sound takes milliseconds, which the landing tick does not wait
// for. Every hit still starts it from its beginning.
class LaterSound final : public ISound {
public:
    explicit LaterSound(ISound& sound) : sound_(sound) {}
    void Start(HWND window) { window_ = window; }
    void Stop() { window_ = nullptr; }
    void PlayHit() override;
    void Play();  // the posted message arrived

private:
    ISound& sound_;
    HWND window_ = nullptr;  // where the play is posted; null: play at once
    bool pending_ = false;
};

class GameWindows final : public forms::RoomWindows, private forms::MessageFilter, NonCopyable {
public:
    GameWindows(GameRoom& room, Board& board, LaterSound& sound, forms::Painter& painter);

    void Attach(const forms::MainWindowParts& main) override;
    void Sync() override;
    HWND ShownBox() const override;
    void AfterFirstFrame() override;
    void Detach() override;

    HWND TypingBox() const { return typing_box_.Handle(); }

private:
    static constexpr DWORD kFlashMs = 120;  // how long the hit flash stays
    bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    void ShowFlash(float left, float top);

    GameRoom& room_;
    LaterSound& sound_;
    forms::TextBoxHost typing_box_;
    forms::Picture flash_;  // the hit flash's afterimage, drawn over the shots
    DWORD flash_until_ = 0;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    std::function<void()> after_event_;
};

}  // namespace quorlax::win
