// The caption skin of a window: paints the whole frame from two pictures,
// draws its own caption buttons and title, and hosts the painted menu bar.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "platform/non_copyable.h"
#include "skin/mem_dc_win.h"
#include "skin/menu_bar_win.h"
#include "skin/nc_calc_size_win.h"
#include "skin/skin_look_win.h"

namespace quorlax::skin {

class cNeoCaption : public INCAreaModifier, NonCopyable {
public:
    cNeoCaption();
    ~cNeoCaption();

    // Gives the window its own frame (and its menu) back.
    void Detach();
    // Skins window F (detaching first). PicCaption: the caption strip
    // (active artwork from column 0, inactive lInactiveOffset further right,
    // button glyphs after lActiveRightEnd); PicBorder: 10 x 10 side and
    // bottom tiles. Both are copied; the caller keeps them. Errors of the
    // subclassing service propagate.
    void Attach(HWND F, HBITMAP PicCaption, HBITMAP PicBorder, int lButtonWidth, int lButtonHeight,
                int lActiveLeftEnd, int lActiveRightStart, int lActiveRightEnd, int lInactiveOffset);

    // Drop-down background.
    OLE_COLOR MenuBackgroundColor() const { return menu_background_; }
    void MenuBackgroundColor(OLE_COLOR c);
    // Title text colour while the window is active.
    OLE_COLOR ActiveCaptionColor() const { return active_caption_; }
    void ActiveCaptionColor(OLE_COLOR c) { active_caption_ = c; }
    // Title text colour while inactive.
    OLE_COLOR InActiveCaptionColor() const { return inactive_caption_; }
    void InActiveCaptionColor(OLE_COLOR c) { inactive_caption_ = c; }
    // The title's font.
    const StdFont& CaptionFont() const { return caption_font_; }
    void CaptionFont(const StdFont& f) { caption_font_ = f; }
    // The drop-down items' font.
    const StdFont& MenuFont() const { return menu_font_; }
    void MenuFont(const StdFont& f);
    // Title and item text colour.
    OLE_COLOR ActiveMenuColor() const { return active_menu_; }
    void ActiveMenuColor(OLE_COLOR c);
    // Text of the hot, pressed or highlighted menu entry.
    OLE_COLOR ActiveMenuColorOver() const { return active_menu_over_; }
    void ActiveMenuColorOver(OLE_COLOR c);

    // The menu shown in the caption (the window's own menu is taken off it
    // while skinned); null when detached.
    HMENU hMenu() const { return nc_ ? nc_->hMenu() : nullptr; }
    // The painted menu bar (null when detached).
    cMenuBar* MenuBar() const { return menu_bar_.get(); }
    // The window size that gives a client area of this size under the skin.
    SIZE WindowSizeFor(SIZE client) const;

    // INCAreaModifier: what the frame manager asks of the painter.
    HWND hwnd() override { return hwnd_; }
    void GetTopMarginHeight(int& cy) override { cy = caption_pic_.Height(); }
    void GetLeftMarginWidth(int& cx) override { cx = border_pic_.Height(); }
    void GetRightMarginWidth(int& cx) override { cx = border_pic_.Height(); }
    void GetBottomMarginHeight(int& cy) override { cy = border_pic_.Height(); }
    void NCPaint(HDC hdc, int lLeft, int lTop, int lRight, int lBottom) override;
    void HitTest(int x, int y, LRESULT& eHitTest) override;
    void NCMouseDown(int x, int y, bool& bHandled, HDC hdc, int lLeft, int lTop, int lRight,
                     int lBottom) override;
    void NCMouseUp(int x, int y, HDC hdc, int lLeft, int lTop, int lRight, int lBottom) override;
    void InitMenuPopup(WPARAM wParam, LPARAM lParam) override;
    void ExitMenuLoop() override;
    void AltKeyAccelerator(UINT vKey, LRESULT& lReturn) override;

private:
    enum Button { kClose = 0, kMaxRestore = 1, kMinimize = 2 };
    void DrawButton(HDC dc, int index, int state);
    void ReadButtonStyles();

    HWND hwnd_ = nullptr;
    std::unique_ptr<cNCCalcSize> nc_;
    std::unique_ptr<cMenuBar> menu_bar_;
    cMemDC caption_pic_;                  // the caption strip as given
    cMemDC border_pic_;                   // the border tiles as given
    cMemDC caption_buffer_;               // one caption row composed off screen
    cMemDC border_buffer_;                // the two side columns composed off screen
    int button_width_ = 0;                // caption button glyph width
    int button_height_ = 0;               // glyph height; pressed glyphs lie this far below
    int active_left_end_ = 0;             // width of the left end piece
    int active_right_start_ = 0;          // first column of the right end piece
    int active_right_end_ = 0;            // last column of the right end piece; glyphs follow it
    int inactive_offset_ = 0;             // how far right the inactive artwork lies
    std::array<RECT, 3> button_rects_{};  // close, maximize/restore, minimize (window coordinates)
    std::array<bool, 3> shown_{};         // by WS_SYSMENU, WS_MAXIMIZEBOX, WS_MINIMIZEBOX
    std::array<bool, 3> pressed_{};
    bool maximized_ = false;  // WS_MAXIMIZE at the last paint: restore glyph

    OLE_COLOR menu_background_ = 0xFFFFFF;
    OLE_COLOR active_caption_ = 0xCCCCCC;
    OLE_COLOR inactive_caption_ = 0x999999;
    OLE_COLOR active_menu_ = 0;
    OLE_COLOR active_menu_over_ = 0;
    StdFont caption_font_;
    StdFont menu_font_;
};

}  // namespace quorlax::skin
