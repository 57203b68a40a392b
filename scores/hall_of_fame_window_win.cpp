// The hall-of-fame window.
#include "scores/hall_of_fame_window_win.h"

namespace quorlax::win {
namespace {

// Tall enough for the OK button: the designed 300 pixels cut it off; as
// wide as designed.
const forms::ToolWindowLook kLook{kHallOfFameClass,
                                  kHallOfFameTitle,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  POINT{100, 130},
                                  HallOfFameForm::kWidth,
                                  HallOfFameForm::kHeight,
                                  600};
constexpr int kEtchedLine = 2;  // pixels of a table's frame line (EDGE_ETCHED)

}  // namespace

HallOfFameWindow::HallOfFameWindow(HINSTANCE instance, HWND owner, HallOfFameForm& form,
                                   forms::Painter& painter)
    : ToolWindow(instance, owner, form, painter, kLook), ok_(form.okButton, painter) {
    form_.OnFocusName = [this] {
        Sync();
        if (HWND box = NameBox()) {
            SetForegroundWindow(hwnd_);
            SetFocus(box);
            SendMessageW(box, EM_SETSEL, 0, -1);
        }
    };
}

HallOfFameWindow::~HallOfFameWindow() {
    form_.OnFocusName = nullptr;
    Destroy();
}

HWND HallOfFameWindow::OnCreated() {
    name_box_ = std::make_unique<forms::TextBoxHost>(form_.nameBox, painter_);
    // The focus moves while the window goes: no confirmation then.
    name_box_->LostFocus = [this] {
        if (!Closing()) form_.OnNameBoxLostFocus();
    };
    name_box_->Create(instance_, hwnd_, WS_TABSTOP);
    ok_.Create(instance_, hwnd_, kOkId);
    return nullptr;  // a name is asked for by OnFocusName
}

void HallOfFameWindow::Sync() {
    if (!hwnd_) return;
    if (name_box_) name_box_->Place();
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool HallOfFameWindow::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // Enter in the name box presses OK too, and the focus moves to the
    // button first, as a click would move it: the name is confirmed before
    // OK closes the window. Touch nothing after OK.
    if (name_box_ && name_box_->Filter(msg, wp, lp, result)) return true;
    return ok_.Filter(msg, wp, lp, result);
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
