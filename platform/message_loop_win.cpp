// The message loop.
#include "platform/message_loop_win.h"

#include <algorithm>

namespace quorlax::win {

MessageLoop& MessageLoop::Instance() {
    static MessageLoop loop;  // one UI thread, one loop
    return loop;
}

void MessageLoop::Register(HWND window, HACCEL accelerators, bool dialog_keys) {
    Unregister(window);
    entries_.push_back({window, accelerators, dialog_keys});
}

void MessageLoop::Unregister(HWND window) {
    std::erase_if(entries_, [window](const Entry& e) { return e.window == window; });
}

bool MessageLoop::PreTranslate(MSG& msg) {
    if (!msg.hwnd) return false;
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    auto it =
        std::find_if(entries_.begin(), entries_.end(), [root](const Entry& e) { return e.window == root; });
    if (it == entries_.end()) return false;
    // Copied: translating may destroy the window and unregister it.
    const Entry entry = *it;
    if (entry.accelerators && TranslateAcceleratorW(entry.window, entry.accelerators, &msg)) return true;
    return entry.dialog_keys && IsDialogMessageW(entry.window, &msg);
}

void MessageLoop::Dispatch(MSG& msg) {
    if (PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
}

void MessageLoop::Quit(int code) {
    quit_ = code;
    PostQuitMessage(code);
}

int MessageLoop::Run() {
    quit_.reset();
    MSG msg{};
    BOOL got;
    while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) {
        Dispatch(msg);
        if (quit_) return *quit_;
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

bool MessageLoop::Pump(std::chrono::milliseconds duration) {
    const auto end = std::chrono::steady_clock::now() + duration;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) return false;
            Dispatch(msg);
        }
        auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
        if (left.count() <= 0) return true;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
}

}  // namespace quorlax::win
