// Per-message subclassing: listeners ask to see single messages of a window;
// the bookkeeping lives in the window's own properties.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace quorlax::skin {

// How a listener wants the message in CurrentMessage handled.
enum class EMsgResponse : std::int32_t {
    emrConsume = 0,      // the listeners alone answer; the old procedure is not called
    emrPostProcess = 1,  // the old procedure runs after the listeners
    emrPreprocess = 2,   // the old procedure runs before the listeners
};

// A listener for subclassed messages.
class ISubclass {
public:
    // The response mode for the message in CurrentMessage.
    virtual EMsgResponse MsgResponse() = 0;
    // Sets the response mode; a listener may ignore it.
    virtual void MsgResponse(EMsgResponse response) = 0;
    // Handles one message; lResult comes in with the answer so far and holds
    // this listener's answer when it returns.
    virtual void WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) = 0;

public:
    virtual ~ISubclass() = default;
};

namespace MSubclass {

// Starts subclassing for a particular message; raises 13081..13084 (13081
// also when a bookkeeping property is refused: then nothing is attached).
void AttachMessage(ISubclass* iwp, HWND hwnd, UINT iMsg);
// Stops subclassing for a particular message; nothing if it was not attached.
void DetachMessage(ISubclass* iwp, HWND hwnd, UINT iMsg);
// The message being dispatched on this thread (valid inside MsgResponse and WindowProc).
UINT CurrentMessage();
// Calls the procedure that was installed before the subclass, of the window
// whose message is being dispatched.
LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam);

// The names of the window properties holding the bookkeeping.
std::string OldProcName(HWND hwnd);                         // "h": the procedure before the first attach
std::string AttachCountName(HWND hwnd);                     // "Ch": attach requests outstanding
std::string ListenerCountName(HWND hwnd, UINT iMsg);        // "h#mC": listeners of message m
std::string ListenerName(HWND hwnd, UINT iMsg, int index);  // "h#m#i": the i-th listener (from 1)

}  // namespace MSubclass

// A stateless front for the subclassing module.
class GSubclass {
public:
    // "Start subclassing for a particular message."
    void AttachMessage(ISubclass* iwp, HWND hwnd, UINT iMsg) { MSubclass::AttachMessage(iwp, hwnd, iMsg); }
    // "Stop subclassing for a particular message."
    void DetachMessage(ISubclass* iwp, HWND hwnd, UINT iMsg) { MSubclass::DetachMessage(iwp, hwnd, iMsg); }
    // "Returns the message currently being worked on."
    UINT CurrentMessage() const { return MSubclass::CurrentMessage(); }
    // "Calls the window procedure for this handle which was installed before you added the subclass."
    LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
        return MSubclass::CallOldWindowProc(hwnd, iMsg, wParam, lParam);
    }
};

}  // namespace quorlax::skin
