// The one call that puts the subclassing service's procedure into a window.
#pragma once

#include <windows.h>

namespace quorlax::skin::MSubclass {

// Makes `proc` the window's procedure; the one it replaces, 0 when refused.
// Its definition sits alone in an object file so that the tests' build can
// link one in its place that refuses.
LONG_PTR InstallWindowProc(HWND hwnd, WNDPROC proc);

}  // namespace quorlax::skin::MSubclass
