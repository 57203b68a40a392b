// The scene view: a back buffer redrawn by difference.
#include "forms/scene_win.h"

#include <vector>

namespace forms {

using quorlax::win::UniqueHandle;
using Region = UniqueHandle<HRGN, quorlax::win::GdiTraits<HRGN>>;

bool BackBuffer::Fit(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    int w = client.right > 1 ? client.right : 1;
    int h = client.bottom > 1 ? client.bottom : 1;
    if (dc() && w == width() && h == height()) return false;
    quorlax::win::WindowDc screen(window);
    Make(screen.get(), w, h);
    return true;
}

namespace {

// A label with no text that blends into the window draws nothing visible.
bool DrawsNothing(const Label& label, Color back_color) {
    return label.Caption().empty() &&
           (label.BackStyle == BackStyle::Transparent || label.BackColor == back_color);
}

// The rectangles of a region, or its bounding box when they are many.
std::vector<RECT> Pieces(HRGN region, const RECT& box) {
    constexpr DWORD kMostPieces = 32;
    const DWORD bytes = GetRegionData(region, 0, nullptr);
    std::vector<char> data(bytes);
    auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
    if (bytes < sizeof(RGNDATAHEADER) || GetRegionData(region, bytes, rgn) != bytes ||
        rgn->rdh.nCount > kMostPieces)
        return {box};
    const auto* rects = reinterpret_cast<const RECT*>(rgn->Buffer);
    return std::vector<RECT>(rects, rects + rgn->rdh.nCount);
}

}  // namespace

bool SceneView::Update(HDC dc, const Scene::Entry& e, Drawn& d) {
    const RECT rect = painter_.Rect(*e.control);
    const bool same_place = d.on_screen && EqualRect(&rect, &d.rect);
    switch (e.kind) {
        case Scene::Kind::Label: {
            const auto& l = *static_cast<const Label*>(e.control);
            const int style = static_cast<int>(l.BackStyle) * 2 + static_cast<int>(l.Alignment);
            if (same_place && d.text == l.Caption() && d.fore == l.ForeColor && d.back == l.BackColor &&
                d.style == style && d.font == l.Font)
                return false;
            d.text = l.Caption();
            d.font = l.Font;
            d.fore = l.ForeColor;
            d.back = l.BackColor;
            d.style = style;
            // Where its ink is: a transparent count that changes redraws
            // the few pixels of its digits, not the neighbours its box touches.
            d.bounds = painter_.InkBounds(dc, l);
            break;
        }
        case Scene::Kind::Picture: {
            const int art = static_cast<int>(static_cast<const Picture*>(e.control)->Art);
            if (same_place && d.style == art) return false;
            d.style = art;
            d.bounds = rect;
            break;
        }
        case Scene::Kind::Panel: {
            const auto& p = *static_cast<const Panel*>(e.control);
            if (same_place && d.back == p.BackColor && d.text == p.Caption) return false;
            d.back = p.BackColor;
            d.text = p.Caption;
            d.bounds = rect;
            break;
        }
    }
    d.rect = rect;
    d.on_screen = true;
    return true;
}

void SceneView::Draw(HDC dc, const Scene::Entry& e) {
    switch (e.kind) {
        case Scene::Kind::Label: painter_.DrawLabel(dc, *static_cast<const Label*>(e.control)); break;
        case Scene::Kind::Picture: painter_.DrawPicture(dc, *static_cast<const Picture*>(e.control)); break;
        case Scene::Kind::Panel: painter_.DrawPanel(dc, *static_cast<const Panel*>(e.control)); break;
    }
}

void SceneView::Render(HWND window, Scene& scene, const Image* background, Color back_color) {
    if (!window) return;
    // A slice of the glyphs asked for ahead, after a tick of the scene's
    // prepare timer (and never inside a keystroke's own frame).
    constexpr size_t kPrepareSlice = 16;
    if (auto slice = scene.TakePrepareSlice(kPrepareSlice)) painter_.Prepare(slice->first, slice->second);
    const auto& entries = scene.Entries();
    bool everything = buffer_.Fit(window) || !drawn_once_ || drawn_back_color_ != back_color ||
                      drawn_.size() != entries.size();
    drawn_back_color_ = back_color;
    drawn_.resize(entries.size());
    HDC dc = buffer_.dc();

    // Only what changed since the last frame is drawn again and painted: the
    // old and the new place of every control that moved, changed, came or
    // went. The controls are compared field by field, with no system call
    // for the unchanged ones.
    dirty_.clear();
    auto add = [this](const RECT& r) {
        if (r.right > r.left && r.bottom > r.top) dirty_.push_back(r);
    };
    const RECT picture = background ? RECT{0, 0, background->Width(), background->Height()} : RECT{};
    const std::uint64_t version = background ? background->Version() : 0;
    if (!EqualRect(&picture, &background_) || version != background_version_) {
        add(background_);
        add(picture);
        background_ = picture;
        background_version_ = version;
    }
    for (size_t i = 0; i < entries.size(); ++i) {
        const Scene::Entry& e = entries[i];
        Drawn& d = drawn_[i];
        const bool shown =
            e.control->Shown() && !(e.kind == Scene::Kind::Label &&
                                    DrawsNothing(*static_cast<const Label*>(e.control), back_color));
        if (!shown) {
            if (d.on_screen) add(d.bounds);
            d.on_screen = false;
            continue;
        }
        const bool was_on_screen = d.on_screen;
        const RECT before = d.bounds;
        if (!Update(dc, e, d)) continue;
        if (was_on_screen) add(before);
        add(d.bounds);
    }
    drawn_once_ = true;
    if (everything) {
        dirty_.clear();
        add(RECT{0, 0, buffer_.width(), buffer_.height()});
    }

    if (dirty_.empty()) {
        last_dirty_ = {};
        return;
    }
    RECT box = dirty_.front();
    Region dirty(CreateRectRgnIndirect(&box));
    for (size_t i = 1; i < dirty_.size(); ++i) {
        UnionRect(&box, &box, &dirty_[i]);
        Region piece(CreateRectRgnIndirect(&dirty_[i]));
        CombineRgn(dirty.get(), dirty.get(), piece.get(), RGN_OR);
    }
    last_dirty_ = box;
    SelectClipRgn(dc, dirty.get());
    painter_.Fill(dc, box, back_color);
    // Against the changed places, not their bounding box: a cell at the top
    // and a count in the panel must not redraw every cell between them.
    auto overlaps = [this, &box](const RECT& r) {
        RECT common{};
        if (!IntersectRect(&common, &r, &box)) return false;
        for (const RECT& d : dirty_)
            if (IntersectRect(&common, &r, &d)) return true;
        return false;
    };
    if (background && overlaps(background_)) painter_.DrawImage(dc, *background, background_);
    // A control wholly under a panel drawn after it is not drawn at all: the
    // panel fills its rectangle (a game's shot at rest under the practice
    // panel would be drawn, and covered, with every count that changes).
    panels_.clear();
    for (size_t i = 0; i < entries.size(); ++i)
        if (entries[i].kind == Scene::Kind::Panel && drawn_[i].on_screen) panels_.push_back(i);
    auto covered = [this](size_t i) {
        const RECT& r = drawn_[i].bounds;
        for (size_t p : panels_) {
            const RECT& c = drawn_[p].rect;
            if (p > i && r.left >= c.left && r.top >= c.top && r.right <= c.right && r.bottom <= c.bottom)
                return true;
        }
        return false;
    };
    for (size_t i = 0; i < entries.size(); ++i)
        if (drawn_[i].on_screen && overlaps(drawn_[i].bounds) && !covered(i)) Draw(dc, entries[i]);
    SelectClipRgn(dc, nullptr);
    // Copy the changed part straight to the window; WM_PAINT serves only
    // what the system itself asks to have repainted. Piece by piece: a cell
    // at the top and a count in the panel are two small copies, not one
    // the size of the window.
    quorlax::win::WindowDc window_dc(window);
    for (const RECT& r : Pieces(dirty.get(), box))
        BitBlt(window_dc.get(), r.left, r.top, r.right - r.left, r.bottom - r.top, dc, r.left, r.top,
               SRCCOPY);
}

void SceneView::Paint(HDC dc, const RECT& r) const {
    if (!buffer_.dc()) return;
    BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, buffer_.dc(), r.left, r.top, SRCCOPY);
}

void SceneView::PaintAll(HDC dc) const { Paint(dc, RECT{0, 0, buffer_.width(), buffer_.height()}); }

}  // namespace forms
