// System libraries that the program needs only now and then: loaded on first
// use, so that start-up does not pay for them, and only from the system
// folder, so that a DLL of the same name beside the program (where a
// downloaded zip is unpacked) is never loaded in their place.
#pragma once

#include <windows.h>

namespace quorlax::win {

// The system library `dll` (a file name, no folder), loaded from the system
// folder; null when it is missing there. It stays loaded for the rest of the
// run.
HMODULE SystemLibrary(const wchar_t* dll);

// The function `name` of the system library `dll`, or null when either is
// missing.
template <class Fn>
Fn LazyFunction(const wchar_t* dll, const char* name) {
    HMODULE module = SystemLibrary(dll);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace quorlax::win
