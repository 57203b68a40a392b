// Tests' build only: the skin's window-procedure installer, linked in place
// of the product's, which a test can make refuse.
#include "win/skin/refused_subclass_win.h"

#include "skin/install_proc_win.h"

namespace quorlax::skin {
namespace {

int g_refusals = 0;  // RefusedSubclassing objects alive

}  // namespace

test::RefusedSubclassing::RefusedSubclassing() { ++g_refusals; }
test::RefusedSubclassing::~RefusedSubclassing() { --g_refusals; }

LONG_PTR MSubclass::InstallWindowProc(HWND hwnd, WNDPROC proc) {
    if (g_refusals > 0) return 0;
    return SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

}  // namespace quorlax::skin
