// The skin's own small owners: hooks, display DCs, a locked window update;
// GDI objects and window DCs use the shared owners.
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
using win::WindowDc;

using UniqueHook = win::UniqueHandle<HHOOK, win::NullHandleTraits<HHOOK, UnhookWindowsHookEx>>;
using UniqueDisplayDc = win::UniqueHandle<HDC, win::NullHandleTraits<HDC, DeleteDC>>;

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
