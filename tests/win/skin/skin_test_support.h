// Test windows of the skin tests' own, message pumping, and input played
// from a helper thread while the test thread runs the message loop.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "platform/non_copyable.h"

namespace quorlax::skin::test {

// The game's main window as the skin serves it: its style and outer size.
inline constexpr DWORD kGameStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
inline constexpr int kGameWidth = 814, kGameHeight = 586;

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

// Runs wait() between looks until pred() holds or the time is up; whether
// it held.
inline bool PollUntil(const std::function<bool()>& pred, int timeout_ms, const std::function<void()>& wait) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() >= end) return false;
        wait();
    }
    return true;
}

// Pumps until pred() holds or the time is up; whether it held.
inline bool PumpUntil(const std::function<bool()>& pred, int timeout_ms = 5000) {
    return PollUntil(pred, timeout_ms, [] { Pump(5); });
}

// Runs `script` on a helper thread while this thread pumps messages (so a
// modal loop started by the script's input runs here); false on timeout.
// A script that gives up (a key or a click lost under load) may leave a
// drop-down open or the button held in a drag, and their modal loops would
// hold this thread for good: once it has had a moment to return, the menu
// is cancelled and the button let go.
inline bool RunScript(const std::function<void()>& script, int timeout_ms = 20000) {
    std::atomic<bool> done{false}, returned{false};
    const DWORD pumping = GetCurrentThreadId();
    std::thread helper([&] {
        script();
        done = true;
        for (int i = 0; i < 500 && !returned; ++i) {
            Sleep(20);
            if (i < 25 || returned) continue;
            GUITHREADINFO info{sizeof info};
            if (GetGUIThreadInfo(pumping, &info) && (info.flags & GUI_INMENUMODE) && info.hwndMenuOwner)
                PostMessageW(info.hwndMenuOwner, WM_CANCELMODE, 0, 0);
            if (GetAsyncKeyState(VK_LBUTTON) & 0x8000) {
                INPUT up{};
                up.type = INPUT_MOUSE;
                up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
                SendInput(1, &up, sizeof up);
            }
        }
    });
    bool finished = PumpUntil([&] { return done.load(); }, timeout_ms);
    returned = true;
    helper.join();
    Pump(20);
    return finished;
}

// Polls from a helper thread (no pumping) until pred() or the time is up.
inline bool WaitFor(const std::function<bool()>& pred, int timeout_ms = 5000) {
    return PollUntil(pred, timeout_ms, [] { Sleep(10); });
}

// Presses and releases keys through the system's input queue, in order:
// {VK_MENU, true}, {'A', true}, {'A', false}, {VK_MENU, false}.
inline void Keys(std::initializer_list<std::pair<WORD, bool>> strokes) {
    std::vector<INPUT> in;
    for (auto [key, down] : strokes) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        i.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        in.push_back(i);
    }
    SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

// One key pressed and released.
inline void Tap(WORD key) { Keys({{key, true}, {key, false}}); }

// Moves the pointer to a screen point, as a mouse would.
inline void MouseTo(int x, int y) {
    SetCursorPos(x, y);
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &i, sizeof(INPUT));
}

// Under Wine the pointer must be moved by the thread that owns the windows
// (a move from another thread leaves stale pointer events behind): a helper
// thread posts this to one of that thread's windows, whose procedure calls
// MouseTo. wParam and lParam: the screen point.
inline constexpr UINT kMoveMouseMessage = WM_APP + 20;

// Whether the pointer is at a screen point.
inline bool CursorAt(int x, int y) {
    POINT p{};
    GetCursorPos(&p);
    return p.x == x && p.y == y;
}

inline void MouseToVia(HWND owner_window, int x, int y) {
    PostMessageW(owner_window, kMoveMouseMessage, static_cast<WPARAM>(x), static_cast<LPARAM>(y));
    WaitFor([&] { return CursorAt(x, y); }, 2000);
}

// Whether a drop-down menu is on the screen.
inline bool MenuShown() {
    HWND menu = FindWindowW(L"#32768", nullptr);
    return menu && IsWindowVisible(menu);
}

// Presses or releases the left button where the pointer is.
inline void LeftButton(bool down) {
    INPUT i{};
    i.type = INPUT_MOUSE;
    i.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &i, sizeof(INPUT));
}

// A point given relative to a window's top-left corner, on the screen.
inline POINT OnScreen(HWND hwnd, int x, int y) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return POINT{r.left + x, r.top + y};
}

// A top-level window whose answers the test decides; it logs every message.
class TestWindow : NonCopyable {
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

    HWND hwnd() const { return hwnd_; }
    // Pumps until all input sent before has been handled: a key of no
    // meaning queues up behind it and is seen last. The window must have
    // the keyboard focus.
    bool AwaitInput() {
        auto ups = [&] {
            int n = 0;
            for (const Logged& l : log) n += l.msg == WM_KEYUP && l.wp == VK_F24;
            return n;
        };
        const int before = ups();
        Tap(VK_F24);
        return PumpUntil([&] { return ups() > before; }, 2000);
    }
    // Pumps until all messages posted before have been handled.
    bool AwaitPosted() {
        constexpr UINT kMarker = WM_APP + 21;
        const int before = Count(kMarker);
        PostMessageW(hwnd_, kMarker, 0, 0);
        return PumpUntil([&] { return Count(kMarker) > before; }, 2000);
    }
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
        if (msg == kMoveMouseMessage) {
            MouseTo(static_cast<int>(wp), static_cast<int>(lp));
            return 0;
        }
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
