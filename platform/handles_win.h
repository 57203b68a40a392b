// Move-only owners for Win32 handles: each closes its handle exactly once.
#pragma once

#include <windows.h>

#include <algorithm>
#include <utility>

#include "platform/non_copyable.h"

namespace quorlax::win {

template <class H, class Traits>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(H h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, Traits::Invalid()));
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    H get() const { return h_; }
    explicit operator bool() const { return h_ != Traits::Invalid(); }
    H release() { return std::exchange(h_, Traits::Invalid()); }
    void reset(H h = Traits::Invalid()) {
        if (h_ != Traits::Invalid()) Traits::Close(h_);
        h_ = h;
    }

private:
    H h_ = Traits::Invalid();
};

// The traits of a handle that is null when there is none and that CloseFn
// lets go of: one line per handle type.
template <class H, auto CloseFn>
struct NullHandleTraits {
    static H Invalid() { return nullptr; }
    static void Close(H h) { CloseFn(h); }
};
// The same for the kernel's handles that are INVALID_HANDLE_VALUE when there
// is none (files, searches).
template <auto CloseFn>
struct InvalidHandleTraits {
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE h) { CloseFn(h); }
};
template <class H>
using GdiTraits = NullHandleTraits<H, DeleteObject>;

using UniqueFont = UniqueHandle<HFONT, GdiTraits<HFONT>>;
using UniqueBrush = UniqueHandle<HBRUSH, GdiTraits<HBRUSH>>;
using UniqueBitmap = UniqueHandle<HBITMAP, GdiTraits<HBITMAP>>;
using UniqueKernelHandle = UniqueHandle<HANDLE, NullHandleTraits<HANDLE, CloseHandle>>;
using UniqueFile = UniqueHandle<HANDLE, InvalidHandleTraits<CloseHandle>>;
using UniqueMemDc = UniqueHandle<HDC, NullHandleTraits<HDC, DeleteDC>>;
using UniqueIcon = UniqueHandle<HICON, NullHandleTraits<HICON, DestroyIcon>>;
using UniqueAccel = UniqueHandle<HACCEL, NullHandleTraits<HACCEL, DestroyAcceleratorTable>>;
using UniqueKey = UniqueHandle<HKEY, NullHandleTraits<HKEY, RegCloseKey>>;
using UniqueMenu = UniqueHandle<HMENU, NullHandleTraits<HMENU, DestroyMenu>>;

// Selects an object into a DC and puts the previous one back on scope exit.
class SelectGuard : NonCopyable {
public:
    SelectGuard(HDC dc, HGDIOBJ obj) : dc_(dc), old_(SelectObject(dc, obj)) {}
    ~SelectGuard() { SelectObject(dc_, old_); }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// BeginPaint/EndPaint as a scope.
class PaintScope : NonCopyable {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { dc_ = BeginPaint(hwnd, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    HDC dc() const { return dc_; }
    const RECT& area() const { return ps_.rcPaint; }

private:
    HWND hwnd_;
    HDC dc_;
    PAINTSTRUCT ps_;
};

// GetDC/ReleaseDC as a scope; GetWindowDC for a DC that covers the frame too.
class WindowDc : NonCopyable {
public:
    enum Area { kClientArea, kWholeWindow };
    explicit WindowDc(HWND hwnd, Area area = kClientArea)
        : hwnd_(hwnd), dc_(area == kWholeWindow ? GetWindowDC(hwnd) : GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    HDC get() const { return dc_; }

private:
    HWND hwnd_;
    HDC dc_;
};

// An off-screen surface: a memory DC with a bitmap of its own selected into
// it for as long as both live.
class MemorySurface : NonCopyable {
public:
    MemorySurface() = default;
    ~MemorySurface() { Release(); }

    // Makes a surface of width x height compatible with `like` (content
    // undefined); a zero side still gets one pixel. False, and nothing made,
    // when the system refuses.
    bool Make(HDC like, int width, int height) {
        Release();
        dc_.reset(CreateCompatibleDC(like));
        bitmap_.reset(CreateCompatibleBitmap(like, std::max(width, 1), std::max(height, 1)));
        old_ = dc_ && bitmap_ ? SelectObject(dc_.get(), bitmap_.get()) : nullptr;
        if (!old_) {
            Release();
            return false;
        }
        width_ = width;
        height_ = height;
        return true;
    }
    void Release() {
        // The bitmap leaves the DC before either is deleted.
        if (dc_ && old_) SelectObject(dc_.get(), old_);
        old_ = nullptr;
        bitmap_.reset();
        dc_.reset();
        width_ = height_ = 0;
    }
    // The memory DC; null before the first Make.
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    UniqueMemDc dc_;
    UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;  // the bitmap the DC came with
    int width_ = 0, height_ = 0;
};

}  // namespace quorlax::win
