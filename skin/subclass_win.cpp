// The subclassing module: one shared dispatcher procedure, bookkeeping in
// window properties, listeners called in the order they attached.
#include "skin/subclass_win.h"

#include <mutex>
#include <unordered_map>
#include <vector>

#include "platform/non_copyable.h"
#include "skin/install_proc_win.h"
#include "skin/skin_error_win.h"

namespace quorlax::skin::MSubclass {
namespace {

// Per thread: a window of another UI thread dispatches on that thread, at
// the same time, and must neither see nor change this thread's.
thread_local UINT g_currentMessage = 0;           // the message being dispatched
thread_local WNDPROC g_currentOldProc = nullptr;  // the old procedure of the window being dispatched

std::string HandleText(HWND hwnd) {
    return std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(hwnd)));
}

LONG_PTR ReadValue(HWND hwnd, const std::string& name) {
    return reinterpret_cast<LONG_PTR>(GetPropA(hwnd, name.c_str()));
}

// False when the system refused the property (a full atom table, a window gone).
bool WriteValue(HWND hwnd, const std::string& name, LONG_PTR value) {
    return SetWindowProperty(hwnd, name.c_str(), reinterpret_cast<HANDLE>(value));
}

// A count that falls to zero leaves no property behind.
void WriteCount(HWND hwnd, const std::string& name, LONG_PTR value) {
    if (value > 0)
        WriteValue(hwnd, name, value);
    else
        RemovePropA(hwnd, name.c_str());
}

ISubclass* ListenerAt(HWND hwnd, UINT msg, LONG_PTR i) {
    return reinterpret_cast<ISubclass*>(ReadValue(hwnd, ListenerName(hwnd, msg, static_cast<int>(i))));
}

// What the dispatcher needs on every message, kept beside the properties by
// AttachMessage and DetachMessage, which alone write them: under Wine each
// property read is a round trip to the server, and the dispatcher would make
// two or more per message. The properties stay the record; attaching and
// detaching read them.
class Mirror {
public:
    // The first attach to a window: whatever was kept for an earlier window
    // with the same handle is gone.
    void Install(HWND hwnd, WNDPROC old) {
        std::lock_guard<std::mutex> lock(mutex_);
        windows_[hwnd] = Window{old, {}};
    }
    void Add(HWND hwnd, UINT msg, ISubclass* listener) {
        std::lock_guard<std::mutex> lock(mutex_);
        windows_[hwnd].listeners[msg].push_back(listener);
    }
    // Takes the k-th listener (from 1) of msg away; the last detach forgets the window.
    void Remove(HWND hwnd, UINT msg, LONG_PTR k, bool last) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (last) {
            windows_.erase(hwnd);
            return;
        }
        auto w = windows_.find(hwnd);
        if (w == windows_.end()) return;
        auto l = w->second.listeners.find(msg);
        if (l == w->second.listeners.end() || k < 1 || static_cast<size_t>(k) > l->second.size()) return;
        l->second.erase(l->second.begin() + (k - 1));
        if (l->second.empty()) w->second.listeners.erase(l);
    }
    void Forget(HWND hwnd) {
        std::lock_guard<std::mutex> lock(mutex_);
        windows_.erase(hwnd);
    }
    // The old procedure and the number of listeners of msg; false for a
    // window that is not subclassed.
    bool Read(HWND hwnd, UINT msg, WNDPROC& old, LONG_PTR& n) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto w = windows_.find(hwnd);
        if (w == windows_.end()) return false;
        old = w->second.old;
        auto l = w->second.listeners.find(msg);
        n = l == w->second.listeners.end() ? 0 : static_cast<LONG_PTR>(l->second.size());
        return true;
    }
    // The i-th listener (from 1) of msg now, or null.
    ISubclass* Listener(HWND hwnd, UINT msg, LONG_PTR i) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto w = windows_.find(hwnd);
        if (w == windows_.end()) return nullptr;
        auto l = w->second.listeners.find(msg);
        if (l == w->second.listeners.end() || i < 1 || static_cast<size_t>(i) > l->second.size())
            return nullptr;
        return l->second[static_cast<size_t>(i - 1)];
    }

private:
    struct Window {
        WNDPROC old = nullptr;
        std::unordered_map<UINT, std::vector<ISubclass*>> listeners;  // in the order they attached
    };
    std::mutex mutex_;
    std::unordered_map<HWND, Window> windows_;
};

Mirror& Kept() {
    static Mirror* mirror = new Mirror;  // never destroyed: windows may outlive static destruction
    return *mirror;
}

// Keeps the message and old procedure of the dispatch under way; a listener
// may send to another subclassed window, whose dispatch sets its own, and
// they are put back when that nested dispatch returns.
class CurrentDispatch : NonCopyable {
public:
    CurrentDispatch() : message_(g_currentMessage), old_proc_(g_currentOldProc) {}
    ~CurrentDispatch() {
        g_currentMessage = message_;
        g_currentOldProc = old_proc_;
    }

private:
    UINT message_;
    WNDPROC old_proc_;
};

LRESULT Dispatch(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    WNDPROC old = nullptr;
    LONG_PTR n = 0;
    if (!Kept().Read(hwnd, msg, old, n) || !old) return DefWindowProcW(hwnd, msg, wp, lp);
    if (n < 1) return CallWindowProcW(old, hwnd, msg, wp, lp);

    bool oldCalled = false;
    LRESULT returned = 0;
    LRESULT slot = 0;
    auto callOld = [&] {
        oldCalled = true;
        return CallWindowProcW(old, hwnd, msg, wp, lp);
    };
    for (LONG_PTR i = 1; i <= n; ++i) {
        // Read afresh: a listener may have detached itself or another one.
        ISubclass* listener = Kept().Listener(hwnd, msg, i);
        if (!listener) {
            if (!oldCalled) returned = callOld();
            continue;
        }
        g_currentMessage = msg;
        g_currentOldProc = old;
        Guarded(L"skin subclass procedure", [&] {
            // Asked once, before the call: a listener may end inside its WindowProc.
            const EMsgResponse mode = listener->MsgResponse();
            if (i == 1 && !oldCalled && mode == EMsgResponse::emrPreprocess) {
                slot = callOld();
                returned = slot;
                // The window's own handling may have detached (and ended) the listener.
                if (Kept().Listener(hwnd, msg, i) != listener) return;
            }
            listener->WindowProc(hwnd, msg, wp, lp, slot);
            returned = slot;
            if (i == n && !oldCalled && mode == EMsgResponse::emrPostProcess) returned = callOld();
        });
    }
    return returned;
}

LRESULT CALLBACK DispatchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    const CurrentDispatch outer;
    const LRESULT result = Dispatch(hwnd, msg, wp, lp);
    // The window's properties go with it; what was kept beside them goes now.
    if (msg == WM_NCDESTROY) Kept().Forget(hwnd);
    return result;
}

}  // namespace

std::string OldProcName(HWND hwnd) { return HandleText(hwnd); }

std::string AttachCountName(HWND hwnd) {
    std::string name = "C";  // built by appending: GCC 12 warns falsely on "C" + string
    name += HandleText(hwnd);
    return name;
}

std::string ListenerCountName(HWND hwnd, UINT iMsg) {
    return HandleText(hwnd) + "#" + std::to_string(iMsg) + "C";
}

std::string ListenerName(HWND hwnd, UINT iMsg, int index) {
    return HandleText(hwnd) + "#" + std::to_string(iMsg) + "#" + std::to_string(index);
}

void AttachMessage(ISubclass* iwp, HWND hwnd, UINT iMsg) {
    if (!IsWindow(hwnd)) RaiseError(ErrorCode::kInvalidWindow);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != GetCurrentProcessId()) RaiseError(ErrorCode::kExternalWindow);

    // A second attach of the same listener fails before anything is counted.
    const std::string countName = ListenerCountName(hwnd, iMsg);
    const LONG_PTR n = ReadValue(hwnd, countName);
    for (LONG_PTR i = 1; i <= n; ++i)
        if (ListenerAt(hwnd, iMsg, i) == iwp) RaiseError(ErrorCode::kAlreadyHandled);

    const std::string attachName = AttachCountName(hwnd);
    const std::string oldName = OldProcName(hwnd);
    const std::string listenerName = ListenerName(hwnd, iMsg, static_cast<int>(n + 1));
    const LONG_PTR attached = ReadValue(hwnd, attachName);
    LONG_PTR old = 0;
    if (attached == 0) {
        old = InstallWindowProc(hwnd, DispatchProc);
        if (old == 0) RaiseError(ErrorCode::kCantSubclass);
    }
    // The new listener's entry before the count that includes it.
    const bool written = (attached == 0 ? WriteValue(hwnd, oldName, old) && WriteValue(hwnd, attachName, 1)
                                        : WriteValue(hwnd, attachName, attached + 1)) &&
                         WriteValue(hwnd, listenerName, reinterpret_cast<LONG_PTR>(iwp)) &&
                         WriteValue(hwnd, countName, n + 1);
    if (!written) {
        // Undone in full, so that the properties say what the copy says: the
        // listener is not attached, and a first attach leaves no subclass.
        RemovePropA(hwnd, listenerName.c_str());
        WriteCount(hwnd, countName, n);
        if (attached == 0) {
            SetWindowLongPtrW(hwnd, GWLP_WNDPROC, old);
            RemovePropA(hwnd, oldName.c_str());
            RemovePropA(hwnd, attachName.c_str());
        } else {
            WriteValue(hwnd, attachName, attached);
        }
        RaiseError(ErrorCode::kCantSubclass);
    }
    if (attached == 0) Kept().Install(hwnd, reinterpret_cast<WNDPROC>(old));
    Kept().Add(hwnd, iMsg, iwp);
}

void DetachMessage(ISubclass* iwp, HWND hwnd, UINT iMsg) {
    const std::string countName = ListenerCountName(hwnd, iMsg);
    const LONG_PTR n = ReadValue(hwnd, countName);
    LONG_PTR k = 0;
    for (LONG_PTR i = 1; i <= n && k == 0; ++i)
        if (ListenerAt(hwnd, iMsg, i) == iwp) k = i;
    if (k == 0) return;  // never attached: nothing to undo

    const std::string attachName = AttachCountName(hwnd);
    const LONG_PTR attached = ReadValue(hwnd, attachName);
    if (attached == 1) {
        const std::string oldName = OldProcName(hwnd);
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, ReadValue(hwnd, oldName));
        RemovePropA(hwnd, oldName.c_str());
        RemovePropA(hwnd, attachName.c_str());
    } else {
        WriteValue(hwnd, attachName, attached - 1);
    }

    for (LONG_PTR j = k + 1; j <= n; ++j)
        WriteValue(hwnd, ListenerName(hwnd, iMsg, static_cast<int>(j - 1)),
                   reinterpret_cast<LONG_PTR>(ListenerAt(hwnd, iMsg, j)));
    RemovePropA(hwnd, ListenerName(hwnd, iMsg, static_cast<int>(n)).c_str());
    WriteCount(hwnd, countName, n - 1);
    Kept().Remove(hwnd, iMsg, k, attached == 1);
}

UINT CurrentMessage() { return g_currentMessage; }

LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (!g_currentOldProc) return DefWindowProcW(hwnd, iMsg, wParam, lParam);
    return CallWindowProcW(g_currentOldProc, hwnd, iMsg, wParam, lParam);
}

}  // namespace quorlax::skin::MSubclass
