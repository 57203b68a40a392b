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
    if (dc_ && w == width_ && h == height_) return false;
    Release();
    quorlax::win::WindowDc screen(window);
    dc_.reset(CreateCompatibleDC(screen.get()));
    bitmap_.reset(CreateCompatibleBitmap(screen.get(), w, h));
    old_ = SelectObject(dc_.get(), bitmap_.get());
    width_ = w;
    height_ = h;
    return true;
}

void BackBuffer::Release() {
    // The bitmap leaves the DC before either is deleted.
    if (dc_ && old_) SelectObject(dc_.get(), old_);
    old_ = nullptr;
    bitmap_.reset();
    dc_.reset();
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

void SceneView::Collect(HDC dc, const Scene& scene, const Image* background, Frame& frame) {
    if (background)
        frame[nullptr] = {RECT{0, 0, background->Width(), background->Height()}, background->Version()};
    for (const Scene::Entry& e : scene.Entries()) {
        if (!e.control->Shown()) continue;
        switch (e.kind) {
            case Scene::Kind::Label: {
                const auto& label = *static_cast<const Label*>(e.control);
                if (DrawsNothing(label, drawn_back_color_)) continue;
                frame[e.control] = {painter_.LabelBounds(dc, label), Painter::Signature(label)};
                break;
            }
            case Scene::Kind::Picture:
                frame[e.control] = {painter_.Rect(*e.control),
                                    Painter::Signature(*static_cast<const Picture*>(e.control))};
                break;
            case Scene::Kind::Panel:
                frame[e.control] = {painter_.Rect(*e.control),
                                    Painter::Signature(*static_cast<const Panel*>(e.control))};
                break;
        }
    }
}

void SceneView::Draw(HDC dc, const Scene::Entry& e) {
    switch (e.kind) {
        case Scene::Kind::Label: painter_.DrawLabel(dc, *static_cast<const Label*>(e.control)); break;
        case Scene::Kind::Picture: painter_.DrawPicture(dc, *static_cast<const Picture*>(e.control)); break;
        case Scene::Kind::Panel: painter_.DrawPanel(dc, *static_cast<const Panel*>(e.control)); break;
    }
}

void SceneView::Render(HWND window, const Scene& scene, const Image* background, Color back_color) {
    if (!window) return;
    bool everything = buffer_.Fit(window) || !drawn_once_ || drawn_back_color_ != back_color;
    drawn_back_color_ = back_color;
    HDC dc = buffer_.dc();
    Frame frame;
    Collect(dc, scene, background, frame);

    // Only what changed since the last frame is drawn again and painted: the
    // old and the new place of every control that moved, changed, came or went.
    Region dirty(CreateRectRgn(0, 0, 0, 0));
    auto add = [&](const RECT& r) {
        Region piece(CreateRectRgnIndirect(&r));
        CombineRgn(dirty.get(), dirty.get(), piece.get(), RGN_OR);
    };
    if (everything) {
        add(RECT{0, 0, buffer_.width(), buffer_.height()});
    } else {
        for (const auto& [key, now] : frame) {
            auto before = drawn_.find(key);
            if (before != drawn_.end() && EqualRect(&now.bounds, &before->second.bounds) &&
                now.signature == before->second.signature)
                continue;
            add(now.bounds);
            if (before != drawn_.end()) add(before->second.bounds);
        }
        for (const auto& [key, before] : drawn_)
            if (!frame.count(key)) add(before.bounds);
    }
    drawn_ = std::move(frame);
    drawn_once_ = true;

    RECT box{};
    if (GetRgnBox(dirty.get(), &box) == NULLREGION) {
        last_dirty_ = {};
        return;
    }
    last_dirty_ = box;
    SelectClipRgn(dc, dirty.get());
    painter_.Fill(dc, box, back_color);
    // Against the region, not its bounding box: a cell at the top and a
    // count in the panel must not redraw every cell between them.
    auto overlaps = [&dirty](const RECT& r) { return RectInRegion(dirty.get(), &r) != FALSE; };
    if (background) {
        auto it = drawn_.find(nullptr);
        if (it != drawn_.end() && overlaps(it->second.bounds))
            painter_.DrawImage(dc, *background, it->second.bounds);
    }
    for (const Scene::Entry& e : scene.Entries()) {
        auto it = drawn_.find(e.control);
        if (it != drawn_.end() && overlaps(it->second.bounds)) Draw(dc, e);
    }
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
