// The non-client frame manager: takes over a top-level window's frame,
// caption and menu row and hands painting and frame clicks to a painter.
#pragma once

#include <windows.h>

#include <memory>

#include "platform/non_copyable.h"
#include "skin/skin_handles_win.h"
#include "skin/subclass_win.h"

namespace quorlax::skin {

// What a frame painter does for cNCCalcSize. Sizes in pixels; coordinates
// relative to the window's top-left corner.
class INCAreaModifier {
public:
    // The window that the painter decorates.
    virtual HWND hwnd() = 0;
    // Top non-client height; called with the default already in it.
    virtual void GetTopMarginHeight(int& cy) = 0;
    // Left non-client width.
    virtual void GetLeftMarginWidth(int& cx) = 0;
    // Right non-client width.
    virtual void GetRightMarginWidth(int& cx) = 0;
    // Bottom non-client height.
    virtual void GetBottomMarginHeight(int& cy) = 0;
    // Paints the whole non-client area; the rectangle is the window moved to (0, 0).
    virtual void NCPaint(HDC hdc, int lLeft, int lTop, int lRight, int lBottom) = 0;
    // Refines the hit-test code computed by the frame manager.
    virtual void HitTest(int x, int y, LRESULT& eHitTest) = 0;
    // Left button pressed in the frame; bHandled keeps the default handling from running.
    virtual void NCMouseDown(int x, int y, bool& bHandled, HDC hdc, int lLeft, int lTop, int lRight,
                             int lBottom) = 0;
    // Left button released in the frame.
    virtual void NCMouseUp(int x, int y, HDC hdc, int lLeft, int lTop, int lRight, int lBottom) = 0;
    // A drop-down menu of the window is about to open.
    virtual void InitMenuPopup(WPARAM wParam, LPARAM lParam) = 0;
    // The window's menu loop ended.
    virtual void ExitMenuLoop() = 0;
    // A key was pressed with Alt held; a non-zero lReturn swallows the key.
    virtual void AltKeyAccelerator(UINT vKey, LRESULT& lReturn) = 0;

public:
    virtual ~INCAreaModifier() = default;
};

class cNCCalcSize : private ISubclass, NonCopyable {
public:
    cNCCalcSize();
    ~cNCCalcSize();

    // Repaints the window and its children now.
    void Redraw(HWND hwnd);
    // Repaints the form, then has the system recalculate its frame.
    void Display(HWND f);
    // The last activation state from WM_NCACTIVATE.
    bool WindowActive() const { return window_active_; }
    // The last state from WM_ACTIVATEAPP.
    bool AppActive() const { return app_active_; }
    // Starts a caption drag at the cursor, as a press on the caption would.
    void TitleBarMouseDown();
    // Posts a system command (SC_CLOSE...) to the window.
    void SysCommand(UINT eCmd);
    // Takes over the painter's window (detaching first); errors of the
    // subclassing service propagate.
    void Attach(INCAreaModifier* iTo);
    // The menu drawn in the frame: the window's menu at attach, or one set later.
    HMENU hMenu() const { return menu_; }
    // Undoes everything Attach did; also runs on WM_DESTROY.
    void Detach();
    // The painter recorded on the window, if any.
    bool GetImplementation(INCAreaModifier*& iTo) const;

private:
    EMsgResponse MsgResponse() override;
    void MsgResponse(EMsgResponse) override {}
    void WindowProc(HWND hwnd, UINT iMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) override;

    LRESULT OnNCCalcSize(WPARAM wParam, LPARAM lParam);
    LRESULT HitTestAt(POINT screen);
    void OnNCLButtonDown(WPARAM wParam, LPARAM lParam);
    bool PainterTakesPress(POINT screen);
    void OnNCLButtonUp(LPARAM lParam);
    void OnSetCursor(WPARAM wParam, LPARAM lParam, LRESULT& lResult);
    void PaintFrame();
    bool AdoptWindowMenu();
    void DragWindow();
    LRESULT CallOld(UINT msg, WPARAM wParam, LPARAM lParam);

    // Serves a top-level window with a painter: the game's main window is
    // neither an MDI child nor ever without its painter while attached.
    HWND hwnd_ = nullptr;                 // the attached window; null when detached
    INCAreaModifier* painter_ = nullptr;  // its painter while attached
    HMENU menu_ = nullptr;                // the menu the frame shows (the window's own is taken off)
    bool window_active_ = false;          // from WM_NCACTIVATE
    bool app_active_ = false;             // from WM_ACTIVATEAPP
    int left_ = 0, top_ = 0, right_ = 0, bottom_ = 0;  // margins from the last WM_NCCALCSIZE
    LRESULT last_hit_test_ = HTNOWHERE;                // from the last WM_NCHITTEST
    int jiggle_x_ = 0, jiggle_y_ = 0;                  // alternate -1/+1 on each caption press
    bool in_set_cursor_ = false;                       // WM_SETCURSOR is being handled
    std::shared_ptr<bool> alive_;                      // lets the drag loop notice that this object went away
};

}  // namespace quorlax::skin
