// The exception barrier: every place the system calls into the program (a
// window procedure, a subclass or timer callback, a hook, a socket event)
// runs its code through Guarded, so that no C++ exception ever unwinds
// through the system's own frames.
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <string>

namespace quorlax::win {

// Tells the user about a fault; the program sets a message box, tests a
// recorder. Called for the first fault only: later ones are only logged.
using FaultSink = std::function<void(const std::wstring& text)>;
void SetFaultSink(FaultSink sink);

// Records a fault caught at `where`: logged to the debugger every time, told
// to the user once per run.
void ReportFault(const wchar_t* where, const std::exception* error) noexcept;
// The same, for a fault already caught and described elsewhere.
void ReportFault(const wchar_t* where, const std::wstring& what) noexcept;

// How many faults were caught so far (for tests and diagnostics).
int FaultCount() noexcept;

// Runs f(); a C++ exception leaving it is reported and `fallback` returned.
template <class R, class F>
R Guarded(const wchar_t* where, R fallback, F&& f) noexcept {
    try {
        return f();
    } catch (const std::exception& e) {
        ReportFault(where, &e);
    } catch (...) {
        ReportFault(where, nullptr);
    }
    return fallback;
}

template <class F>
void Guarded(const wchar_t* where, F&& f) noexcept {
    Guarded(where, 0, [&] {
        f();
        return 0;
    });
}

}  // namespace quorlax::win
