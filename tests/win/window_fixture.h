// A real main window over fake services, pumped like the program's own
// message loop; shared by the Win32 window tests.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <functional>
#include <memory>

#include "app/main_window_win.h"
#include "drive/drive_win.h"
#include "platform/message_loop_win.h"
#include "support/fakes.h"

namespace quorlax::win {

// Runs the program's own message loop until pred() holds; false if it still
// does not after timeout_ms, a bound meant for a loaded machine, not a limit.
inline bool PumpUntil(const std::function<bool()>& pred, int timeout_ms = 10000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        MessageLoop::Instance().Pump(std::chrono::milliseconds(5));
    }
    return true;
}

// Nothing waits in this thread's queue: all that was posted so far, and every
// timer that was due, has been handled.
inline bool QueueEmpty() {
    MSG msg;
    return !PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
}

// Pumps until the queue is empty.
inline bool PumpPending() { return PumpUntil(QueueEmpty); }

// A control's rectangle in its window, in pixels at the screen's DPI.
inline RECT PixelsOf(const forms::Control& c) {
    const auto px = drive::TwipsToPixels;
    return RECT{px(c.FormLeft()), px(c.FormTop()), px(c.FormLeft() + c.Width), px(c.FormTop() + c.Height)};
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeWindow(fakes_.services);
        PumpPending();
    }
    // Makes the main window over `services` (the fakes, or some real ones).
    void MakeWindow(Services& services) {
        fakes_.random.SetFallback({0.5, 0.0, 0.25, 0.75, 0.1, 0.9, 0.3, 0.6, 0.45});
        window_ = std::make_unique<MainWindow>(GetModuleHandleW(nullptr), services, fakes_.practiceFiles);
        ASSERT_TRUE(window_->Create());
        hwnd_ = window_->Handle();
    }
    void TearDown() override {
        window_.reset();
        PumpPending();
    }
    void Choose(forms::MenuItem& item) {
        SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(window_->Menus().CommandOf(&item), 0), 0);
    }
    std::wstring EditText() {
        wchar_t buf[64] = {};
        GetWindowTextW(window_->Game().TypingBox(), buf, 64);
        return buf;
    }
    void TypeChars(const std::wstring& s, UINT msg = WM_CHAR) {
        for (wchar_t c : s) SendMessageW(window_->Game().TypingBox(), msg, c, 1);
    }
    Program& form() { return window_->Form(); }
    // Pixels of the window as painted (its own DC, same process).
    drive::Capture Painted() {
        window_->AfterEvent();
        return drive::PrintClient(hwnd_);
    }

    test::FakeServices fakes_;
    std::unique_ptr<MainWindow> window_;
    HWND hwnd_ = nullptr;
};

}  // namespace quorlax::win
