// The painter of the control models.
#include "forms/render_win.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/resource_ids.h"
#include "platform/pictures_win.h"

namespace forms {

using quorlax::win::SelectGuard;

namespace {

// A 32-bit top-down picture of w by h, every byte `fill`; its bits in `bits`.
quorlax::win::UniqueBitmap Canvas(int w, int h, BYTE fill, std::uint32_t*& bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* raw = nullptr;
    quorlax::win::UniqueBitmap bitmap(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0));
    bits = static_cast<std::uint32_t*>(raw);
    if (bitmap && bits) std::memset(bits, fill, static_cast<size_t>(w) * h * 4);
    return bitmap;
}

}  // namespace

Painter::Painter(HINSTANCE instance, int dpi) : instance_(instance), dpi_(dpi > 0 ? dpi : 96) {
    auto bitmap = [&](int id) {
        return static_cast<HBITMAP>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    };
    floor_.reset(bitmap(IDB_FLOOR));
    auto icon = [&](int id) {
        return static_cast<HICON>(
            LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    };
    shot_.reset(icon(IDI_SHOT));
    flash_.reset(icon(IDI_FLASH));
    cursor_.reset(icon(IDI_CURSOR));
}

int Painter::Px(float twips) const {
    double px = static_cast<double>(twips) * dpi_ / 1440.0;
    return static_cast<int>(px < 0 ? px - 0.5 : px + 0.5);
}

RECT Painter::Rect(const Control& c) const {
    int left = Px(c.FormLeft()), top = Px(c.FormTop());
    return RECT{left, top, left + Px(c.Width), top + Px(c.Height)};
}

COLORREF Painter::Resolve(Color c) {
    if (c & 0x80000000u) return GetSysColor(static_cast<int>(c & 0xFF));
    return static_cast<COLORREF>(c & 0x00FFFFFF);
}

HFONT Painter::FontFor(const Font& font) {
    int size100 = static_cast<int>(font.Size * 100 + 0.5f);
    auto it = fonts_.find(std::tie(font.Name, size100, font.Bold, font.Charset, font.Italic, font.Underline));
    if (it != fonts_.end()) {
        HeldFont& held = it->second;
        // Held from its second use on: its first made it, and a face asked
        // for before the first frame is not made any sooner for this.
        if (!held.holder && held.font) {
            std::uint32_t* bits = nullptr;
            held.page = Canvas(1, 1, 0, bits);
            held.holder.reset(CreateCompatibleDC(nullptr));
            if (held.page && held.holder) {
                SelectObject(held.holder.get(), held.page.get());
                SelectObject(held.holder.get(), held.font.get());
            }
        }
        return held.font.get();
    }
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(size100, dpi_, 7200);
    lf.lfWeight = font.Bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.Italic ? TRUE : FALSE;
    lf.lfUnderline = font.Underline ? TRUE : FALSE;
    lf.lfCharSet = static_cast<BYTE>(font.Charset);
    lf.lfItalic = font.Italic;
    lf.lfQuality = CLEARTYPE_QUALITY;
    lstrcpynW(lf.lfFaceName, font.Name.c_str(), LF_FACESIZE);
    HeldFont held{quorlax::win::UniqueFont(CreateFontIndirectW(&lf)), {}, {}};
    return fonts_
        .emplace(std::make_tuple(font.Name, size100, font.Bold, font.Charset, font.Italic, font.Underline),
                 std::move(held))
        .first->second.font.get();
}

HBRUSH Painter::BrushFor(Color c) {
    auto it = brushes_.find(c);
    if (it != brushes_.end()) return it->second.get();
    HBRUSH h = CreateSolidBrush(Resolve(c));
    return brushes_.emplace(c, quorlax::win::UniqueBrush(h)).first->second.get();
}

const Painter::Measure& Painter::Extent(HDC dc, HFONT hfont, const std::wstring& text) {
    auto it = extents_.find(std::tie(hfont, text));
    if (it == extents_.end()) {
        if (extents_.size() > 4096) extents_.clear();  // captions come and go; keep the cache small
        SelectGuard font(dc, hfont);
        Measure m;
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &m.size);
        // The end glyphs' own bearings: the ink may start after the advance
        // begins and stop before it ends (a colon's), or reach past it. A font
        // without them (not TrueType) is given two pixels each side.
        ABC first{}, last{};
        if (!text.empty() && GetCharABCWidthsW(dc, text.front(), text.front(), &first) &&
            GetCharABCWidthsW(dc, text.back(), text.back(), &last)) {
            m.before = -first.abcA;
            m.after = -last.abcC;
        } else {
            m.before = m.after = 1;
        }
        it = extents_.emplace(std::make_tuple(hfont, text), m).first;
    }
    return it->second;
}

// The text's ink: its advance as far as its end glyphs reach, and a pixel
// each side for smoothing; empty without text. (Any more on a side
// reaches the neighbour of every cell and count in the practice grid, which
// then is drawn again with every keystroke.)
RECT Painter::TextRect(HDC dc, const Label& label) {
    const RECT r = Rect(label);
    const std::wstring& text = label.Caption();
    if (text.empty()) return {};
    const Measure& m = Extent(dc, FontFor(label.Font), text);
    int width = r.right - r.left;
    int left = label.Alignment == Alignment::Center ? r.left + (width - m.size.cx) / 2 : r.left;
    // An underline runs the whole advance.
    const int before = label.Font.Underline ? std::max(0, m.before) : m.before;
    const int after = label.Font.Underline ? std::max(0, m.after) : m.after;
    return {left - before - 1, r.top, left + m.size.cx + after + 1, r.top + m.size.cy};
}

RECT Painter::LabelBounds(HDC dc, const Label& label) {
    RECT r = Rect(label);
    const RECT text_rect = TextRect(dc, label);
    if (IsRectEmpty(&text_rect)) return r;
    RECT both{};
    UnionRect(&both, &r, &text_rect);
    return both;
}

// An italic slant may reach past the measured text: its rectangle is kept.
RECT Painter::InkBounds(HDC dc, const Label& label) {
    if (label.BackStyle != BackStyle::Transparent || label.Font.Italic) return LabelBounds(dc, label);
    return TextRect(dc, label);
}

void Painter::Fill(HDC dc, const RECT& r, Color c) { FillRect(dc, &r, BrushFor(c)); }

void Painter::DrawLabel(HDC dc, const Label& label) {
    if (!label.Shown()) return;
    RECT r = Rect(label);
    if (label.BackStyle == BackStyle::Opaque) Fill(dc, r, label.BackColor);
    const std::wstring& text = label.Caption();
    if (text.empty()) return;
    HFONT hfont = FontFor(label.Font);
    // Single line, never clipped: a four-character word at 22 pt is wider
    // than its column, and must still read as one word. Placed from the
    // measured size and drawn with ExtTextOut: a grid of 406 cells repaints
    // several times faster than through DrawText's layout.
    const SIZE size = Extent(dc, hfont, text).size;
    const int x = label.Alignment == Alignment::Center ? r.left + (r.right - r.left - size.cx) / 2 : r.left;
    SelectGuard font(dc, hfont);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Resolve(label.ForeColor));
    ExtTextOutW(dc, x, r.top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void Painter::DrawArt(HDC dc, Art art, const RECT& r) {
    int w = r.right - r.left, h = r.bottom - r.top;
    // A bitmap stretched to the control's rectangle (its natural size at 96 dpi).
    auto stretch = [&](HBITMAP bitmap, int mode) {
        if (!bitmap) return;
        quorlax::win::UniqueMemDc mem(CreateCompatibleDC(dc));
        SelectGuard bmp(mem.get(), bitmap);
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        SetStretchBltMode(dc, mode);
        SetBrushOrgEx(dc, 0, 0, nullptr);  // as HALFTONE asks
        StretchBlt(dc, r.left, r.top, w, h, mem.get(), 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    };
    switch (art) {
        case Art::FloorLine: stretch(floor_.get(), COLORONCOLOR); break;
        // The chart's thin strokes and small letters keep legible when scaled.
        case Art::RadicalTable:
            // The chart is large and rarely shown: loaded when first drawn.
            if (!radicals_)
                radicals_.reset(static_cast<HBITMAP>(LoadImageW(instance_, MAKEINTRESOURCEW(IDB_RADICALS),
                                                                IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR)));
            stretch(radicals_.get(), HALFTONE);
            break;
        case Art::Shot:
            DrawIcon(dc, shot_.get(), shot_copy_, r);
            break;
        case Art::HitFlash:
            DrawIcon(dc, flash_.get(), flash_copy_, r);
            break;
        case Art::PracticeCursor:
            DrawIcon(dc, cursor_.get(), cursor_copy_, r);
            break;
        case Art::KeyDue:
        case Art::KeyPressed: {
            // A frame three pixels wide (at 96 dpi): red for the key due,
            // blue for the key pressed.
            const int thick = std::max(2, Px(45));
            HBRUSH brush = BrushFor(art == Art::KeyDue ? Color{0x000000E0} : Color{0x00E06000});
            for (int i = 0; i < thick; ++i) {
                RECT edge{r.left + i, r.top + i, r.right - i, r.bottom - i};
                FrameRect(dc, &edge, brush);
            }
            break;
        }
        case Art::None: break;
    }
}

// Drawn from a copy made once at the size asked: DrawIconEx makes and frees
// its device contexts and masks at every call, which under Wine costs several
// times the blend itself (a shot flies, the practice cursor blinks). The copy
// is the icon drawn on black and on white: what differs between the two is
// what shows through, and the drawing on black is the colour already
// multiplied by its alpha.
void Painter::DrawIcon(HDC dc, HICON icon, IconCopy& copy, const RECT& r) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (!icon || w <= 0 || h <= 0) return;
    if (!icon_dc_) icon_dc_.reset(CreateCompatibleDC(nullptr));
    if (!icon_dc_) return;
    if (!copy.bitmap || copy.width != w || copy.height != h) {
        std::uint32_t *black = nullptr, *white = nullptr;
        quorlax::win::UniqueBitmap on_black = Canvas(w, h, 0x00, black);
        quorlax::win::UniqueBitmap on_white = Canvas(w, h, 0xFF, white);
        copy = {};
        if (!on_black || !on_white) {
            DrawIconEx(dc, r.left, r.top, icon, w, h, 0, nullptr, DI_NORMAL);
            return;
        }
        for (HBITMAP target : {on_black.get(), on_white.get()}) {
            SelectGuard select(icon_dc_.get(), target);
            DrawIconEx(icon_dc_.get(), 0, 0, icon, w, h, 0, nullptr, DI_NORMAL);
        }
        GdiFlush();
        for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
            int through = 0;  // how much of the background shows, the most of the three colours
            for (int shift : {0, 8, 16})
                through = std::max(through, static_cast<int>((white[i] >> shift) & 0xFF) -
                                                static_cast<int>((black[i] >> shift) & 0xFF));
            const std::uint32_t alpha = static_cast<std::uint32_t>(255 - through);
            std::uint32_t pixel = alpha << 24;
            for (int shift : {0, 8, 16})  // never above alpha, as a premultiplied colour must be
                pixel |= std::min((black[i] >> shift) & 0xFF, alpha) << shift;
            black[i] = pixel;
        }
        copy = {std::move(on_black), w, h};
    }
    SelectGuard select(icon_dc_.get(), copy.bitmap.get());
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    GdiAlphaBlend(dc, r.left, r.top, w, h, icon_dc_.get(), 0, 0, w, h, blend);
}

void Painter::DrawPicture(HDC dc, const Picture& picture) {
    if (!picture.Shown()) return;
    DrawArt(dc, picture.Art, Rect(picture));
}

void Painter::DrawPanel(HDC dc, const Panel& panel) {
    if (!panel.Shown()) return;
    RECT r = Rect(panel);
    Fill(dc, r, panel.BackColor);
    if (panel.Caption.empty()) return;
    // A frame with its caption set into the top edge.
    Font font;
    SelectGuard f(dc, FontFor(font));
    SIZE text{};
    GetTextExtentPoint32W(dc, panel.Caption.c_str(), static_cast<int>(panel.Caption.size()), &text);
    RECT edge{r.left, r.top + text.cy / 2, r.right, r.bottom};
    DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
    RECT label{r.left + 8, r.top, r.left + 12 + text.cx, r.top + text.cy};
    Fill(dc, label, panel.BackColor);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Resolve(kSystemWindowText));
    TextOutW(dc, r.left + 10, r.top, panel.Caption.c_str(), static_cast<int>(panel.Caption.size()));
}

}  // namespace forms

namespace forms {

void Painter::Prepare(const Font& font, const std::wstring& text) {
    if (!scratch_) {
        // 32 bits a pixel, as the back buffer: the system keeps glyphs apart
        // by the depth they were smoothed for.
        std::uint32_t* bits = nullptr;
        scratch_bitmap_ = Canvas(64, 64, 0, bits);
        scratch_.reset(CreateCompatibleDC(nullptr));
        if (!scratch_bitmap_ || !scratch_) return;
        SelectObject(scratch_.get(), scratch_bitmap_.get());
        SetBkMode(scratch_.get(), TRANSPARENT);
    }
    SelectGuard f(scratch_.get(), FontFor(font));
    for (const wchar_t& c : text) ExtTextOutW(scratch_.get(), 0, 0, 0, nullptr, &c, 1, nullptr);
}

void Painter::DrawImage(HDC dc, const Image& image, const RECT& r) {
    const auto* bitmap = dynamic_cast<const quorlax::win::BitmapImage*>(&image);
    if (!bitmap || !bitmap->Bitmap()) return;
    quorlax::win::UniqueMemDc mem(CreateCompatibleDC(dc));
    SelectGuard select(mem.get(), bitmap->Bitmap());
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, mem.get(), 0, 0, SRCCOPY);
}

}  // namespace forms
