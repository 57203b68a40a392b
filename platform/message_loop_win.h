// The program's message loop and its registry of top-level windows: each
// window's keys are pre-translated for that window alone (its accelerators,
// its dialog keys), never for another.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <vector>

namespace quorlax::win {

class MessageLoop {
public:
    static MessageLoop& Instance();

    // A top-level window whose keys the loop pre-translates: its shortcuts
    // (only for messages to it or its children) and, if asked, the dialog
    // keys Tab, Enter and Escape. Registering again replaces the entry.
    void Register(HWND window, HACCEL accelerators, bool dialog_keys);
    void Unregister(HWND window);
    // True when the message was a shortcut or dialog key and has been handled.
    bool PreTranslate(MSG& msg);
    // Runs until WM_QUIT or Quit; returns the exit code.
    int Run();
    // Ends Run once the message being handled returns, and posts WM_QUIT.
    // A modal loop of the system (a menu being tracked) may take the WM_QUIT
    // for itself; Run ends all the same.
    void Quit(int code);
    // Runs what is queued, for at least `duration`; false when it took a
    // WM_QUIT (the loop's end) instead.
    bool Pump(std::chrono::milliseconds duration);

private:
    struct Entry {
        HWND window;
        HACCEL accelerators;
        bool dialog_keys;
    };
    void Dispatch(MSG& msg);
    std::vector<Entry> entries_;
    std::optional<int> quit_;  // set by Quit
};

}  // namespace quorlax::win
