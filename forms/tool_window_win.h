// The skeleton every tool window of the game shares (the hall of fame, the
// About box, the picture chooser, the practice record): a modeless window,
// topmost and owned by the main window, made when its form loads and
// destroyed when it unloads, one at a time. Tab, Enter and Escape work as in
// a dialog through the message loop's registry, and the main window's
// shortcuts never reach it; it paints into a back buffer.
//
// A window derives as `class W : public forms::ToolWindow<W, WForm>` (the
// skeleton keeps the form as form_) and provides
//   static constexpr wchar_t kFaultSource[];   its name in fault reports
//   HWND OnCreated();    makes its children; returns the one to focus
//   bool Filter(UINT, WPARAM, LPARAM, LRESULT&);  its children's and own messages
//   void Paint(HDC);     the whole client area
// and, where it has something to do there,
//   void OnDestroyed();  lets go of what its children's hosts hold
//   void Sync();         the form changed
// It calls Destroy() from its destructor, while its children's hosts live.
#pragma once

#include <windows.h>

#include <algorithm>

#include "forms/controls.h"
#include "forms/render_win.h"
#include "platform/message_loop_win.h"
#include "platform/non_copyable.h"
#include "platform/window_win.h"

namespace forms {

// Where and how a tool window appears.
struct ToolWindowLook {
    const wchar_t* className;
    const wchar_t* title;
    DWORD style;  // WS_POPUP | WS_CAPTION | WS_SYSMENU, and WS_CLIPCHILDREN over child windows
    POINT at;     // the top left corner on screen, in pixels, as designed; {-1, -1}: centred over the owner
    float width;  // the client area in twips, so that nothing is cut off at any DPI
    float height;
    int outerWidth = 0;  // pixels the designed outer width keeps; 0: from `width`
};

template <class Derived, class Form>
class ToolWindow : quorlax::NonCopyable {
public:
    ToolWindow(HINSTANCE instance, HWND owner, Form& form, Painter& painter, const ToolWindowLook& look)
        : instance_(instance), owner_(owner), form_(form), painter_(painter), look_(look) {
        form.OnLoaded = [this] { return Create(); };
        form.OnUnloaded = [this] { Destroy(); };
        form.OnChanged = [this] {
            if (hwnd_) self().Sync();
        };
        form.OnFront = [this] {
            if (hwnd_) SetForegroundWindow(hwnd_);
        };
    }
    ~ToolWindow() {
        form_.OnLoaded = nullptr;
        form_.OnUnloaded = form_.OnChanged = form_.OnFront = nullptr;
        Destroy();
    }

    HWND Handle() const { return hwnd_; }

    // The skeleton's parts a window may leave out.
    void OnDestroyed() {}
    void Sync() {}

protected:
    // Makes the window if it is not there; true when it is.
    bool Create() {
        if (hwnd_) return true;
        quorlax::win::RegisterWindowClassOf<Derived>(instance_, look_.className);
        RECT r{0, 0, painter_.Px(look_.width), painter_.Px(look_.height)};
        AdjustWindowRectEx(&r, look_.style, FALSE, WS_EX_TOPMOST);
        const int width = look_.outerWidth ? look_.outerWidth : r.right - r.left;
        const int height = r.bottom - r.top;
        const POINT at = look_.at.x < 0 ? CentredOverOwner(width, height) : look_.at;
        CreateWindowExW(WS_EX_TOPMOST, look_.className, look_.title, look_.style, at.x, at.y, width, height,
                        owner_, nullptr, instance_, &self());
        if (!hwnd_) return false;
        HWND focus = self().OnCreated();
        // Tab, Enter and Escape work as in a dialog; the main window's
        // shortcuts stay with the main window.
        quorlax::win::MessageLoop::Instance().Register(hwnd_, nullptr, true);
        SetWindowPos(hwnd_, HWND_TOPMOST, at.x, at.y, width, height, SWP_SHOWWINDOW);
        if (focus) SetFocus(focus);
        self().Sync();
        return true;
    }
    void Destroy() {
        if (!hwnd_) return;
        closing_ = true;
        DestroyWindow(hwnd_);
        closing_ = false;
    }
    // True while the window is being destroyed: the focus moves meanwhile.
    bool Closing() const { return closing_; }

    // The common tail of the window's messages, after its own Filter.
    LRESULT OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
        // A child's press may unload the form and destroy this window:
        // nothing is touched after a filter took the message.
        LRESULT result = 0;
        if (self().Filter(msg, wp, lp, result)) return result;
        switch (msg) {
            case WM_ERASEBKGND: return 1;  // the back buffer covers everything
            case WM_PAINT: quorlax::win::PaintBuffered(hwnd_, [this](HDC dc) { self().Paint(dc); }); return 0;
            case WM_PRINTCLIENT: self().Paint(reinterpret_cast<HDC>(wp)); return 0;
            case WM_CLOSE: form_.Unload(); return 0;
            default: break;
        }
        return DefWindowProcW(hwnd_, msg, wp, lp);
    }

    Derived& self() { return static_cast<Derived&>(*this); }

    HINSTANCE instance_;
    HWND owner_;
    Form& form_;
    Painter& painter_;
    HWND hwnd_ = nullptr;

private:
    // Centred over the owner, kept on its screen's work area.
    POINT CentredOverOwner(int width, int height) const {
        RECT over{};
        GetWindowRect(owner_, &over);
        MONITORINFO monitor{sizeof monitor};
        GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
        auto centred = [](LONG from, LONG to, int size, LONG low, LONG high) {
            const LONG start = (from + to - size) / 2;
            return static_cast<LONG>(std::max(low, std::min(start, high - size)));
        };
        return POINT{centred(over.left, over.right, width, monitor.rcWork.left, monitor.rcWork.right),
                     centred(over.top, over.bottom, height, monitor.rcWork.top, monitor.rcWork.bottom)};
    }

    template <class T>
    friend LRESULT CALLBACK quorlax::win::WindowProcOf(HWND, UINT, WPARAM, LPARAM);
    void OnAttach(HWND hwnd) { hwnd_ = hwnd; }
    void OnDetach() {
        quorlax::win::MessageLoop::Instance().Unregister(hwnd_);
        hwnd_ = nullptr;
        self().OnDestroyed();
    }

    ToolWindowLook look_;
    bool closing_ = false;
};

}  // namespace forms
