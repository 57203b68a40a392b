// The window procedure of a C++ window class: it captures the object at
// WM_NCCREATE (passed as the creation parameter), forwards every message to
// the object's OnMessage behind the exception barrier, and lets go of it at
// WM_NCDESTROY.
#pragma once

#include <windows.h>

#include <string>

#include "platform/barrier_win.h"
#include "platform/handles_win.h"

namespace quorlax::win {

// The text of a window of this process (an edit control's contents).
inline std::wstring WindowTextOf(HWND h) {
    int length = GetWindowTextLengthW(h);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(h, text.data(), length + 1)));
    return text;
}

// T provides OnAttach(HWND), OnDetach(), LRESULT OnMessage(UINT, WPARAM,
// LPARAM) and a static kFaultSource naming it in fault reports.
template <class T>
LRESULT CALLBACK WindowProcOf(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    T* self = nullptr;
    if (msg == WM_NCCREATE) {
        self = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->OnAttach(hwnd);
    } else {
        self = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->OnDetach();
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    // A handler that throws has done nothing the system must know about:
    // the message gets its default treatment.
    LRESULT result = 0;
    bool handled = Guarded(T::kFaultSource, false, [&] {
        result = self->OnMessage(msg, wp, lp);
        return true;
    });
    return handled ? result : DefWindowProcW(hwnd, msg, wp, lp);
}

// Registers the window class `name` for T's window procedure, once.
template <class T>
void RegisterWindowClassOf(HINSTANCE instance, const wchar_t* name, HBRUSH background = nullptr) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(instance, name, &wc)) return;
    wc.lpfnWndProc = WindowProcOf<T>;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
}

// Answers WM_PAINT by drawing the whole client area with paint(HDC) into a
// back buffer and copying it at once: no flicker.
template <class F>
void PaintBuffered(HWND hwnd, F&& paint) {
    PaintScope scope(hwnd);
    RECT client{};
    GetClientRect(hwnd, &client);
    UniqueMemDc mem(CreateCompatibleDC(scope.dc()));
    UniqueBitmap bitmap(CreateCompatibleBitmap(scope.dc(), client.right, client.bottom));
    SelectGuard select(mem.get(), bitmap.get());
    paint(mem.get());
    BitBlt(scope.dc(), 0, 0, client.right, client.bottom, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace quorlax::win
