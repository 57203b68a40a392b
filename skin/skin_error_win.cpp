// Numbered skin errors and the failure report of the exception barrier.
#include "skin/skin_error_win.h"

#include <utility>

namespace quorlax::skin {
namespace {

constexpr std::uint32_t kErrorBase = 0x80040000u;
constexpr long kLargestPlainCode = 1000;
constexpr wchar_t kSourceSuffix[] = L".WindowProc";

std::function<void(const std::wstring&)>& FailureHook() {
    static std::function<void(const std::wstring&)> hook;
    return hook;
}

// The executable's name without folder and extension, as the error source starts.
std::wstring ExeName() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, n);
    size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}

std::string Narrow(const std::wstring& s) {
    int n =
        WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Widen(const char* s) {
    int n = MultiByteToWideChar(CP_UTF8, 0, s, -1, nullptr, 0);
    if (n <= 1) return {};
    std::wstring out(static_cast<size_t>(n - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s, -1, out.data(), n);
    return out;
}

}  // namespace

SkinError::SkinError(std::int32_t number, std::wstring source, std::wstring description)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      what_(Narrow(description_)) {}

std::wstring DescriptionOf(long code) {
    switch (code) {
        case ErrorCode::kCantSubclass: return L"Can't subclass window";
        case ErrorCode::kAlreadyHandled: return L"Message already handled by another class";
        case ErrorCode::kInvalidWindow: return L"Invalid window";
        case ErrorCode::kExternalWindow: return L"Can't modify external window";
        case ErrorCode::kTooManyTimers: return L"No more than 10 timers allowed per class";
        case ErrorCode::kCantCreateTimer: return L"Can't create system timer";
        default: return L"";
    }
}

void RaiseError(long code) {
    if (code <= kLargestPlainCode) throw SkinError(static_cast<std::int32_t>(code), L"", DescriptionOf(code));
    throw SkinError(static_cast<std::int32_t>(kErrorBase | static_cast<std::uint32_t>(code)),
                    ExeName() + kSourceSuffix, DescriptionOf(code));
}

void SetFailureHook(std::function<void(const std::wstring&)> hook) { FailureHook() = std::move(hook); }

void ReportCaughtFailure(const wchar_t* where) noexcept {
    try {
        std::wstring text = std::wstring(where) + L": ";
        try {
            throw;
        } catch (const SkinError& e) {
            wchar_t number[16];
            wsprintfW(number, L"&H%08X", static_cast<unsigned>(e.Number()));
            text += e.Source() + L" error " + number + L": " + e.Description();
        } catch (const std::exception& e) {
            text += Widen(e.what());
        } catch (...) {
            text += L"unknown exception";
        }
        OutputDebugStringW((text + L"\n").c_str());
        if (FailureHook()) FailureHook()(text);
    } catch (...) {
        OutputDebugStringW(L"skin: a failure could not be reported\n");
    }
}

}  // namespace quorlax::skin
