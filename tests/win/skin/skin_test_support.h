// Test windows of the skin tests' own, message pumping, and input played
// from a helper thread while the test thread runs the message loop.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

namespace quorlax::skin::test {

// Runs the message loop for a while (timers, posted and input messages).
inline void Pump(int ms) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    do {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
    } while (std::chrono::steady_clock::now() < end);
}

// Pumps until pred() holds or the time is up; whether it held.
inline bool PumpUntil(const std::function<bool()>& pred, int timeout_ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        Pump(5);
    }
    return true;
}

// Runs `script` on a helper thread while this thread pumps messages (so a
// modal loop started by the script's input runs here); false on timeout.
inline bool RunScript(const std::function<void()>& script, int timeout_ms = 20000) {
    std::atomic<bool> done{false};
    std::thread helper([&] {
        script();
        done = true;
    });
    bool finished = PumpUntil([&] { return done.load(); }, timeout_ms);
    helper.join();
    Pump(20);
    return finished;
}

// Polls from a helper thread (no pumping) until pred() or the time is up.
inline bool WaitFor(const std::function<bool()>& pred, int timeout_ms = 5000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        Sleep(10);
    }
    return true;
}

// A top-level window whose answers the test decides; it logs every message.
class TestWindow {
public:
    struct Logged {
        UINT msg;
        WPARAM wp;
        LPARAM lp;
    };

    TestWindow(DWORD style, int width, int height, const wchar_t* title = L"Skin test", int x = 40,
               int y = 40) {
        static const ATOM atom = [] {
            WNDCLASSEXW wc{};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = L"QuorlaxSkinTestWindow";
            return RegisterClassExW(&wc);
        }();
        hwnd_ = CreateWindowExW(0, MAKEINTATOM(atom), title, style, x, y, width, height, nullptr, nullptr,
                                GetModuleHandleW(nullptr), this);
    }
    ~TestWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    int Count(UINT msg) const {
        int n = 0;
        for (const Logged& l : log)
            if (l.msg == msg) ++n;
        return n;
    }
    void Show() {
        ShowWindow(hwnd_, SW_SHOW);
        SetForegroundWindow(hwnd_);
        UpdateWindow(hwnd_);
        Pump(50);
    }

    // The test's answer to a message; nothing means DefWindowProc answers.
    std::function<std::optional<LRESULT>(UINT, WPARAM, LPARAM)> OnMessage;
    std::vector<Logged> log;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
        if (msg == WM_NCCREATE)
            SetWindowLongPtrW(
                hwnd, GWLP_USERDATA,
                reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
        auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self) {
            self->log.push_back({msg, wp, lp});
            if (msg == WM_NCDESTROY) {
                self->hwnd_ = nullptr;
                SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
            } else if (self->OnMessage) {
                if (auto answer = self->OnMessage(msg, wp, lp)) return *answer;
            }
        }
        return DefWindowProcW(hwnd, msg, wp, lp);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace quorlax::skin::test
