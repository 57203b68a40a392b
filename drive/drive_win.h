// Driving the real quorlax.exe from another process, as a user would: find
// its windows, pick menu items by caption, read message boxes, look at the
// pixels on screen.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <initializer_list>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace quorlax::drive {

// The folder of the running program: the tests and drivers lie beside
// quorlax.exe.
inline std::wstring ExeFolder() {
    wchar_t path[MAX_PATH];
    DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring s(path, n);
    return s.substr(0, s.find_last_of(L'\\'));
}

// The screen's DPI, at which the program lays out its twips.
inline int ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// Twips in pixels at the screen's DPI.
inline int TwipsToPixels(float twips) { return MulDiv(static_cast<int>(twips), ScreenDpi(), 1440); }

// Polls until pred() or the timeout; true if pred() held.
inline bool WaitFor(const std::function<bool()>& pred, int timeout_ms = 10000, int step_ms = 20) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < end) {
        if (pred()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(step_ms));
    }
    return pred();
}

// A started program; terminated if still running when this goes away.
class Process {
public:
    Process() = default;
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
    ~Process() { Kill(); }

    bool Start(const std::wstring& exe, const std::wstring& folder) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        std::wstring cmd = L"\"" + exe + L"\"";
        if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si,
                            &pi_))
            return false;
        return true;
    }
    DWORD Id() const { return pi_.dwProcessId; }
    HANDLE Handle() const { return pi_.hProcess; }
    bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }
    // Waits for the exit; the exit code, or -1 on timeout.
    long Wait(int timeout_ms) {
        if (WaitForSingleObject(pi_.hProcess, timeout_ms) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(pi_.hProcess, &code);
        return static_cast<long>(code);
    }
    void Kill() {
        if (pi_.hProcess) {
            if (Running()) {
                TerminateProcess(pi_.hProcess, 9);
                WaitForSingleObject(pi_.hProcess, 5000);
            }
            CloseHandle(pi_.hProcess);
            CloseHandle(pi_.hThread);
            pi_ = {};
        }
    }

private:
    PROCESS_INFORMATION pi_{};
};

inline std::wstring WindowText(HWND h) {
    wchar_t buf[512] = {};
    GetWindowTextW(h, buf, 512);
    return buf;
}

// A visible window sought among those an enumeration lists.
struct WindowSearch {
    DWORD pid;             // its process; 0: any
    const wchar_t* cls;    // its class; null: any
    const wchar_t* title;  // its title; null: any
    HWND found;
};

// EnumWindows needs a real CALLBACK function: a lambda has the wrong calling
// convention on 32-bit Windows.
inline BOOL CALLBACK MatchWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(h, &owner);
    if ((s->pid && owner != s->pid) || !IsWindowVisible(h)) return TRUE;
    wchar_t name[128] = {};
    GetClassNameW(h, name, 128);
    if (s->cls && lstrcmpiW(name, s->cls) != 0) return TRUE;  // class names ignore case
    if (s->title && WindowText(h) != s->title) return TRUE;
    s->found = h;
    return FALSE;
}

// The visible top-level window of class `cls` (any class if null) of process pid.
inline HWND FindWindowOf(DWORD pid, const wchar_t* cls) {
    WindowSearch s{pid, cls, nullptr, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// Waits for process pid's visible top-level window of class `cls`; null
// when none showed in time.
inline HWND WaitForWindowOf(DWORD pid, const wchar_t* cls, int timeout_ms = 20000) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowOf(pid, cls)) != nullptr; }, timeout_ms);
    return found;
}

// The first visible child of `parent` of class `cls`; null if none.
inline HWND FindShownChild(HWND parent, const wchar_t* cls) {
    WindowSearch s{0, cls, nullptr, nullptr};
    EnumChildWindows(parent, MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// The first visible top-level window of this thread of class `cls` (and
// with this title, unless null): a dialog the thread's own code opened.
inline HWND FindShownThreadWindow(const wchar_t* cls, const wchar_t* title = nullptr) {
    WindowSearch s{0, cls, title, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

inline BOOL CALLBACK CountMenuWindow(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<std::pair<DWORD, int>*>(lp);
    WindowSearch one{s->first, L"#32768", nullptr, nullptr};
    MatchWindow(h, reinterpret_cast<LPARAM>(&one));
    s->second += one.found != nullptr;
    return TRUE;
}

// How many drop-down menus the process that owns `window` has open.
inline int OpenMenus(HWND window) {
    std::pair<DWORD, int> s{0, 0};
    GetWindowThreadProcessId(window, &s.first);
    EnumWindows(CountMenuWindow, reinterpret_cast<LPARAM>(&s));
    return s.second;
}

// Waits until `window`'s process has `count` drop-down menus open.
inline bool WaitForMenus(HWND window, int count) {
    return WaitFor([&] { return OpenMenus(window) >= count; }, 5000, 10);
}

// The text of a control of another process (GetWindowText cannot read an
// edit control across processes; WM_GETTEXT can).
inline std::wstring ControlText(HWND h) {
    wchar_t buf[512] = {};
    SendMessageW(h, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(buf));
    return buf;
}

// The text of a standard message box (its static control).
inline std::wstring MessageBoxText(HWND box) {
    wchar_t buf[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, buf, 1024);
    return buf;
}

// The command id of the menu item reached through these captions (each
// compared without its "\t<shortcut>" part); 0 if there is none.
inline UINT MenuCommand(HMENU bar, const std::vector<std::wstring>& path) {
    HMENU menu = bar;
    for (size_t level = 0; menu && level < path.size(); ++level) {
        int count = GetMenuItemCount(menu);
        HMENU next = nullptr;
        UINT id = 0;
        bool found = false;
        for (int i = 0; i < count; ++i) {
            wchar_t text[128] = {};
            GetMenuStringW(menu, static_cast<UINT>(i), text, 128, MF_BYPOSITION);
            std::wstring caption(text);
            caption = caption.substr(0, caption.find(L'\t'));
            if (caption != path[level]) continue;
            found = true;
            next = GetSubMenu(menu, i);
            id = GetMenuItemID(menu, i);
            break;
        }
        if (!found) return 0;
        if (level + 1 == path.size()) return next ? 0 : id;
        menu = next;
    }
    return 0;
}

// Colour of a screen pixel in the window's client area.
struct Capture {
    int width = 0, height = 0;
    std::vector<COLORREF> pixels;
    COLORREF At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixels of exactly this colour within [x0, x1) x [y0, y1).
    int Count(COLORREF c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (At(x, y) == c) ++n;
        return n;
    }
};

// What `fill` draws into a memory DC of w x h pixels.
inline Capture CaptureOf(int w, int h, const std::function<void(HDC mem)>& fill) {
    Capture c;
    c.width = w;
    c.height = h;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    fill(mem);
    GdiFlush();
    c.pixels.resize(static_cast<size_t>(w) * h);
    const auto* p = static_cast<const unsigned char*>(bits);
    for (size_t i = 0; i < c.pixels.size(); ++i) c.pixels[i] = RGB(p[4 * i + 2], p[4 * i + 1], p[4 * i]);
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    return c;
}

// Captures a window's client area: `fill` draws it into a memory DC of the
// client's size.
inline Capture CaptureWith(HWND window, const std::function<void(HDC mem, int w, int h)>& fill) {
    RECT r{};
    GetClientRect(window, &r);
    return CaptureOf(r.right, r.bottom, [&](HDC mem) { fill(mem, r.right, r.bottom); });
}

// What a window of this process paints, asked through WM_PRINTCLIENT.
inline Capture PrintClient(HWND window) {
    return CaptureWith(window, [window](HDC mem, int, int) {
        SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(mem), PRF_CLIENT);
    });
}

// Presses Ctrl and a key in the foreground window, through the system's
// input queue as a keyboard would.
inline void PressCtrl(HWND window, WORD key) {
    SetForegroundWindow(window);
    INPUT in[4] = {};
    for (auto& i : in) i.type = INPUT_KEYBOARD;
    in[0].ki.wVk = VK_CONTROL;
    in[1].ki.wVk = key;
    in[2].ki.wVk = key;
    in[2].ki.dwFlags = KEYEVENTF_KEYUP;
    in[3].ki.wVk = VK_CONTROL;
    in[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, in, sizeof(INPUT));
}

// Presses Ctrl and a key in `window` until done() holds: keys sent to
// another process are lost while it is not yet in front, so they are sent
// again, four times at the most. Whether done() held.
inline bool PressCtrlUntil(HWND window, WORD key, const std::function<bool()>& done) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        SetForegroundWindow(window);
        WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
        PressCtrl(window, key);
        if (WaitFor(done, 4000)) return true;
    }
    return false;
}

// Presses one key (down and up) through the system's input queue.
inline void PressKey(WORD key) {
    INPUT in[2] = {};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = key;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// Types text as Unicode keystrokes into whatever has the focus.
inline void TypeText(const std::wstring& text) {
    for (wchar_t c : text) {
        INPUT in[2] = {};
        in[0].type = in[1].type = INPUT_KEYBOARD;
        in[0].ki.wScan = in[1].ki.wScan = c;
        in[0].ki.dwFlags = KEYEVENTF_UNICODE;
        in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        SendInput(2, in, sizeof(INPUT));
    }
}

// Picks a menu item with the keyboard: Alt, Right `menu` times and Down open
// that menu of the bar; then, for each number in `path`, Down that many
// times, with Right between the levels to open a submenu; Enter picks. Each
// level's keys wait until its drop-down is open.
inline void PickMenuPath(HWND window, int menu, std::initializer_list<int> path) {
    SetForegroundWindow(window);
    PressKey(VK_MENU);
    for (int i = 0; i < menu; ++i) PressKey(VK_RIGHT);
    PressKey(VK_DOWN);
    int level = 0;
    for (int downs : path) {
        if (level > 0) PressKey(VK_RIGHT);
        WaitForMenus(window, ++level);
        for (int i = 0; i < downs; ++i) PressKey(VK_DOWN);
    }
    PressKey(VK_RETURN);
}

// Item number `item` (from 0) of menu `menu` of the bar.
inline void PickMenuItem(HWND window, int menu, int item) { PickMenuPath(window, menu, {item}); }

// Item `subitem` of the submenu that is item `item` of menu `menu`.
inline void PickSubmenuItem(HWND window, int menu, int item, int subitem) {
    PickMenuPath(window, menu, {item, subitem});
}

// What is on screen in a window's client area.
inline Capture CaptureClient(HWND window) {
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    return CaptureWith(window, [origin](HDC mem, int w, int h) {
        HDC screen = GetDC(nullptr);
        BitBlt(mem, 0, 0, w, h, screen, origin.x, origin.y, SRCCOPY);
        ReleaseDC(nullptr, screen);
    });
}

// How far apart two colours are: their channels' differences added up.
inline int ColourDistance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

// The lowest row (largest y) above `limit` holding a pixel near `colour`;
// -1 if none.
inline int LowestRowWith(const Capture& c, COLORREF colour, int limit, int tolerance = 60) {
    for (int y = std::min(limit, c.height) - 1; y >= 0; --y)
        for (int x = 0; x < c.width; ++x)
            if (ColourDistance(c.At(x, y), colour) <= tolerance) return y;
    return -1;
}

// Pixels of `c` inside r nearer to `colour` than `tolerance`.
inline int CountNear(const Capture& c, const RECT& r, COLORREF colour, int tolerance = 60) {
    int n = 0;
    for (int y = r.top; y < r.bottom && y < c.height; ++y)
        for (int x = r.left; x < r.right && x < c.width; ++x)
            n += ColourDistance(c.At(x, y), colour) < tolerance;
    return n;
}

// Pixels of a window's client area on screen, inside r, near `colour`.
inline int CountOnScreen(HWND window, const RECT& r, COLORREF colour) {
    return CountNear(CaptureClient(window), r, colour);
}

// A file's bytes, whole; empty when it cannot be opened.
inline std::string ReadWholeFile(const std::wstring& path) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return {};
    std::string all;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) all.append(buf, got);
    CloseHandle(f);
    return all;
}

// Writes `bytes` as the whole file; false when not all of them were written.
inline bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE f = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    CloseHandle(f);
    return ok;
}

}  // namespace quorlax::drive
