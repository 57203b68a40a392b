// Draws a form's scene into a back buffer and brings the window up to date,
// redrawing only what changed since the last frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <unordered_map>

#include "forms/controls.h"
#include "forms/render_win.h"
#include "platform/handles_win.h"

namespace forms {

// A memory DC with a bitmap selected into it for its whole life.
class BackBuffer {
public:
    BackBuffer() = default;
    ~BackBuffer() { Release(); }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    // Makes the buffer the size of the window's client area; true if it was
    // made anew (its contents are then undefined).
    bool Fit(HWND window);
    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

private:
    void Release();
    quorlax::win::UniqueMemDc dc_;
    quorlax::win::UniqueBitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    int width_ = 0, height_ = 0;
};

class SceneView {
public:
    explicit SceneView(Painter& painter) : painter_(painter) {}

    // Draws what changed and copies it to the window at once.
    void Render(HWND window, const Scene& scene, const Image* background, Color back_color);
    // Copies part of the last frame (WM_PAINT, WM_PRINTCLIENT).
    void Paint(HDC dc, const RECT& area) const;
    // The last frame's pixels, for WM_PRINTCLIENT.
    void PaintAll(HDC dc) const;
    // The region redrawn by the last Render (for tests and the benchmark).
    const RECT& LastDirty() const { return last_dirty_; }

private:
    struct Drawn {
        RECT bounds;
        std::uint64_t signature;
    };
    // Everything on screen, by identity: a control, or the background
    // picture under the key nullptr.
    using Frame = std::unordered_map<const void*, Drawn>;
    void Collect(HDC dc, const Scene& scene, const Image* background, Frame& frame);
    void Draw(HDC dc, const Scene::Entry& entry);

    Painter& painter_;
    BackBuffer buffer_;
    Frame drawn_;
    bool drawn_once_ = false;
    Color drawn_back_color_ = 0;
    RECT last_dirty_{};
};

}  // namespace forms
