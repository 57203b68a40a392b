// The exception barrier's report: once to the user, always to the log.
#include "platform/barrier_win.h"

#include <string>

#include "platform/product.h"

namespace quorlax::win {
namespace {

FaultSink& Sink() {
    static FaultSink sink = [](const std::wstring& text) {
        MessageBoxW(nullptr, text.c_str(), kProductName, MB_OK | MB_ICONERROR | MB_TASKMODAL);
    };
    return sink;
}

int faults = 0;  // the UI thread is the only one

std::wstring Widen(const char* text) {
    std::wstring out;
    int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (n > 1) {
        out.resize(static_cast<size_t>(n) - 1);
        MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
    }
    return out;
}

}  // namespace

void SetFaultSink(FaultSink sink) { Sink() = std::move(sink); }

int FaultCount() noexcept { return faults; }

void ReportFault(const wchar_t* where, const std::exception* error) noexcept {
    try {
        ReportFault(where, error ? Widen(error->what()) : std::wstring(L"unknown exception"));
    } catch (...) {
        // Nothing more can be done about a fault while reporting a fault.
    }
}

void ReportFault(const wchar_t* where, const std::wstring& what) noexcept {
    try {
        // Counted before the user is told: the message box runs a message
        // loop of its own, and a fault inside it must not open a second one.
        const bool first = faults++ == 0;
        std::wstring log = L"Quorlax: fault in " + std::wstring(where) + L": " + what + L"\n";
        OutputDebugStringW(log.c_str());
        if (first && Sink())
            Sink()(L"程序内部出错（" + std::wstring(where) + L"：" + what +
                   L"）。\n出错的操作已停止，游戏可以继续；已保存的设置和英雄榜没有受到影响。");
    } catch (...) {
        // Nothing more can be done about a fault while reporting a fault.
    }
}

}  // namespace quorlax::win
