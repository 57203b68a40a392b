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
                                  10800,
                                  8100};
constexpr RECT kCard{180, 180, 10620, 3780};                                         // the chart's white card
constexpr int kPlotLeft = 780, kPlotTop = 450, kPlotRight = 660, kPlotBottom = 390;  // insets in the card
constexpr float kTotalsLeft = 240, kTotalsTop = 4020, kTotalsRow = 390, kTotalsValue = 1560;
constexpr float kWeakLeft = 4680, kWeakTop = 3900, kWeakHead = 4260, kWeakRows = 4500, kWeakRow = 300;
constexpr float kWeakGroup = 2970;                            // one half of the table
constexpr float kWeakColumns[] = {0, 450, 1350, 2100, 2970};  // 字, 编码, 次数, 最近, end
constexpr std::size_t kWeakPerGroup = 10;
constexpr float kButtonTop = 7530, kButtonHeight = 420;  // the row of buttons the form places

const forms::Font kTextFont{L"宋体", 10.5f};
const forms::Font kBoldFont{L"宋体", 10.5f, true};
const forms::Font kSmallFont{L"宋体", 9};
// 20 pixels at 96 dpi, regular: the strokes of 疆 or 矗 stay apart.
const forms::Font kCharFont{L"宋体", 15};

constexpr COLORREF kCardColor = RGB(255, 255, 255);
constexpr COLORREF kCardEdge = RGB(150, 150, 150);
constexpr COLORREF kGridColor = RGB(226, 226, 226);
constexpr COLORREF kAxisText = RGB(80, 80, 80);
constexpr COLORREF kMarkRing = RGB(40, 40, 40);

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

HWND RecordWindow::OnCreated() {
    drill_.Create(instance_, hwnd_, kDrillId);
    clear_.Create(instance_, hwnd_, kClearId);
    close_.Create(instance_, hwnd_, kCloseId);
    return CloseButton();
}

void RecordWindow::Sync() {
    if (!hwnd_) return;
    text_ = TextOn(forms::Painter::Resolve(form_.BackColor));
    HWND focus = GetFocus();
    for (forms::ButtonHost* button : {&drill_, &clear_, &close_}) button->Sync();
    // A button greyed with the focus hands it on.
    if (focus && !IsWindowEnabled(focus) && GetParent(focus) == hwnd_) SetFocus(CloseButton());
    InvalidateRect(hwnd_, nullptr, FALSE);
}

bool RecordWindow::Filter(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // A press may destroy this window: touch nothing after it.
    for (forms::ButtonHost* button : {&drill_, &clear_, &close_})
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
    if (view.empty) return;
    PaintTotals(dc);
    PaintWeakest(dc);
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
    const ChartBox plot = PlotBox();
    const ChartGeometry geometry = Geometry();
    const int px1 = std::max(1, painter_.Px(15)), px = painter_.Px(90);  // one pixel, and a gap

    // The legend, in the card's top row.
    {
        int x = plot.left;
        const int y = card.top + painter_.Px(kPlotTop) / 2;
        for (auto [colour, name] :
             {std::pair{kSpeedColor, L"速度（字/分，左）"}, std::pair{kAccuracyColor, L"正确率（%，右）"}}) {
            Line(dc, {{x, y}, {x + painter_.Px(300), y}}, colour, 2 * px1);
            Dot(dc, POINT{x + painter_.Px(150), y}, 2 * px1, colour, colour, 1);
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

    // The two lines with their points: accuracy first, speed over it.
    std::vector<POINT> speed, accuracy;
    for (std::size_t i = 0; i < chart.Runs(); ++i) {
        const ChartPoint s = chart.SpeedAt(i, plot), a = chart.AccuracyAt(i, plot);
        speed.push_back({s.x, s.y});
        accuracy.push_back({a.x, a.y});
    }
    Line(dc, accuracy, kAccuracyColor, 2 * px1);
    for (POINT p : accuracy) Dot(dc, p, geometry.dot, kAccuracyColor, kAccuracyColor, 1);
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
    auto head = [&](int group, int column) {
        RECT r = WeakCell(static_cast<std::size_t>(group) * kWeakPerGroup, column);
        r.bottom = r.top;
        r.top = painter_.Px(kWeakHead);
        return r;
    };
    Text(
        dc, bold, text_, kRecordWeakTitle,
        RECT{painter_.Px(kWeakLeft), painter_.Px(kWeakTop), painter_.Px(kCard.right), painter_.Px(kWeakHead)},
        DT_LEFT | DT_VCENTER);
    if (view.weakest.empty()) {
        RECT r = head(0, 0);
        r.bottom = r.top + painter_.Px(kWeakRow + 120);
        Text(dc, text, text_, kRecordNoMisses, r, DT_LEFT | DT_VCENTER | DT_NOCLIP);
        return;
    }
    const int groups = view.weakest.size() > kWeakPerGroup ? 2 : 1;
    for (int g = 0; g < groups; ++g) {
        const wchar_t* heads[] = {L"字", L"编码", L"次数", L"最近"};
        for (int c = 0; c < 4; ++c) Text(dc, small, text_, heads[c], head(g, c), DT_LEFT | DT_VCENTER);
    }
    for (std::size_t i = 0; i < view.weakest.size(); ++i) {
        const RecordWeakRow& row = view.weakest[i];
        Text(dc, ch, text_, row.ch, WeakCell(i, 0), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.code, WeakCell(i, 1), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.misses, WeakCell(i, 2), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.last, WeakCell(i, 3), DT_LEFT | DT_VCENTER);
    }
}

}  // namespace quorlax::win
