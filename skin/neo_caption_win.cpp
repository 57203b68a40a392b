// The caption skin: frame painting from the two pictures, caption buttons,
// title, and the menu bar drawn into the lower half of the strip.
#include "skin/neo_caption_win.h"

#include <algorithm>
#include <string>

#include "skin/skin_error_win.h"

namespace quorlax::skin {
namespace {

constexpr int kBoldWeight = 700;
constexpr int kNormalWeight = 400;
constexpr int kMiddleTileWidth = 52;  // columns of the caption's repeated middle piece
constexpr int kTitleLeftGap = 2;      // title starts this far right of the left end piece
constexpr int kTitleRightInset = 96;  // title ends this far from the window's right edge
constexpr int kButtonTop = 5;         // caption buttons' top row
constexpr int kButtonsInset = 4;      // first button's right edge: right end piece's end - border + this
constexpr RECT kSystemIconRect{12, 11, 42, 43};  // answered as the system menu
// Border tiles by their index along the border picture (each tile is as
// wide as the picture is high).
constexpr int kLeftTile = 0, kBottomLeftTile = 2, kBottomTile = 3, kRightTile = 4, kBottomRightTile = 6;
constexpr UINT kButtonStyles[] = {WS_SYSMENU, WS_MAXIMIZEBOX, WS_MINIMIZEBOX};

bool LeftButtonDown() {
    int button = GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (GetAsyncKeyState(button) & 0x8000) != 0;
}

// Fills `length` pixels from `from` along one axis by doubling what is there:
// the first `done` pixels are already in place.
void DoubleAlong(HDC dc, bool across, int from, int done, int length, int thickness, int other) {
    while (done < length) {
        const int n = std::min(done, length - done);
        if (across)
            BitBlt(dc, from + done, other, n, thickness, dc, from, other, SRCCOPY);
        else
            BitBlt(dc, other, from + done, thickness, n, dc, other, from, SRCCOPY);
        done += n;
    }
}

}  // namespace

cNeoCaption::cNeoCaption() { menu_font_ = caption_font_; }

cNeoCaption::~cNeoCaption() { Detach(); }

void cNeoCaption::MenuBackgroundColor(OLE_COLOR c) {
    menu_background_ = c;
    if (menu_bar_) menu_bar_->MenuBackgroundColor(c);
}

void cNeoCaption::MenuFont(const StdFont& f) {
    menu_font_ = f;
    if (menu_bar_) menu_bar_->MenuFont(f);
}

void cNeoCaption::ActiveMenuColor(OLE_COLOR c) {
    active_menu_ = c;
    if (menu_bar_) menu_bar_->ActiveMenuColor(c);
}

void cNeoCaption::ActiveMenuColorOver(OLE_COLOR c) {
    active_menu_over_ = c;
    if (menu_bar_) menu_bar_->ActiveMenuColorOver(c);
}

SIZE cNeoCaption::WindowSizeFor(SIZE client) const {
    return SIZE{client.cx + 2 * border_pic_.Height(),
                client.cy + caption_pic_.Height() + border_pic_.Height()};
}

void cNeoCaption::Attach(HWND F, HBITMAP PicCaption, HBITMAP PicBorder, int lButtonWidth, int lButtonHeight,
                         int lActiveLeftEnd, int lActiveRightStart, int lActiveRightEnd,
                         int lInactiveOffset) {
    WindowUpdateLock lock(F);
    Detach();
    try {
        caption_pic_.CreateFromPicture(PicCaption);
        border_pic_.CreateFromPicture(PicBorder);
        button_width_ = lButtonWidth;
        button_height_ = lButtonHeight;
        active_left_end_ = lActiveLeftEnd;
        active_right_start_ = lActiveRightStart;
        active_right_end_ = lActiveRightEnd;
        inactive_offset_ = lInactiveOffset;
        hwnd_ = F;

        menu_bar_ = std::make_unique<cMenuBar>();
        menu_bar_->Attach(F);
        menu_bar_->MenuFont(menu_font_);
        menu_bar_->ActiveMenuColor(active_menu_);
        menu_bar_->ActiveMenuColorOver(active_menu_over_);
        menu_bar_->MenuBackgroundColor(menu_background_);

        nc_ = std::make_unique<cNCCalcSize>();
        nc_->Attach(this);
        nc_->Display(F);
    } catch (...) {
        Detach();
        throw;
    }
    if (IsWindowVisible(F)) {
        SetForegroundWindow(F);
        SetFocus(F);
        SendMessageW(F, WM_NCACTIVATE, TRUE, 0);
    }
}

void cNeoCaption::Detach() {
    HMENU menu = nullptr;
    if (nc_) {
        menu = nc_->hMenu();
        nc_->Detach();
        nc_.reset();
    }
    if (menu_bar_) {
        if (!menu) menu = menu_bar_->hMenu();
        menu_bar_->Detach();
        menu_bar_.reset();
    }
    if (hwnd_ && IsWindow(hwnd_)) {
        if (menu)
            SetMenu(hwnd_, menu);  // also brings the system's frame back
        else
            SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                         SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_FRAMECHANGED);
    }
    hwnd_ = nullptr;
    pressed_ = {};
}

void cNeoCaption::ReadButtonStyles() {
    const LONG_PTR style = GetWindowLongPtrW(hwnd_, GWL_STYLE);
    for (int i = 0; i < 3; ++i) shown_[static_cast<size_t>(i)] = (style & kButtonStyles[i]) != 0;
    maximized_ = (style & WS_MAXIMIZE) != 0;
}

void cNeoCaption::DrawButton(HDC dc, int index, int state) {
    const size_t i = static_cast<size_t>(index);
    if (!shown_[i]) return;
    int column = active_right_end_ + 1;  // the close glyph
    if (index == kMaxRestore) column = active_right_end_ + (maximized_ ? 1 : 2) * button_width_;
    if (index == kMinimize) column = active_right_end_ + 3 * button_width_;
    BitBlt(dc, button_rects_[i].left, button_rects_[i].top, button_width_, button_height_, caption_pic_.hdc(),
           column, state ? button_height_ : 0, SRCCOPY);
}

void cNeoCaption::NCPaint(HDC hdc, int lLeft, int lTop, int lRight, int lBottom) {
    const int W = lRight, H = lBottom;
    const int CH = caption_pic_.Height(), BH = border_pic_.Height();
    if (!hwnd_ || CH <= 0 || BH <= 0) return;
    caption_buffer_.Width(W + 1);
    caption_buffer_.Height(CH);
    border_buffer_.Width(2 * BH);
    border_buffer_.Height(H + 1);
    HDC buffer = caption_buffer_.hdc(), picture = caption_pic_.hdc();
    if (!buffer || !border_buffer_.hdc()) return;

    const bool active = nc_ && nc_->WindowActive();
    UniqueFont font = CreateSkinFont(caption_font_, hdc, active ? kBoldWeight : 0);
    SelectGuard selected(buffer, font.get());
    const int S = active ? 0 : inactive_offset_;

    // The two end pieces; a narrow window keeps the right one after the left
    // one and shows no title.
    BitBlt(buffer, 0, 0, active_left_end_, CH, picture, S, 0, SRCCOPY);
    const int RW = active_right_end_ - active_right_start_ + 1;
    int X = W + active_right_start_ - active_right_end_;
    const bool narrow = X < RW;
    if (narrow) X = RW;
    BitBlt(buffer, X, 0, RW, CH, picture, S + active_right_start_, 0, SRCCOPY);

    // Buttons from the right; a missing one leaves no gap.
    ReadButtonStyles();
    int cursor = X + RW - BH + kButtonsInset;
    for (int i = 0; i < 3; ++i) {
        RECT& r = button_rects_[static_cast<size_t>(i)];
        const int top = lTop + kButtonTop;
        if (shown_[static_cast<size_t>(i)]) {
            const int left = cursor - button_width_ - 1;
            r = RECT{left, top, left + button_width_ + 1, top + button_height_};
            DrawButton(buffer, i, 0);
            cursor = left;
        } else {
            r = RECT{cursor, top, cursor, top + button_height_};
        }
    }

    for (int x = active_left_end_; x < X; x += kMiddleTileWidth)
        BitBlt(buffer, x, 0, std::min(kMiddleTileWidth, X - x), CH, picture, S + active_left_end_ + 1, 0,
               SRCCOPY);

    if (!narrow) {
        const int length = GetWindowTextLengthW(hwnd_);
        if (length > 0) {
            std::wstring title(static_cast<size_t>(length) + 1, L'\0');
            title.resize(static_cast<size_t>(GetWindowTextW(hwnd_, title.data(), length + 1)));
            SetBkMode(buffer, TRANSPARENT);
            SetTextColor(buffer, TranslateColor(active ? active_caption_ : inactive_caption_));
            RECT r{lLeft + active_left_end_ + kTitleLeftGap, BH + 1, W - kTitleRightInset,
                   BH + 1 + (CH - BH - 2) / 2};
            DrawTextW(buffer, title.c_str(), -1, &r, DT_END_ELLIPSIS | DT_NOPREFIX | DT_SINGLELINE);
        }
    }

    if (menu_bar_) {
        menu_bar_->hMenu(nc_ ? nc_->hMenu() : nullptr);
        if (X >= active_left_end_) {
            UniqueFont titles = CreateSkinFont(caption_font_, hdc, kNormalWeight);
            menu_bar_->Render(titles.get(), buffer, active_left_end_, CH / 2, X - active_left_end_, CH / 2);
        }
    }
    BitBlt(hdc, 0, 0, W, CH, buffer, 0, 0, SRCCOPY);

    // Sides: one tile each from the picture, then doubled down to the bottom.
    HDC sides = border_buffer_.hdc(), tiles = border_pic_.hdc();
    BitBlt(sides, 0, CH, BH, BH, tiles, kLeftTile * BH, 0, SRCCOPY);
    BitBlt(sides, BH, CH, BH, BH, tiles, kRightTile * BH, 0, SRCCOPY);
    DoubleAlong(sides, false, CH, BH, H - CH, 2 * BH, 0);
    BitBlt(hdc, lLeft, CH, BH, H - CH, sides, 0, CH, SRCCOPY);
    BitBlt(hdc, W - BH, CH, BH, H - CH, sides, BH, CH, SRCCOPY);

    // Bottom, composed in the caption buffer's first rows (already shown).
    BitBlt(buffer, BH, 0, BH, BH, tiles, kBottomTile * BH, 0, SRCCOPY);
    DoubleAlong(buffer, true, BH, BH, W - 2 * BH, BH, 0);
    BitBlt(buffer, 0, 0, BH, BH, tiles, kBottomLeftTile * BH, 0, SRCCOPY);
    BitBlt(buffer, W - BH, 0, BH, BH, tiles, kBottomRightTile * BH, 0, SRCCOPY);
    BitBlt(hdc, 0, std::max(H - BH, CH), W, BH, buffer, 0, 0, SRCCOPY);
}

void cNeoCaption::HitTest(int x, int y, LRESULT& eHitTest) {
    const POINT p{x, y};
    if (PtInRect(&kSystemIconRect, p)) {
        eHitTest = HTSYSMENU;
        return;
    }
    std::array<bool, 3> over{};
    bool redraw = false;
    for (size_t i = 0; i < 3; ++i) {
        if (!shown_[i]) continue;
        over[i] = PtInRect(&button_rects_[i], p) != FALSE;
        if (over[i]) eHitTest = HTSYSMENU;
        redraw = redraw || pressed_[i] != over[i];
    }
    // A drawn menu title is answered as the menu row wherever it is drawn, so
    // the bar gets the mouse there (as client messages).
    if (menu_bar_ && eHitTest != HTSYSMENU && menu_bar_->TitleAtWindowPoint(p) > 0) eHitTest = HTMENU;
    if (!redraw || !hwnd_) return;
    // A pressed button shows released while the pointer is off it; once the
    // button is let go elsewhere, the press is over.
    WindowDc dc(hwnd_, WindowDc::kWholeWindow);
    const bool held = LeftButtonDown();
    for (size_t i = 0; i < 3; ++i) {
        if (!shown_[i] || pressed_[i] == over[i]) continue;
        DrawButton(dc.get(), static_cast<int>(i), 0);
        if (pressed_[i] && !held) pressed_[i] = false;
    }
}

void cNeoCaption::NCMouseDown(int x, int y, bool& bHandled, HDC hdc, int, int, int, int) {
    const POINT p{x, y};
    for (size_t i = 0; i < 3; ++i) {
        if (!shown_[i] || !PtInRect(&button_rects_[i], p)) continue;
        DrawButton(hdc, static_cast<int>(i), 1);
        pressed_[i] = true;
        bHandled = true;
    }
}

void cNeoCaption::NCMouseUp(int x, int y, HDC hdc, int, int, int, int) {
    const POINT p{x, y};
    for (size_t i = 0; i < 3; ++i) {
        if (!shown_[i] || !pressed_[i] || !PtInRect(&button_rects_[i], p) || !nc_) continue;
        if (i == kClose) nc_->SysCommand(SC_CLOSE);
        if (i == kMaxRestore) nc_->SysCommand(maximized_ ? SC_RESTORE : SC_MAXIMIZE);
        if (i == kMinimize) nc_->SysCommand(SC_MINIMIZE);
    }
    for (int i = 0; i < 3; ++i) DrawButton(hdc, i, 0);
    pressed_ = {};
}

void cNeoCaption::InitMenuPopup(WPARAM wParam, LPARAM) {
    if (menu_bar_) menu_bar_->InitMenuPopup(reinterpret_cast<HMENU>(wParam));
}

void cNeoCaption::ExitMenuLoop() {
    if (menu_bar_) menu_bar_->ExitMenuLoop();
}

void cNeoCaption::AltKeyAccelerator(UINT vKey, LRESULT& lReturn) {
    lReturn = menu_bar_ && menu_bar_->AltKeyAccelerator(vKey) ? 1 : 0;
}

}  // namespace quorlax::skin
