// The main window: hosts the program, draws its board, runs its timers and menus,
// and carries the typing box as a real edit control.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "app/program.h"
#include "forms/menu_win.h"
#include "forms/message_chain_win.h"
#include "forms/render_win.h"
#include "forms/scene_win.h"
#include "forms/textbox_host_win.h"
#include "forms/timer_host_win.h"
#include "net/battle_panel_win.h"
#include "practice/practice_panel_win.h"
#include "practice/record_form_win.h"
#include "scores/hall_of_fame_window_win.h"
#include "skin/setup_skin_win.h"
#include "settings/settings_windows_win.h"

namespace quorlax::win {

inline constexpr wchar_t kMainWindowClass[] = L"QuorlaxMainWindow";

class MainWindow {
public:
    static constexpr wchar_t kFaultSource[] = L"MainWindow";

    MainWindow(HINSTANCE instance, Services& services, IHistoryFile& history);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the (hidden) window and runs the form's load sequence; false
    // when the program cannot start, after the user has been told why.
    bool Create();
    HWND Handle() const { return hwnd_; }
    Program& Form() { return form_; }
    forms::MenuBarWin& Menus() { return menus_; }
    HWND TypingBox() const { return typing_box_.Handle(); }
    HWND PracticeBox() const { return practice_panel_.Box(); }
    HallOfFameWindow* HallOfFame() const { return hof_.get(); }
    SettingsWindows* Settings() const { return settings_.get(); }
    RecordWindow* Record() const { return record_.get(); }  // null until first shown
    const forms::TimerHost& Timers() const { return timers_; }
    const forms::SceneView& View() const { return view_; }
    // The chain the window's messages walk before its own handlers.
    forms::MessageChain& Chain() { return chain_; }
    // The painted caption and menu bar; null where its pictures are missing.
    skin::cNeoCaption* Skin() const { return caption_.get(); }

    // Brings the window up to date with the models and paints what changed:
    // what every event ends with (public for tests and the benchmark).
    void AfterEvent();

private:
    static constexpr DWORD kFlashMs = 120;  // how long the hit flash stays

    // The hit sound, started once the tick that asked for it has painted:
    // starting a sound takes milliseconds, which the landing tick does not
    // wait for. Every hit still starts it from its beginning.
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

    template <class T>
    friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
    void OnAttach(HWND hwnd);
    void OnDetach();
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);

    void OnCreate();
    void OnDestroy();
    void ShowFlash(float left, float top);
    void AttachSkin();
    void ShowRecord();

    // The painted frame's part of the chain: the skin hands mouse messages
    // over its menu row on as client messages above the client area; the
    // window has nothing there.
    class FrameLink final : public forms::MessageFilter {
    public:
        bool Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
    };
    // The visible one of the typing box and the practice box, if any.
    HWND ShownBox() const;

    HINSTANCE instance_;
    LaterSound later_sound_;
    Services services_;  // the program's services, the sound through later_sound_
    Program form_;
    HWND hwnd_ = nullptr;
    forms::Painter painter_;
    forms::MenuBarWin menus_;
    forms::TimerHost timers_;
    forms::TextBoxHost typing_box_;    // the game's typing box
    PracticePanelWin practice_panel_;  // the practice box and the chart link
    forms::MessageChain chain_;
    forms::SceneView view_;
    FrameLink frame_link_;
    std::unique_ptr<skin::cNeoCaption> caption_;  // the painted frame, from load to close
    std::unique_ptr<HallOfFameWindow> hof_;       // goes before the program and the painter
    std::unique_ptr<SettingsWindows> settings_;   // the About box and the chooser; likewise
    std::unique_ptr<RecordWindow> record_;        // the practice record on screen, made when first shown
    std::unique_ptr<BattlePanelWin> battle_panel_;  // the battle panel's buttons and address box
    std::wstring shown_caption_;
    bool battle_shown_ = false;  // the battle panel was shown after the last event
    HWND shown_box_ = nullptr;   // the box shown after the last event
    forms::Picture flash_;  // the hit flash's afterimage, drawn over the shots
    DWORD flash_until_ = 0;
};

}  // namespace quorlax::win
