// The hall-of-fame window.
#include "scores/hall_of_fame_window_win.h"

#include "platform/handles_win.h"
#include "platform/message_loop_win.h"
#include "platform/window_win.h"

namespace quorlax::win {
namespace {

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// Where the window goes, in screen pixels, as designed.
constexpr int kScreenX = 100, kScreenY = 130, kOuterWidth = 600;
constexpr int kEtchedLine = 2;  // pixels of a table's frame line (EDGE_ETCHED)

}  // namespace

HallOfFameWindow::HallOfFameWindow(HINSTANCE instance, HWND owner, HallOfFameForm& form, forms::Painter& painter)
    : instance_(instance), owner_(owner), form_(form), painter_(painter), ok_(form.okButton, painter) {
    form_.OnLoaded = [this] { Create(); };
    form_.OnUnloaded = [this] { Destroy(); };
    form_.OnFocusName = [this] {
        Sync();
        if (HWND box = NameBox()) {
            SetForegroundWindow(hwnd_);
            SetFocus(box);
            SendMessageW(box, EM_SETSEL, 0, -1);
        }
    };
    form_.OnChanged = [this] { Sync(); };
}

HallOfFameWindow::~HallOfFameWindow() {
    form_.OnLoaded = form_.OnUnloaded = form_.OnFocusName = form_.OnChanged = nullptr;
    Destroy();
}

void HallOfFameWindow::Create() {
    if (hwnd_) return;
    RegisterWindowClassOf<HallOfFameWindow>(instance_, kHallOfFameClass,
                                            reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));

    // Tall enough for the OK button: the designed 300 pixels cut it off.
    RECT r{0, 0, painter_.Px(HallOfFameForm::kWidth), painter_.Px(HallOfFameForm::kHeight)};
    AdjustWindowRectEx(&r, kStyle, FALSE, WS_EX_TOPMOST);
    CreateWindowExW(WS_EX_TOPMOST, kHallOfFameClass, kHallOfFameTitle, kStyle, kScreenX, kScreenY,
                    kOuterWidth, r.bottom - r.top, owner_, nullptr, instance_, this);
    if (!hwnd_) return;
    name_box_ = std::make_unique<forms::TextBoxHost>(form_.nameBox, painter_);
    name_box_->LostFocus = [this] {
        if (!destroying_) form_.OnNameBoxLostFocus();
    };
    name_box_->Create(instance_, hwnd_, WS_TABSTOP);
    ok_.Create(instance_, hwnd_, kOkId);
    // Tab and Enter work as in a dialog; the main window's shortcuts do not
    // reach this window, so a name can hold any letter typed with Ctrl.
    MessageLoop::Instance().Register(hwnd_, nullptr, true);
    SetWindowPos(hwnd_, HWND_TOPMOST, kScreenX, kScreenY, kOuterWidth, r.bottom - r.top, SWP_SHOWWINDOW);
    Sync();
}

void HallOfFameWindow::Destroy() {
    if (!hwnd_) return;
    destroying_ = true;
    DestroyWindow(hwnd_);
    destroying_ = false;
}

void HallOfFameWindow::Sync() {
    if (!hwnd_) return;
    if (name_box_) name_box_->Place();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

void HallOfFameWindow::OnAttach(HWND hwnd) { hwnd_ = hwnd; }

void HallOfFameWindow::OnDetach() {
    MessageLoop::Instance().Unregister(hwnd_);
    hwnd_ = nullptr;
    name_box_.reset();
}

LRESULT HallOfFameWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // Enter in the name box presses OK too, and the focus moves to the
    // button first, as a click would move it: the name is confirmed before
    // OK closes the window. Touch nothing after OK.
    LRESULT result = 0;
    if (name_box_ && name_box_->Filter(msg, wp, lp, result)) return result;
    if (ok_.Filter(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintBuffered(hwnd_, [this](HDC dc) { Paint(dc); }); return 0;
        case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return 0;
        case WM_CLOSE: form_.Unload(); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

void HallOfFameWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    painter_.Fill(dc, client, forms::kSystemButtonFace);  // its button keeps this face too
    painter_.DrawLabel(dc, form_.title);
    for (int t = 0; t < 3; ++t) {
        painter_.DrawLabel(dc, form_.headings[t]);
        // The frame line around the table.
        RECT frame{painter_.Px(form_.columnHeads[t][0].Left - 60), painter_.Px(1350),
                   painter_.Px(form_.nameCells[t][0].Left + form_.nameCells[t][0].Width + 60),
                   painter_.Px(3570)};
        DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
        for (int c = 0; c < 3; ++c) painter_.DrawLabel(dc, form_.columnHeads[t][c]);
        // A column reaches to the next one, the last to the frame line.
        RECT columns[3];
        for (int c = 0; c < 3; ++c)
            columns[c] =
                RECT{painter_.Px(form_.columnHeads[t][c].Left), frame.top + kEtchedLine,
                     c < 2 ? painter_.Px(form_.columnHeads[t][c + 1].Left) : frame.right - kEtchedLine,
                     frame.bottom - kEtchedLine};
        for (int r = 0; r < kRanks; ++r) {
            DrawInColumn(dc, form_.rankCaptions[t][r], columns[0]);
            DrawInColumn(dc, form_.scoreCells[t][r], columns[1]);
            DrawInColumn(dc, form_.nameCells[t][r], columns[2]);
        }
    }
}

void HallOfFameWindow::DrawInColumn(HDC dc, const forms::Label& cell, const RECT& column) {
    // Names and scores come from the registry, where an edited entry may be
    // of any length: cut at the column, never across the next one or the frame.
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, column.left, column.top, column.right, column.bottom);
    painter_.DrawLabel(dc, cell);
    RestoreDC(dc, saved);
}

}  // namespace quorlax::win
