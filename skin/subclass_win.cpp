// The subclassing module: one shared dispatcher procedure, bookkeeping in
// window properties, listeners called in the order they attached.
#include "skin/subclass_win.h"

#include "skin/skin_error_win.h"

namespace quorlax::skin::MSubclass {
namespace {

UINT g_currentMessage = 0;           // set before each listener call, never cleared
WNDPROC g_currentOldProc = nullptr;  // the old procedure of the window being dispatched
ProcInstaller g_installProc = SetWindowLongPtrW;

std::string HandleText(HWND hwnd) {
    return std::to_string(static_cast<long long>(reinterpret_cast<LONG_PTR>(hwnd)));
}

LONG_PTR ReadValue(HWND hwnd, const std::string& name) {
    return reinterpret_cast<LONG_PTR>(GetPropA(hwnd, name.c_str()));
}

void WriteValue(HWND hwnd, const std::string& name, LONG_PTR value) {
    SetPropA(hwnd, name.c_str(), reinterpret_cast<HANDLE>(value));
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

LRESULT CALLBACK DispatchProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto old = reinterpret_cast<WNDPROC>(ReadValue(hwnd, OldProcName(hwnd)));
    if (!old) return DefWindowProcW(hwnd, msg, wp, lp);
    const LONG_PTR n = ReadValue(hwnd, ListenerCountName(hwnd, msg));
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
        ISubclass* listener = ListenerAt(hwnd, msg, i);
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
                if (ListenerAt(hwnd, msg, i) != listener) return;
            }
            listener->WindowProc(hwnd, msg, wp, lp, slot);
            returned = slot;
            if (i == n && !oldCalled && mode == EMsgResponse::emrPostProcess) returned = callOld();
        });
    }
    return returned;
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

ProcInstaller SetProcInstallerForTests(ProcInstaller installer) {
    ProcInstaller previous = g_installProc;
    g_installProc = installer ? installer : SetWindowLongPtrW;
    return previous;
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
    const LONG_PTR attached = ReadValue(hwnd, attachName);
    if (attached != 0) {
        WriteValue(hwnd, attachName, attached + 1);
    } else {
        LONG_PTR old = g_installProc(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DispatchProc));
        if (old == 0) RaiseError(ErrorCode::kCantSubclass);
        WriteValue(hwnd, OldProcName(hwnd), old);
        WriteValue(hwnd, attachName, 1);
    }
    WriteValue(hwnd, countName, n + 1);
    WriteValue(hwnd, ListenerName(hwnd, iMsg, static_cast<int>(n + 1)), reinterpret_cast<LONG_PTR>(iwp));
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
}

UINT CurrentMessage() { return g_currentMessage; }

LRESULT CallOldWindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam) {
    if (!g_currentOldProc) return DefWindowProcW(hwnd, iMsg, wParam, lParam);
    return CallWindowProcW(g_currentOldProc, hwnd, iMsg, wParam, lParam);
}

}  // namespace quorlax::skin::MSubclass
