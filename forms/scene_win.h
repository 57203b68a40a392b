// Draws a form's scene into a back buffer and brings the window up to date,
// redrawing only what changed since the last frame.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "forms/controls.h"
#include "forms/render_win.h"
#include "platform/handles_win.h"

namespace forms {

// The window's client area off screen.
class BackBuffer : public quorlax::win::MemorySurface {
public:
    // Makes the buffer the size of the window's client area; true if it was
    // made anew (its contents are then undefined).
    bool Fit(HWND window);
};

class SceneView {
public:
    explicit SceneView(Painter& painter) : painter_(painter) {}

    // Draws what changed and copies it to the window at once.
    void Render(HWND window, Scene& scene, const Image* background, Color back_color);
    // Copies part of the last frame (WM_PAINT, WM_PRINTCLIENT).
    void Paint(HDC dc, const RECT& area) const;
    // The last frame's pixels, for WM_PRINTCLIENT.
    void PaintAll(HDC dc) const;
    // The region redrawn by the last Render (for tests and the benchmark).
    const RECT& LastDirty() const { return last_dirty_; }

private:
    // What a control looked like and covered when last drawn. A control
    // whose rectangle and look are unchanged is not measured again.
    struct Drawn {
        bool on_screen = false;
        RECT rect{};    // its own rectangle
        RECT bounds{};  // what it covers: a label's text may overflow its rectangle
        std::wstring text;
        Font font;
        Color fore = 0, back = 0;
        int style = 0;  // back style and alignment, or the art shown
    };
    // Brings `drawn` up to the control; false when it looks as before.
    bool Update(HDC dc, const Scene::Entry& entry, Drawn& drawn);
    void Draw(HDC dc, const Scene::Entry& entry);

    Painter& painter_;
    BackBuffer buffer_;
    std::vector<Drawn> drawn_;  // one per scene entry, in the scene's order
    bool drawn_once_ = false;
    Color drawn_back_color_ = 0;
    RECT background_{};  // the background picture's place; empty when none
    std::uint64_t background_version_ = 0;
    std::vector<RECT> dirty_;  // the places redrawn by this frame
    std::vector<size_t> panels_;  // the shown panels of this frame, by their place in the scene
    RECT last_dirty_{};
};

}  // namespace forms
