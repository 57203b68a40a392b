// The subclassing service's window-procedure installer and property writer.
#include "skin/install_proc_win.h"

namespace quorlax::skin::MSubclass {

LONG_PTR InstallWindowProc(HWND hwnd, WNDPROC proc) {
    return SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

bool SetWindowProperty(HWND hwnd, const char* name, HANDLE value) {
    return SetPropA(hwnd, name, value) != FALSE;
}

}  // namespace quorlax::skin::MSubclass
