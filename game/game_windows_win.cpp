// The game room's windows.
#include "game/game_windows_win.h"

#include "forms/main_window_ids_win.h"

namespace quorlax::win {

void LaterSound::PlayHit() {
    if (!window_) {
        sound_.PlayHit();
        return;
    }
    if (!pending_) pending_ = PostMessageW(window_, kPlayHitMessage, 0, 0) != FALSE;
    if (!pending_) sound_.PlayHit();  // the queue is full: play it now
}

void LaterSound::Play() {
    if (!pending_) return;
    pending_ = false;
    sound_.PlayHit();
}

GameWindows::GameWindows(GameRoom& room, Board& board, LaterSound& sound, forms::Painter& painter)
    : room_(room), sound_(sound), typing_box_(room.typingBox, painter) {
    flash_ = room.hitFlash;
    board.scene.Add(flash_, forms::Layer::Shots);
}

void GameWindows::Attach(const forms::MainWindowParts& main) {
    instance_ = main.instance;
    window_ = main.window;
    after_event_ = main.afterEvent;
    sound_.Start(window_);
    room_.onHitFlash = [this](float left, float top) { ShowFlash(left, top); };
    typing_box_.AfterChange = main.afterEvent;
    main.chain.Add(this);
    main.chain.Add(&typing_box_);
}

void GameWindows::AfterFirstFrame() {
    if (!typing_box_.Handle()) typing_box_.Create(instance_, window_);
}

void GameWindows::Detach() {
    KillTimer(window_, kFlashTimerId);
    sound_.Stop();
    room_.onHitFlash = nullptr;
}

bool GameWindows::Filter(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    result = 0;
    if (msg == kPlayHitMessage) {
        sound_.Play();
        return true;
    }
    if (msg == WM_TIMER && wp == kFlashTimerId) {
        KillTimer(window_, kFlashTimerId);
        if (after_event_) after_event_();
        return true;
    }
    return false;
}

void GameWindows::ShowFlash(float left, float top) {
    // The rules show and hide the flash inside one handler; keep it on
    // screen for a moment so the player sees the hit.
    flash_.Left = left;
    flash_.Top = top;
    flash_until_ = GetTickCount() + kFlashMs;
    SetTimer(window_, kFlashTimerId, kFlashMs, nullptr);
}

void GameWindows::Sync() {
    typing_box_.Place();
    flash_.Visible = flash_until_ && static_cast<LONG>(flash_until_ - GetTickCount()) > 0;
}

HWND GameWindows::ShownBox() const {
    HWND box = typing_box_.Handle();
    return box && IsWindowVisible(box) ? box : nullptr;
}

}  // namespace quorlax::win
