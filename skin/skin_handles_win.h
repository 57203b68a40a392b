// The skin's own small owners: hooks, a window's whole-window DC, a locked
// window update; GDI objects use the shared owners.
#pragma once

#include <windows.h>

#include "platform/handles_win.h"
#include "platform/non_copyable.h"

namespace quorlax::skin {

using win::SelectGuard;
using win::UniqueBitmap;
using win::UniqueBrush;
using win::UniqueFont;
using win::UniqueMemDc;

struct HookTraits {
    static HHOOK Invalid() { return nullptr; }
    static void Close(HHOOK h) { UnhookWindowsHookEx(h); }
};
using UniqueHook = win::UniqueHandle<HHOOK, HookTraits>;

struct DisplayDcTraits {
    static HDC Invalid() { return nullptr; }
    static void Close(HDC h) { DeleteDC(h); }
};
using UniqueDisplayDc = win::UniqueHandle<HDC, DisplayDcTraits>;

// GetWindowDC/ReleaseDC as a scope: the DC covers the frame too.
class WholeWindowDc : NonCopyable {
public:
    explicit WholeWindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetWindowDC(hwnd)) {}
    ~WholeWindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// LockWindowUpdate for a scope, so a frame change shows once, complete.
class WindowUpdateLock : NonCopyable {
public:
    explicit WindowUpdateLock(HWND hwnd) : locked_(LockWindowUpdate(hwnd) != FALSE) {}
    ~WindowUpdateLock() {
        if (locked_) LockWindowUpdate(nullptr);
    }

private:
    bool locked_;
};

}  // namespace quorlax::skin
