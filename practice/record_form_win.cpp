// The record window.
#include "practice/record_form_win.h"

#include <algorithm>
#include <vector>

#include "platform/handles_win.h"
#include "platform/nearest.h"
#include "platform/product.h"

namespace quorlax::win {
namespace {

using UniquePen = UniqueHandle<HPEN, GdiTraits<HPEN>>;

// The layout, in twips of the client area; the window centred over the game.
const forms::ToolWindowLook kLook{kRecordClass,
                                  kRecordWindowTitle,
                                  WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                                  POINT{-1, -1},
                                  13200,
                                  10500};
constexpr RECT kCard{180, 540, 13020, 3840};                                         // the chart's white card
constexpr int kPlotLeft = 780, kPlotTop = 450, kPlotRight = 660, kPlotBottom = 390;  // insets in the card
constexpr float kTotalsLeft = 240, kTotalsTop = 3990, kTotalsRow = 360, kTotalsValue = 1560;
constexpr float kDueTop = 6210, kLessonTop = 6570, kLessonBottom = 7350;  // under the totals
constexpr float kWeakLeft = 4680, kWeakTop = 3930, kWeakHead = 4290, kWeakRows = 4530, kWeakRow = 300;
constexpr float kWeakGroup = 4170;  // one half of the table
// 字, 编码, 错率, 用时, 次数, 复习盒, end
constexpr float kWeakColumns[] = {0, 420, 1170, 1710, 2790, 3540, 4080};
constexpr int kWeakColumnCount = 6;
constexpr std::size_t kWeakPerGroup = 10;
constexpr float kGraduatedTop = 7590;
// The code mode's keyboard, its five weakest keys beside it.
constexpr float kKeysTop = 8010, kKeyboardTop = 8370, kKeyPitch = 480, kKeySize = 450;
constexpr float kWeakKeysLeft = 5400, kWeakKeyRow = 288;
constexpr float kWeakKeyColumns[] = {0, 720, 2880, 5400};  // 键, 字根, 错率与用时, end
constexpr float kButtonTop = 9930, kButtonHeight = 420;    // the row of buttons the form places

const forms::Font kTextFont{L"宋体", 10.5f};
const forms::Font kBoldFont{L"宋体", 10.5f, true};
const forms::Font kSmallFont{L"宋体", 9};
const forms::Font kLetterFont{L"宋体", 7.5f};
// 20 pixels at 96 dpi, regular: the strokes of 疆 or 矗 stay apart.
const forms::Font kCharFont{L"宋体", 15};
// A key's name, 16 pixels at 96 dpi, inside a key of 30.
const forms::Font kKeyNameFont{L"宋体", 12};

constexpr COLORREF kCardColor = RGB(255, 255, 255);
constexpr COLORREF kCardEdge = RGB(150, 150, 150);
constexpr COLORREF kGridColor = RGB(226, 226, 226);
constexpr COLORREF kAxisText = RGB(80, 80, 80);
constexpr COLORREF kMarkRing = RGB(40, 40, 40);
constexpr COLORREF kKeyInk = RGB(34, 34, 40);

// Black or white, whichever reads better on `back`.
COLORREF TextOn(COLORREF back) {
    const int luma = 299 * GetRValue(back) + 587 * GetGValue(back) + 114 * GetBValue(back);
    return luma >= 140000 ? RGB(0, 0, 0) : RGB(255, 255, 255);
}

void Text(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT r, UINT format) {
    SelectGuard select(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

// A name on an opaque patch of the card, so that lines under it stay readable.
void Tag(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, const ChartBox& box) {
    SelectGuard select(dc, font);
    RECT r{box.left, box.top, box.right, box.bottom};
    SetBkColor(dc, kCardColor);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_NOPREFIX | DT_CENTER | DT_VCENTER);
}

void Dot(HDC dc, POINT p, int radius, COLORREF fill, COLORREF ring, int ringWidth) {
    UniqueBrush brush(CreateSolidBrush(fill));
    UniquePen pen(CreatePen(PS_SOLID, ringWidth, ring));
    SelectGuard b(dc, brush.get()), q(dc, pen.get());
    Ellipse(dc, p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1);
}

void Ring(HDC dc, POINT p, int radius, COLORREF colour, int width) {
    UniquePen pen(CreatePen(PS_SOLID, width, colour));
    SelectGuard q(dc, pen.get()), b(dc, GetStockObject(NULL_BRUSH));
    Ellipse(dc, p.x - radius, p.y - radius, p.x + radius + 1, p.y + radius + 1);
}

void Line(HDC dc, const std::vector<POINT>& points, COLORREF colour, int width) {
    if (points.empty()) return;
    UniquePen pen(CreatePen(PS_SOLID, width, colour));
    SelectGuard q(dc, pen.get());
    Polyline(dc, points.data(), static_cast<int>(points.size()));
}

}  // namespace

RecordWindow::RecordWindow(HINSTANCE instance, HWND owner, RecordForm& form, forms::Painter& painter)
    : ToolWindow(instance, owner, form, painter, kLook),
      form_(form),
      filters_{{{form.filterButtons[0], painter},
                {form.filterButtons[1], painter},
                {form.filterButtons[2], painter},
                {form.filterButtons[3], painter}}},
      drill_(form.drillButton, painter),
      clear_(form.clearButton, painter),
      close_(form.closeButton, painter) {
    form_.Confirm = [this](std::wstring_view text) {
        const std::wstring question(text);
        return MessageBoxW(hwnd_, question.c_str(), kProductName, MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
    drill_.AfterClick = [this] {
        if (AfterDrill) AfterDrill();
    };
}

std::array<forms::ButtonHost*, kChartKinds + 3> RecordWindow::Buttons() {
    return {&filters_[0], &filters_[1], &filters_[2], &filters_[3], &drill_, &clear_, &close_};
}

HWND RecordWindow::OnCreated() {
    for (int k = 0; k < kChartKinds; ++k)
        filters_[static_cast<std::size_t>(k)].Create(instance_, hwnd_, kFilterId + k);
    drill_.Create(instance_, hwnd_, kDrillId);
    clear_.Create(instance_, hwnd_, kClearId);
    close_.Create(instance_, hwnd_, kCloseId);
    return CloseButton();
}

void RecordWindow::Sync() {
    if (!hwnd_) return;
    text_ = TextOn(forms::Painter::Resolve(form_.BackColor));
    HWND focus = GetFocus();
    for (forms::ButtonHost* button : Buttons()) button->Sync();
    // A button greyed with the focus hands it on.
    if (focus && !IsWindowEnabled(focus) && GetParent(focus) == hwnd_) SetFocus(CloseButton());
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool RecordWindow::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // A press may destroy this window: touch nothing after it.
    for (forms::ButtonHost* button : Buttons())
        if (button->Filter(msg, wp, lp, result)) return true;
    if (msg == WM_COMMAND && LOWORD(wp) == IDCANCEL) {  // Escape
        form_.Unload();
        result = 0;
        return true;
    }
    return false;
}

ChartBox RecordWindow::PlotBox() const {
    return ChartBox{painter_.Px(kCard.left + kPlotLeft), painter_.Px(kCard.top + kPlotTop),
                    painter_.Px(kCard.right - kPlotRight), painter_.Px(kCard.bottom - kPlotBottom)};
}

ChartGeometry RecordWindow::Geometry() const {
    const int px1 = std::max(1, painter_.Px(15));  // one pixel at 96 dpi
    ChartGeometry g;
    g.plot = PlotBox();
    g.dot = form_.View().chart.Runs() > 50 ? px1 + px1 / 2 : 2 * px1;
    g.mark = 5 * px1 + px1 / 2 + 1;  // the best run's ring with its pen
    g.gap = painter_.Px(45);
    return g;
}

POINT RecordWindow::SpeedPoint(std::size_t run) const {
    const ChartPoint p = form_.View().chart.SpeedAt(run, PlotBox());
    return POINT{p.x, p.y};
}

std::vector<ChartBox> RecordWindow::TagBoxes(HDC dc) {
    const RecordChart& chart = form_.View().chart;
    SelectGuard select(dc, painter_.FontFor(kSmallFont));
    const int pad = std::max(1, painter_.Px(15));
    std::vector<ChartSize> sizes;
    for (const RecordChart::Tag& tag : chart.tags) {
        SIZE size{};
        GetTextExtentPoint32W(dc, tag.text.c_str(), static_cast<int>(tag.text.size()), &size);
        sizes.push_back({size.cx + 2 * pad, size.cy});
    }
    return chart.PlaceTags(Geometry(), sizes);
}

void RecordWindow::Paint(HDC dc) {
    RECT client{};
    GetClientRect(hwnd_, &client);
    painter_.Fill(dc, client, form_.BackColor);
    PaintChart(dc);
    const RecordView& view = form_.View();
    if (!view.skipped.empty())
        Text(dc, painter_.FontFor(kSmallFont), text_, view.skipped,
             RECT{painter_.Px(kTotalsLeft), painter_.Px(kButtonTop), painter_.Px(kWeakLeft + kWeakGroup),
                  painter_.Px(kButtonTop + kButtonHeight)},
             DT_LEFT | DT_VCENTER);
    if (!view.empty) PaintTotals(dc);
    PaintWeakest(dc);
    PaintKeyboard(dc);
}

void RecordWindow::PaintChart(HDC dc) {
    const RecordView& view = form_.View();
    const RecordChart& chart = view.chart;
    const RECT card{painter_.Px(kCard.left), painter_.Px(kCard.top), painter_.Px(kCard.right),
                    painter_.Px(kCard.bottom)};
    {
        UniqueBrush fill(CreateSolidBrush(kCardColor));
        UniquePen edge(CreatePen(PS_SOLID, 1, kCardEdge));
        SelectGuard b(dc, fill.get()), q(dc, edge.get());
        Rectangle(dc, card.left, card.top, card.right, card.bottom);
    }
    HFONT small = painter_.FontFor(kSmallFont), text = painter_.FontFor(kTextFont);
    if (view.empty) {
        Text(dc, text, kAxisText, kRecordNoRuns, card, DT_CENTER | DT_VCENTER);
        return;
    }
    // The chosen filter underlined, between its button and the card.
    {
        const forms::CommandButton& chosen = form_.filterButtons[static_cast<std::size_t>(view.kind)];
        const RECT bar{painter_.Px(chosen.Left), painter_.Px(chosen.Top + chosen.Height + 15),
                       painter_.Px(chosen.Left + chosen.Width), painter_.Px(chosen.Top + chosen.Height + 60)};
        UniqueBrush fill(CreateSolidBrush(kSpeedColor));
        FillRect(dc, &bar, fill.get());
    }
    if (chart.Runs() == 0) {
        Text(dc, text, kAxisText, kRecordNoPlotted, card, DT_CENTER | DT_VCENTER);
        return;
    }
    const ChartBox plot = PlotBox();
    const ChartGeometry geometry = Geometry();
    const int px1 = std::max(1, painter_.Px(15)), px = painter_.Px(90);  // one pixel, and a gap

    // The legend, in the card's top row.
    {
        int x = plot.left;
        const int y = card.top + painter_.Px(kPlotTop) / 2;
        for (auto [colour, name] :
             {std::pair{kSpeedColor, L"速度（字/分，左）"}, std::pair{kAverageColor, L"10 次平均"},
              std::pair{kAccuracyColor, L"正确率（%，右）"}}) {
            Line(dc, {{x, y}, {x + painter_.Px(300), y}}, colour, 2 * px1);
            if (colour != kAverageColor) Dot(dc, POINT{x + painter_.Px(150), y}, 2 * px1, colour, colour, 1);
            x += painter_.Px(300) + px;
            SelectGuard select(dc, small);
            SIZE size{};
            GetTextExtentPoint32W(dc, name, lstrlenW(name), &size);
            Text(dc, small, kAxisText, name, RECT{x, y - size.cy / 2, x + size.cx, y + size.cy}, DT_LEFT);
            x += size.cx + 3 * px;
        }
    }

    // The grid, with the speed on the left axis and the accuracy on the right.
    const int lines = std::max(1, chart.speedTop / std::max(1, chart.speedStep));
    const int height = plot.bottom - plot.top;
    for (int k = 0; k <= lines; ++k) {
        const int y = plot.bottom - static_cast<int>(nearest(static_cast<double>(k) * height / lines));
        Line(dc, {{plot.left, y}, {plot.right + 1, y}}, k == 0 ? kCardEdge : kGridColor, px1);
        const int half = painter_.Px(120);
        Text(dc, small, kAxisText, std::to_wstring(k * chart.speedStep),
             RECT{card.left, y - half, plot.left - px, y + half}, DT_RIGHT | DT_VCENTER);
        Text(dc, small, kAxisText, std::to_wstring(nearest(100.0 * k / lines)) + L"%",
             RECT{plot.right + px, y - half, card.right, y + half}, DT_LEFT | DT_VCENTER);
    }
    for (const RecordChart::Tick& tick : chart.dates) {
        const int x = chart.XAt(tick.run, plot);
        Line(dc, {{x, plot.bottom}, {x, plot.bottom + px / 2 + px1}}, kCardEdge, px1);
        Text(dc, small, kAxisText, tick.text,
             RECT{x - painter_.Px(600), plot.bottom + px / 2, x + painter_.Px(600), card.bottom},
             DT_CENTER | DT_VCENTER);
    }

    // The lines with their points: accuracy first, the average over it, the
    // speed over both.
    std::vector<POINT> speed, accuracy, average;
    for (std::size_t i = 0; i < chart.Runs(); ++i) {
        const ChartPoint s = chart.SpeedAt(i, plot), a = chart.AccuracyAt(i, plot),
                         m = chart.AverageAt(i, plot);
        speed.push_back({s.x, s.y});
        accuracy.push_back({a.x, a.y});
        average.push_back({m.x, m.y});
    }
    Line(dc, accuracy, kAccuracyColor, 2 * px1);
    for (POINT p : accuracy) Dot(dc, p, geometry.dot, kAccuracyColor, kAccuracyColor, 1);
    Line(dc, average, kAverageColor, 2 * px1);
    Line(dc, speed, kSpeedColor, 2 * px1);
    for (POINT p : speed) Dot(dc, p, geometry.dot, kSpeedColor, kSpeedColor, 1);

    // The best speed ringed, the latest run marked, and their names where
    // they cover no point.
    Ring(dc, speed[chart.best], 4 * px1 + px1 / 2 + 1, kSpeedColor, 2 * px1);
    Dot(dc, speed[chart.latest], 4 * px1, kSpeedColor, kMarkRing, px1);
    const std::vector<ChartBox> boxes = TagBoxes(dc);
    for (std::size_t t = 0; t < chart.tags.size() && t < boxes.size(); ++t)
        Tag(dc, small, chart.tags[t].best ? kSpeedColor : kMarkRing, chart.tags[t].text, boxes[t]);
}

void RecordWindow::PaintTotals(HDC dc) {
    HFONT label = painter_.FontFor(kTextFont), value = painter_.FontFor(kBoldFont);
    float top = kTotalsTop;
    for (const RecordTotal& total : form_.View().totals) {
        const RECT row{painter_.Px(kTotalsLeft), painter_.Px(top), painter_.Px(kWeakLeft - 120),
                       painter_.Px(top + kTotalsRow)};
        Text(dc, label, text_, total.label + L"：", row, DT_LEFT | DT_VCENTER);
        RECT right = row;
        right.left = painter_.Px(kTotalsLeft + kTotalsValue);
        Text(dc, value, text_, total.value, right, DT_LEFT | DT_VCENTER);
        top += kTotalsRow;
    }
}

RECT RecordWindow::WeakCell(std::size_t row, int column) const {
    const float left = kWeakLeft + static_cast<float>(row / kWeakPerGroup) * kWeakGroup;
    const float top = kWeakRows + static_cast<float>(row % kWeakPerGroup) * kWeakRow;
    return RECT{painter_.Px(left + kWeakColumns[column]), painter_.Px(top),
                painter_.Px(left + kWeakColumns[column + 1]), painter_.Px(top + kWeakRow)};
}

void RecordWindow::PaintWeakest(HDC dc) {
    const RecordView& view = form_.View();
    HFONT bold = painter_.FontFor(kBoldFont), text = painter_.FontFor(kTextFont),
          small = painter_.FontFor(kSmallFont), ch = painter_.FontFor(kCharFont);
    auto line = [&](float top, float left, float right) {
        return RECT{painter_.Px(left), painter_.Px(top), painter_.Px(right), painter_.Px(top + kTotalsRow)};
    };
    // Under the totals: what is due today, and the lesson band reached.
    Text(dc, bold, text_, view.due, line(kDueTop, kTotalsLeft, kWeakLeft - 120), DT_LEFT | DT_VCENTER);
    if (!view.lesson.empty()) {
        RECT r{painter_.Px(kTotalsLeft), painter_.Px(kLessonTop), painter_.Px(kWeakLeft - 120),
               painter_.Px(kLessonBottom)};
        SelectGuard select(dc, text);
        SetTextColor(dc, text_);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, view.lesson.c_str(), static_cast<int>(view.lesson.size()), &r,
                  DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    auto head = [&](int group, int column) {
        RECT r = WeakCell(static_cast<std::size_t>(group) * kWeakPerGroup, column);
        r.bottom = r.top;
        r.top = painter_.Px(kWeakHead);
        return r;
    };
    Text(
        dc, bold, text_, view.weakTitle,
        RECT{painter_.Px(kWeakLeft), painter_.Px(kWeakTop), painter_.Px(kCard.right), painter_.Px(kWeakHead)},
        DT_LEFT | DT_VCENTER);
    if (!view.graduated.empty())
        Text(dc, text, text_, view.graduated, line(kGraduatedTop, kWeakLeft, kCard.right),
             DT_LEFT | DT_VCENTER | DT_END_ELLIPSIS);
    if (view.weakest.empty()) {
        RECT r = head(0, 0);
        r.right = painter_.Px(kCard.right);
        r.bottom = r.top + painter_.Px(kWeakRow + 120);
        Text(dc, text, text_, kRecordNoWeak, r, DT_LEFT | DT_VCENTER | DT_NOCLIP);
        return;
    }
    const int groups = view.weakest.size() > kWeakPerGroup ? 2 : 1;
    for (int g = 0; g < groups; ++g) {
        const wchar_t* heads[kWeakColumnCount] = {L"字", L"编码", L"错率", L"用时", L"次数", L"复习盒"};
        for (int c = 0; c < kWeakColumnCount; ++c)
            Text(dc, small, text_, heads[c], head(g, c), DT_LEFT | DT_VCENTER);
    }
    for (std::size_t i = 0; i < view.weakest.size(); ++i) {
        const RecordWeakRow& row = view.weakest[i];
        Text(dc, ch, text_, row.ch, WeakCell(i, 0), DT_LEFT | DT_VCENTER);
        int c = 1;
        for (const std::wstring* cell : {&row.code, &row.rate, &row.ms, &row.attempts, &row.box})
            Text(dc, text, text_, *cell, WeakCell(i, c++), DT_LEFT | DT_VCENTER);
    }
}

RECT RecordWindow::KeyCell(char letter) const {
    const CodeKey* key = FindCodeKey(letter);
    if (!key) return RECT{};
    const float left = kTotalsLeft + (kKeyRowIndent[key->row] + static_cast<float>(key->column)) * kKeyPitch;
    const float top = kKeyboardTop + static_cast<float>(key->row) * kKeyPitch;
    return RECT{painter_.Px(left), painter_.Px(top), painter_.Px(left + kKeySize),
                painter_.Px(top + kKeySize)};
}

void RecordWindow::PaintKeyboard(HDC dc) {
    const RecordKeyboard& board = form_.View().keyboard;
    HFONT bold = painter_.FontFor(kBoldFont), text = painter_.FontFor(kTextFont);
    const RECT title{painter_.Px(kTotalsLeft), painter_.Px(kKeysTop), painter_.Px(kCard.right),
                     painter_.Px(kKeyboardTop)};
    if (!board.shown) {
        Text(dc, text, text_, kRecordNoKeys, title, DT_LEFT | DT_VCENTER);
        return;
    }
    Text(dc, bold, text_, kRecordKeysTitle, title, DT_LEFT | DT_VCENTER);
    HFONT letter = painter_.FontFor(kLetterFont), name = painter_.FontFor(kKeyNameFont);
    const int px1 = std::max(1, painter_.Px(15));
    for (const RecordKey& key : board.keys) {
        const RECT r = KeyCell(key.key->letter);
        {
            UniqueBrush fill(CreateSolidBrush(forms::Painter::Resolve(key.color)));
            UniquePen edge(CreatePen(PS_SOLID, px1, kCardEdge));
            SelectGuard b(dc, fill.get()), q(dc, edge.get());
            RoundRect(dc, r.left, r.top, r.right, r.bottom, 4 * px1, 4 * px1);
        }
        const int inset = 2 * px1;
        Text(dc, letter, kKeyInk, std::wstring(1, static_cast<wchar_t>(key.key->letter - 'a' + 'A')),
             RECT{r.left + inset, r.top + px1, r.right, r.bottom}, DT_LEFT | DT_TOP);
        Text(dc, name, kKeyInk, std::wstring(1, key.key->name),
             RECT{r.left, r.top + (r.bottom - r.top) / 4, r.right - inset, r.bottom - px1},
             DT_RIGHT | DT_BOTTOM);
    }
    if (board.weakest.empty())
        Text(dc, text, text_, kRecordNoWeakKeys,
             RECT{painter_.Px(kWeakKeysLeft), painter_.Px(kKeyboardTop), painter_.Px(kCard.right),
                  painter_.Px(kKeyboardTop + kWeakKeyRow)},
             DT_LEFT | DT_VCENTER);
    for (std::size_t i = 0; i < board.weakest.size(); ++i) {
        const RecordKeyRow& row = board.weakest[i];
        const float top = kKeyboardTop + static_cast<float>(i) * kWeakKeyRow;
        auto cell = [&](int c) {
            return RECT{painter_.Px(kWeakKeysLeft + kWeakKeyColumns[c]), painter_.Px(top),
                        painter_.Px(kWeakKeysLeft + kWeakKeyColumns[c + 1]), painter_.Px(top + kWeakKeyRow)};
        };
        Text(dc, bold, text_, row.key, cell(0), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.radicals, cell(1), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.figures, cell(2), DT_LEFT | DT_VCENTER);
    }
}

}  // namespace quorlax::win
