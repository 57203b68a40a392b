// The subclassing service's window-procedure installer.
#include "skin/install_proc_win.h"

namespace quorlax::skin::MSubclass {

LONG_PTR InstallWindowProc(HWND hwnd, WNDPROC proc) {
    return SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

}  // namespace quorlax::skin::MSubclass
