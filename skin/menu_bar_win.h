// The painted menu bar: top-level titles drawn into the caption strip, hot
// tracking, drop-downs opened one after another, owner-drawn items.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/non_copyable.h"
#include "skin/mem_dc_win.h"
#include "skin/skin_handles_win.h"
#include "skin/skin_look_win.h"
#include "skin/subclass_win.h"
#include "skin/timer_win.h"
#include "skin/toolbar_menu_win.h"

namespace quorlax::skin {

class cMenuBar : private ISubclass, NonCopyable {
public:
    cMenuBar();
    ~cMenuBar();

    // The menu whose top-level titles are drawn.
    void hMenu(HMENU menu) { menu_ = menu; }
    HMENU hMenu() const { return menu_; }
    // Starts serving a window; errors of the subclassing service propagate.
    void Attach(HWND lhWnd);
    // Stops serving the window.
    void Detach();
    // Draws the titles into lhDC over what is there, in the rectangle at
    // (lLeft, lTop + 2) of lWidth x lHeight, and records where each title is
    // (in the window's coordinates, as lhDC is laid over the window).
    void Render(HFONT hFnt, HDC lhDC, int lLeft, int lTop, int lWidth, int lHeight);

    // Title and item text colour.
    void ActiveMenuColor(OLE_COLOR c) { active_colour_ = c; }
    // Text of the hot, pressed or highlighted entry.
    void ActiveMenuColorOver(OLE_COLOR c) { over_colour_ = c; }
    // Drop-down background.
    void MenuBackgroundColor(OLE_COLOR c) { background_colour_ = c; }
    // The font of the drop-down items (and, at 1.2 times its size, of the check marks).
    void MenuFont(const StdFont& font);

    // Prepares a drop-down before it opens: its items become owner-drawn.
    void InitMenuPopup(HMENU popup);
    // Gives every prepared item its type, data and text back.
    void ExitMenuLoop();
    // Alt with a key: opens the title whose "&" letter it is; true if one matched.
    bool AltKeyAccelerator(UINT vKey);

    // Titles drawn by the last Render (1-based), with their frame rectangles
    // in window coordinates and their drop-downs.
    int TitleCount() const { return static_cast<int>(titles_.size()); }
    RECT TitleRect(int n) const { return titles_[static_cast<size_t>(n - 1)].rect; }
    HMENU TitleMenu(int n) const { return titles_[static_cast<size_t>(n - 1)].popup; }
    // Whether title n can be opened: a greyed title is drawn greyed and never opens.
    bool TitleEnabled(int n) const;
    // Title n's rectangle on the screen.
    RECT TitleScreenRect(int n) const;
    // The title under a screen point; 0 if none.
    int TitleAt(POINT screen) const;
    // The title under a point given relative to the window's top-left corner; 0 if none.
    int TitleAtWindowPoint(POINT p) const;
    // Title whose drop-down is open or was clicked (0 none); setting repaints.
    int PressedTitle() const { return pressed_; }
    void PressTitle(int n);
    // Title under the mouse (0 none); setting repaints.
    int HotTitle() const { return hot_; }
    void HotTitle(int n);
    // Whether the hover timer runs (only while a title is hot or pressed).
    bool Tracking() const { return m_cTmr && m_cTmr->Interval() > 0; }

private:
    struct Title {
        RECT rect;      // frame rectangle, window coordinates
        HMENU popup;    // its drop-down
        UINT position;  // in the menu
    };
    // A drop-down item prepared for owner drawing, with what it was before.
    struct Item {
        HMENU menu;
        UINT position;
        UINT type;  // as it was: MFT_* flags
        UINT id;
        ULONG_PTR data;
        std::wstring text;      // up to 127 characters
        std::wstring caption;   // before the first TAB
        std::wstring shortcut;  // after it
        wchar_t accelerator;    // upper-cased letter after the first "&"; 0 none
        bool made_owner_drawn;  // false: the item was owner-drawn by its menu's owner
        int widest_caption;     // of its drop-down
        int widest_shortcut;
    };

    EMsgResponse MsgResponse() override { return EMsgResponse::emrConsume; }
    void MsgResponse(EMsgResponse) override {}
    void WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    void TrackHot(POINT screen);
    void OpenTitle(int n);
    void Repaint();
    void ReadItem(Item& item);
    Item* ItemOf(ULONG_PTR data, HMENU menu);
    bool MeasureItem(MEASUREITEMSTRUCT& mis);
    bool DrawItem(const DRAWITEMSTRUCT& dis);
    void DrawItemText(HDC dc, const std::wstring& text, RECT r, UINT format, bool disabled, COLORREF colour);
    LRESULT MenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT CallOld(UINT msg, WPARAM wParam, LPARAM lParam);

    HMENU menu_ = nullptr;         // the menu whose titles are drawn
    HWND hwnd_ = nullptr;          // the window served
    UINT open_title_message_ = 0;  // posted to open a title from the keyboard hook
    std::unique_ptr<cToolbarMenu> tracker_;
    std::unique_ptr<CTimer> m_cTmr;  // re-runs the hot tracking while a title is hot or pressed
    cMemDC buffer_;                  // title row, and one drop-down item at a time
    std::vector<Title> titles_;      // rebuilt by each Render
    int pressed_ = 0;                // title whose drop-down is open or was clicked; 0 = none
    int hot_ = 0;                    // title under the mouse; 0 = none
    OLE_COLOR active_colour_ = 0;
    OLE_COLOR over_colour_ = 0;
    OLE_COLOR background_colour_ = 0xFFFFFF;
    StdFont menu_font_;
    UniqueFont item_font_;         // menu_font_ for drawing items
    UniqueFont symbol_font_;       // "Marlett" at 1.2 times the menu font's size
    std::vector<Item> items_;      // prepared in this menu mode
    std::vector<HMENU> prepared_;  // drop-downs prepared in this menu mode
    int text_height_ = 0;          // one line of item text
    std::shared_ptr<bool> alive_;  // lets a menu loop notice that this object went away
};

}  // namespace quorlax::skin
