// Draws the control models onto a device context: twips to pixels at the
// window's DPI, colours (system colours too), cached fonts, the program's art.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "forms/controls.h"
#include "platform/handles_win.h"

namespace forms {

class Painter {
public:
    Painter(HINSTANCE instance, int dpi);

    int Px(float twips) const;
    RECT Rect(const Control& c) const;  // the control's rectangle in the form, in pixels
    static COLORREF Resolve(Color c);

    HFONT FontFor(const Font& font);
    HBRUSH BrushFor(Color c);  // cached, owned by the painter

    // Where a label draws: its rectangle and its text, which may overflow.
    RECT LabelBounds(HDC dc, const Label& label);
    // Where a label leaves ink: its text alone when it is transparent.
    RECT InkBounds(HDC dc, const Label& label);

    void Fill(HDC dc, const RECT& r, Color c);
    void DrawLabel(HDC dc, const Label& label);
    void DrawPicture(HDC dc, const Picture& picture);
    void DrawArt(HDC dc, Art art, const RECT& r);
    void DrawPanel(HDC dc, const Panel& panel);
    // A picture loaded from a file (platform/pictures_win), at r.
    void DrawImage(HDC dc, const Image& image, const RECT& r);
    // Draws `text` off-screen in `font`, a character at a time: the glyphs
    // are made now and kept by the system for when they are drawn for real.
    void Prepare(const Font& font, const std::wstring& text);

private:
    RECT TextRect(HDC dc, const Label& label);
    // The size of `text` in `font`, and how far its first glyph's ink reaches
    // left of it and its last's right of it (less than nothing when the ink
    // stops short); measured once.
    struct Measure {
        SIZE size{};
        int before = 0, after = 0;
    };
    const Measure& Extent(HDC dc, HFONT font, const std::wstring& text);

    HINSTANCE instance_;
    int dpi_;
    // Each face with a device context of its own that keeps it selected, on
    // a page as deep as the back buffer's: the system lets go of the glyphs
    // made for a face at a depth once no device context of that depth holds
    // it and a few others were used, to make them again at its next drawing
    // (a practice keystroke draws in six faces).
    struct HeldFont {
        quorlax::win::UniqueFont font;
        quorlax::win::UniqueBitmap page;
        quorlax::win::UniqueMemDc holder;
    };
    // Looked up without copying the name or the text (std::less<>).
    std::map<std::tuple<std::wstring, int, bool, int, bool, bool>, HeldFont, std::less<>> fonts_;
    std::map<Color, quorlax::win::UniqueBrush> brushes_;
    std::map<std::tuple<HFONT, std::wstring>, Measure, std::less<>> extents_;  // texts already measured
    quorlax::win::UniqueBitmap floor_, radicals_;
    // An icon's copy at the size it is drawn, its alpha premultiplied.
    struct IconCopy {
        quorlax::win::UniqueBitmap bitmap;
        int width = 0, height = 0;
    };
    void DrawIcon(HDC dc, HICON icon, IconCopy& copy, const RECT& r);
    quorlax::win::UniqueIcon shot_, flash_, cursor_;
    IconCopy shot_copy_, flash_copy_, cursor_copy_;
    quorlax::win::UniqueMemDc icon_dc_;  // holds a copy while it is drawn
    quorlax::win::UniqueBitmap scratch_bitmap_;  // what Prepare draws on, in the back buffer's depth
    quorlax::win::UniqueMemDc scratch_;
};

}  // namespace forms
