// Functions of system libraries that the program needs only now and then:
// loaded on first use, so that start-up does not pay for loading the
// library (under Wine, shell32 alone costs a good part of a start-up).
#pragma once

#include <windows.h>

namespace quorlax::win {

// The function `name` of the system library `dll`, or null when either is
// missing. The library stays loaded for the rest of the run.
template <class Fn>
Fn LazyFunction(const wchar_t* dll, const char* name) {
    HMODULE module = LoadLibraryW(dll);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

}  // namespace quorlax::win
