// Tests' build only: the skin's window-procedure installer and property
// writer, linked in place of the product's, which a test can make refuse.
#include "win/skin/refused_subclass_win.h"

#include <utility>

#include "skin/install_proc_win.h"

namespace quorlax::skin {
namespace {

int g_refusals = 0;             // RefusedSubclassing objects alive
std::string g_refusedProperty;  // the name a RefusedProperty refuses, or empty

}  // namespace

test::RefusedSubclassing::RefusedSubclassing() { ++g_refusals; }
test::RefusedSubclassing::~RefusedSubclassing() { --g_refusals; }

test::RefusedProperty::RefusedProperty(std::string name) { g_refusedProperty = std::move(name); }
test::RefusedProperty::~RefusedProperty() { g_refusedProperty.clear(); }

LONG_PTR MSubclass::InstallWindowProc(HWND hwnd, WNDPROC proc) {
    if (g_refusals > 0) return 0;
    return SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc));
}

bool MSubclass::SetWindowProperty(HWND hwnd, const char* name, HANDLE value) {
    if (!g_refusedProperty.empty() && g_refusedProperty == name) return false;
    return SetPropA(hwnd, name, value) != FALSE;
}

}  // namespace quorlax::skin
