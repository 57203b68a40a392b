// The main window: hosts Form1, renders its controls into a back buffer,
// runs its timers and menus and carries the typing box as a real EDIT.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/form1.h"
#include "forms/menu_win.h"
#include "forms/render_win.h"
#include "platform/handles_win.h"
#include "scores/form2_win.h"

namespace quorlax::win {

inline constexpr wchar_t kMainWindowClass[] = L"QuorlaxMainWindow";

class MainWindow {
public:
    MainWindow(HINSTANCE instance, Services& services);
    ~MainWindow();
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the (hidden) window and runs the form's load sequence; false
    // when the program cannot start, after the user has been told why.
    bool Create();
    HWND Handle() const { return hwnd_; }
    Form1& Form() { return form_; }
    forms::MenuBarWin& Menus() { return menus_; }
    HWND TypingBox() const { return edit_; }
    HACCEL Accelerators() const { return menus_.Accelerators(); }
    HallOfFameWindow* HallOfFame() const { return hof_.get(); }

    // Redraws the back buffer from the models and paints it now; what every
    // event ends with (public for tests and the benchmark).
    void RenderNow();

private:
    static constexpr UINT_PTR kFlashTimer = 100;  // ends the hit-flash afterimage
    static constexpr DWORD kFlashMs = 120;

    template <class T>
    friend LRESULT CALLBACK WindowProcOf(HWND, UINT, WPARAM, LPARAM);
    void OnAttach(HWND hwnd);
    void OnDetach();
    static LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnEditMessage(UINT msg, WPARAM wp, LPARAM lp);

    void OnCreate();
    void OnTimer(UINT_PTR id);
    void OnCommand(UINT id, UINT code, HWND control);
    void OnPaint();
    void OnTypingBoxChanged();
    void InsertCommittedText();  // what the input method committed, as one edit
    void AfterEvent();           // applies the models to the window after a handler ran
    void BindTimers();
    void CreateTypingBox();
    void PlaceTypingBox();
    void PushTypingBoxText(const std::wstring& text);
    void ResizeBackBuffer();
    // One thing drawn in a frame: where, what it looks like, how to draw it.
    struct SceneItem {
        RECT bounds;
        std::uint64_t signature;
        const forms::Control* control;
        enum Kind { kLabel, kPicture, kPanel, kBackground } kind;
    };
    void Draw(HDC dc, const SceneItem& item);
    void BuildScene(std::vector<SceneItem>& scene);
    forms::Timer* TimerById(UINT_PTR id);

    HINSTANCE instance_;
    Form1 form_;
    HWND hwnd_ = nullptr;
    HWND edit_ = nullptr;  // Text1; a child, destroyed with the window
    RECT edit_rect_{};     // where the typing box was last placed
    WNDPROC edit_default_proc_ = nullptr;
    std::unique_ptr<forms::Painter> painter_;
    forms::MenuBarWin menus_;
    UniqueMemDc back_dc_;
    UniqueBitmap back_bitmap_;
    HGDIOBJ back_old_ = nullptr;
    int back_w_ = 0, back_h_ = 0;
    bool pushing_text_ = false;  // a text set by the game, not typed
    std::wstring shown_caption_;
    std::unique_ptr<HallOfFameWindow> hof_;  // Form2 on screen; goes before the form and painter
    std::vector<SceneItem> scene_;           // the last frame drawn
    bool drawn_once_ = false;
    forms::Color drawn_back_color_ = 0;
    forms::Picture flash_;  // the hit flash's afterimage
    DWORD flash_until_ = 0;
    float flash_left_ = 0, flash_top_ = 0;
};

}  // namespace quorlax::win
