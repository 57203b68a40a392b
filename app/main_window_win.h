// The main window: hosts the program, draws its board, runs its timers and
// menus, and lends its rooms' windows what they need.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "forms/menu_win.h"
#include "forms/message_chain_win.h"
#include "forms/render_win.h"
#include "forms/room_windows_win.h"
#include "forms/scene_win.h"
#include "forms/timer_host_win.h"
#include "game/game_windows_win.h"
#include "net/battle_windows_win.h"
#include "platform/non_copyable.h"
#include "practice/practice_windows_win.h"
#include "scores/scores_windows_win.h"
#include "settings/settings_windows_win.h"
#include "skin/setup_skin_win.h"

namespace quorlax::win {

inline constexpr wchar_t kMainWindowClass[] = L"QuorlaxMainWindow";

class MainWindow : NonCopyable {
public:
    static constexpr wchar_t kFaultSource[] = L"MainWindow";

    MainWindow(HINSTANCE instance, Services& services, PracticeFiles files);
    ~MainWindow();

    // Creates the (hidden) window and runs the program's start-up; false
    // when the program cannot start, after the user has been told why.
    bool Create();
    HWND Handle() const { return hwnd_; }
    Program& Form() { return program_; }
    forms::MenuBarWin& Menus() { return menus_; }
    const forms::TimerHost& Timers() const { return timers_; }
    const forms::SceneView& View() const { return view_; }
    // The chain the window's messages walk before its own handlers.
    forms::MessageChain& Chain() { return chain_; }
    // The painted caption and menu bar; null where its pictures are missing.
    skin::cNeoCaption* Skin() const { return caption_.get(); }
    // The rooms' windows (for tests and the benchmark).
    GameWindows& Game() { return game_; }
    PracticeWindows& Practice() { return practice_; }
    ScoresWindows& Scores() { return scores_; }
    SettingsWindows& Settings() { return settings_; }
    BattleWindows& Battle() { return battle_; }

    // Brings the window up to date with the models and paints what changed:
    // what every event ends with (public for tests and the benchmark).
    void AfterEvent();

private:
    template <class T>
    friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
    void OnAttach(HWND hwnd) { hwnd_ = hwnd; }
    void OnDetach() { hwnd_ = nullptr; }
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    void OnCreate();
    void OnDestroy();
    void AttachSkin();
    // The visible box of a room that takes the keyboard, if any.
    HWND ShownBox() const;

    // The painted frame's part of the chain: the skin hands mouse messages
    // over its menu row on as client messages above the client area; the
    // window has nothing there.
    class FrameLink final : public forms::MessageFilter {
    public:
        bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    };

    HINSTANCE instance_;
    LaterSound later_sound_;
    Services services_;  // the program's services, the sound through later_sound_
    Program program_;
    HWND hwnd_ = nullptr;
    forms::Painter painter_;
    forms::MenuBarWin menus_;
    forms::TimerHost timers_;
    forms::MessageChain chain_;
    forms::SceneView view_;
    FrameLink frame_link_;
    std::unique_ptr<skin::cNeoCaption> caption_;  // the painted frame, from load to close
    // The rooms' windows; they go before the program and the painter.
    GameWindows game_;
    PracticeWindows practice_;
    ScoresWindows scores_;
    SettingsWindows settings_;
    BattleWindows battle_;
    std::vector<forms::RoomWindows*> rooms_;
    std::wstring shown_caption_;
    HWND shown_box_ = nullptr;  // the box shown after the last event
    bool painted_ = false;      // the first frame is on screen
};

}  // namespace quorlax::win
