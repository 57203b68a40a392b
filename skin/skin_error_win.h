// The numbered errors of the window-frame skin and the barrier that stops
// them at every boundary the system calls into.
#pragma once

#include <windows.h>

#include <cstdint>
#include <exception>
#include <functional>
#include <string>

namespace quorlax::skin {

// Error codes raised by the subclassing and timer services.
namespace ErrorCode {
inline constexpr long kCantSubclass = 13081;     // the window procedure cannot be replaced
inline constexpr long kAlreadyHandled = 13082;   // same listener twice on one window and message
inline constexpr long kInvalidWindow = 13083;    // the handle is not a window
inline constexpr long kExternalWindow = 13084;   // the window belongs to another process
inline constexpr long kTooManyTimers = 13651;    // every timer slot is in use
inline constexpr long kCantCreateTimer = 13652;  // the system refused a timer
}  // namespace ErrorCode

// One raised skin error: number, source and description, as the caller sees them.
class SkinError : public std::exception {
public:
    SkinError(std::int32_t number, std::wstring source, std::wstring description);
    std::int32_t Number() const { return number_; }         // 0x80040000 OR the code, or a small code as is
    const std::wstring& Source() const { return source_; }  // "<exe name>.WindowProc", or empty
    const std::wstring& Description() const { return description_; }
    const char* what() const noexcept override { return what_.c_str(); }

private:
    std::int32_t number_;
    std::wstring source_;
    std::wstring description_;
    std::string what_;
};

// Raises error `code`: above 1000 as 0x80040000 OR code with this program's
// source and the code's description; 1000 or less unchanged, no source.
[[noreturn]] void RaiseError(long code);

// The description of a code ("" for an unknown one).
std::wstring DescriptionOf(long code);

// Where a caught failure is reported besides the debugger output; the
// program may set one (an empty function removes it).
void SetFailureHook(std::function<void(const std::wstring&)> hook);

// Reports the exception being handled; call only inside a catch block.
void ReportCaughtFailure(const wchar_t* where) noexcept;

// Runs f at a boundary the system calls into: any exception is reported
// once and swallowed, so the caller goes on.
template <class F>
bool Guarded(const wchar_t* where, F&& f) noexcept {
    try {
        f();
        return true;
    } catch (...) {
        ReportCaughtFailure(where);
        return false;
    }
}

}  // namespace quorlax::skin
