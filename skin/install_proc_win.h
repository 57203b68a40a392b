// The calls through which the subclassing service changes a window: its
// procedure and the properties that hold the service's bookkeeping.
#pragma once

#include <windows.h>

namespace quorlax::skin::MSubclass {

// Makes `proc` the window's procedure; the one it replaces, 0 when refused.
// These definitions sit alone in an object file so that the tests' build can
// link ones in their place that refuse.
LONG_PTR InstallWindowProc(HWND hwnd, WNDPROC proc);

// Sets a window property; false when refused.
bool SetWindowProperty(HWND hwnd, const char* name, HANDLE value);

}  // namespace quorlax::skin::MSubclass
