// The record window.
#include "practice/record_form_win.h"

#include <algorithm>
#include <vector>

#include "platform/product.h"
#include "platform/handles_win.h"
#include "platform/message_loop_win.h"
#include "platform/nearest.h"
#include "platform/window_win.h"

namespace quorlax::win {
namespace {

using UniquePen = UniqueHandle<HPEN, GdiTraits<HPEN>>;

constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
// The layout, in twips of the client area.
constexpr float kWidth = 10800, kHeight = 8100;
constexpr RECT kCard{180, 180, 10620, 3780};                                         // the chart's white card
constexpr int kPlotLeft = 780, kPlotTop = 450, kPlotRight = 660, kPlotBottom = 390;  // insets in the card
constexpr float kTotalsLeft = 240, kTotalsTop = 4020, kTotalsRow = 390, kTotalsValue = 1560;
constexpr float kWeakLeft = 4680, kWeakTop = 3990, kWeakHead = 4380, kWeakRows = 4650, kWeakRow = 276;
constexpr float kWeakGroup = 2970;                            // one half of the table
constexpr float kWeakColumns[] = {0, 450, 1350, 2100, 2970};  // 字, 编码, 次数, 最近, end
constexpr std::size_t kWeakPerGroup = 10;
constexpr float kButtonTop = 7530, kButtonHeight = 420;  // the row of buttons the form places

const forms::Font kTextFont{L"宋体", 10.5f};
const forms::Font kBoldFont{L"宋体", 10.5f, true};
const forms::Font kSmallFont{L"宋体", 9};
const forms::Font kCharFont{L"宋体", 12, true};

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

// Where a window of `size` starts, centred on [from, to) and kept inside [low, high).
int Centred(LONG from, LONG to, int size, LONG low, LONG high) {
    const LONG start = (from + to - size) / 2;
    return static_cast<int>(std::max(low, std::min(start, high - size)));
}

void Text(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, RECT r, UINT format) {
    SelectGuard select(dc, font);
    SetTextColor(dc, colour);
    SetBkMode(dc, TRANSPARENT);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, format | DT_SINGLELINE | DT_NOPREFIX);
}

// Where a tag sits against its point: ending left of it, or centred above it.
enum class Place { Left, Above };

// A label on an opaque patch of the card, so that lines under it stay readable.
void Tag(HDC dc, HFONT font, COLORREF colour, const std::wstring& text, POINT at, Place place) {
    SelectGuard select(dc, font);
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    RECT r{place == Place::Left ? at.x - size.cx : at.x - size.cx / 2,
           place == Place::Left ? at.y - size.cy / 2 : at.y - size.cy, 0, 0};
    r.right = r.left + size.cx;
    r.bottom = r.top + size.cy;
    SetTextColor(dc, colour);
    SetBkColor(dc, kCardColor);
    SetBkMode(dc, OPAQUE);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_NOPREFIX);
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

RecordWindow::RecordWindow(HINSTANCE instance, HWND owner, PracticeHistory& history,
                           const std::wstring& codeTable, const forms::Color& mainBackColor,
                           forms::Painter& painter)
    : instance_(instance),
      owner_(owner),
      form_(history, codeTable, mainBackColor),
      painter_(painter),
      drill_(form_.cmdDrill, painter),
      clear_(form_.cmdClear, painter),
      close_(form_.cmdClose, painter) {
    form_.OnLoaded = [this] { Create(); };
    form_.OnUnloaded = [this] { Destroy(); };
    form_.OnChanged = [this] { Sync(); };
    form_.OnFront = [this] {
        if (hwnd_) SetForegroundWindow(hwnd_);
    };
    form_.Confirm = [this](std::wstring_view text) {
        const std::wstring question(text);
        return MessageBoxW(hwnd_, question.c_str(), kProductName, MB_YESNO | MB_ICONQUESTION) == IDYES;
    };
}

RecordWindow::~RecordWindow() {
    form_.OnLoaded = form_.OnUnloaded = form_.OnChanged = form_.OnFront = nullptr;
    Destroy();
}

void RecordWindow::Create() {
    if (hwnd_) return;
    RegisterWindowClassOf<RecordWindow>(instance_, kRecordClass);
    RECT r{0, 0, painter_.Px(kWidth), painter_.Px(kHeight)};
    AdjustWindowRectEx(&r, kStyle, FALSE, WS_EX_TOPMOST);
    const int width = r.right - r.left, height = r.bottom - r.top;
    // Centred over the main window, kept on its screen's work area.
    RECT over{};
    GetWindowRect(owner_, &over);
    MONITORINFO monitor{sizeof monitor};
    GetMonitorInfoW(MonitorFromWindow(owner_, MONITOR_DEFAULTTONEAREST), &monitor);
    const int x = Centred(over.left, over.right, width, monitor.rcWork.left, monitor.rcWork.right);
    const int y = Centred(over.top, over.bottom, height, monitor.rcWork.top, monitor.rcWork.bottom);
    CreateWindowExW(WS_EX_TOPMOST, kRecordClass, kRecordWindowTitle, kStyle, x, y, width, height, owner_,
                    nullptr, instance_, this);
    if (!hwnd_) return;
    drill_.Create(instance_, hwnd_, kDrillId);
    clear_.Create(instance_, hwnd_, kClearId);
    close_.Create(instance_, hwnd_, kCloseId);
    // Tab, Enter and Escape as in a dialog; the main window's shortcuts do
    // not reach this window.
    MessageLoop::Instance().Register(hwnd_, nullptr, true);
    Sync();
    SetWindowPos(hwnd_, HWND_TOPMOST, x, y, width, height, SWP_SHOWWINDOW);
    SetFocus(CloseButton());
}

void RecordWindow::Destroy() {
    if (hwnd_) DestroyWindow(hwnd_);
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

void RecordWindow::OnAttach(HWND hwnd) { hwnd_ = hwnd; }

void RecordWindow::OnDetach() {
    MessageLoop::Instance().Unregister(hwnd_);
    hwnd_ = nullptr;
}

LRESULT RecordWindow::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    // A press may destroy this window: touch nothing after it.
    LRESULT result = 0;
    for (forms::ButtonHost* button : {&drill_, &clear_, &close_})
        if (button->Filter(msg, wp, lp, result)) return result;
    switch (msg) {
        case WM_COMMAND:
            if (LOWORD(wp) == IDCANCEL) {  // Escape
                form_.Unload();
                return 0;
            }
            break;
        case WM_ERASEBKGND: return 1;
        case WM_PAINT: PaintBuffered(hwnd_, [this](HDC dc) { Paint(dc); }); return 0;
        case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wp)); return 0;
        case WM_CLOSE: form_.Unload(); return 0;
        default: break;
    }
    return DefWindowProcW(hwnd_, msg, wp, lp);
}

RECT RecordWindow::PlotRect() const {
    return RECT{painter_.Px(kCard.left + kPlotLeft), painter_.Px(kCard.top + kPlotTop),
                painter_.Px(kCard.right - kPlotRight), painter_.Px(kCard.bottom - kPlotBottom)};
}

POINT RecordWindow::SpeedPoint(std::size_t run) const {
    const RecordChart& chart = form_.View().chart;
    const RECT plot = PlotRect();
    const int value = run < chart.Runs() ? chart.speed[run] : 0;
    return POINT{plot.left + static_cast<LONG>(nearest(chart.X(run) * (plot.right - plot.left))),
                 plot.bottom - static_cast<LONG>(nearest(chart.SpeedY(value) * (plot.bottom - plot.top)))};
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
    const RECT plot = PlotRect();
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
    const int height = plot.bottom - plot.top, width = plot.right - plot.left;
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
        const int x = plot.left + static_cast<int>(nearest(chart.X(tick.run) * width));
        Line(dc, {{x, plot.bottom}, {x, plot.bottom + px / 2 + px1}}, kCardEdge, px1);
        Text(dc, small, kAxisText, tick.text,
             RECT{x - painter_.Px(600), plot.bottom + px / 2, x + painter_.Px(600), card.bottom},
             DT_CENTER | DT_VCENTER);
    }

    // The two lines with their points: accuracy first, speed over it.
    std::vector<POINT> speed, accuracy;
    for (std::size_t i = 0; i < chart.Runs(); ++i) {
        const POINT s = SpeedPoint(i);
        speed.push_back(s);
        accuracy.push_back({s.x, plot.bottom - static_cast<LONG>(nearest(
                                                   RecordChart::AccuracyY(chart.accuracy[i]) * height))});
    }
    const int dot = chart.Runs() > 50 ? px1 + px1 / 2 : 2 * px1;
    Line(dc, accuracy, kAccuracyColor, 2 * px1);
    for (POINT p : accuracy) Dot(dc, p, dot, kAccuracyColor, kAccuracyColor, 1);
    Line(dc, speed, kSpeedColor, 2 * px1);
    for (POINT p : speed) Dot(dc, p, dot, kSpeedColor, kSpeedColor, 1);

    // The best speed and the latest run, marked and named.
    const POINT best = speed[chart.best], latest = speed[chart.latest];
    const int gap = painter_.Px(165);
    Ring(dc, best, 4 * px1 + px1 / 2 + 1, kSpeedColor, 2 * px1);
    Dot(dc, latest, 4 * px1, kSpeedColor, kMarkRing, px1);
    const std::wstring top = std::to_wstring(chart.speed[chart.best]);
    if (chart.best == chart.latest) {
        Tag(dc, small, kSpeedColor, L"最高 · 最近 " + top, POINT{latest.x - gap, latest.y}, Place::Left);
    } else {
        Tag(dc, small, kSpeedColor, L"最高 " + top, POINT{best.x, best.y - gap}, Place::Above);
        Tag(dc, small, kMarkRing, L"最近 " + std::to_wstring(chart.speed[chart.latest]),
            POINT{latest.x - gap, latest.y}, Place::Left);
    }
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

void RecordWindow::PaintWeakest(HDC dc) {
    const RecordView& view = form_.View();
    HFONT bold = painter_.FontFor(kBoldFont), text = painter_.FontFor(kTextFont),
          small = painter_.FontFor(kSmallFont), ch = painter_.FontFor(kCharFont);
    auto cell = [&](int group, int column, float top, float height) {
        const float left = kWeakLeft + group * kWeakGroup;
        return RECT{painter_.Px(left + kWeakColumns[column]), painter_.Px(top),
                    painter_.Px(left + kWeakColumns[column + 1]), painter_.Px(top + height)};
    };
    Text(
        dc, bold, text_, kRecordWeakTitle,
        RECT{painter_.Px(kWeakLeft), painter_.Px(kWeakTop), painter_.Px(kCard.right), painter_.Px(kWeakHead)},
        DT_LEFT | DT_VCENTER);
    if (view.weakest.empty()) {
        Text(dc, text, text_, kRecordNoMisses, cell(0, 0, kWeakHead, kWeakRow + 120),
             DT_LEFT | DT_VCENTER | DT_NOCLIP);
        return;
    }
    const int groups = view.weakest.size() > kWeakPerGroup ? 2 : 1;
    for (int g = 0; g < groups; ++g) {
        const wchar_t* heads[] = {L"字", L"编码", L"次数", L"最近"};
        for (int c = 0; c < 4; ++c)
            Text(dc, small, text_, heads[c], cell(g, c, kWeakHead, kWeakRow), DT_LEFT | DT_VCENTER);
    }
    for (std::size_t i = 0; i < view.weakest.size(); ++i) {
        const RecordWeakRow& row = view.weakest[i];
        const int g = static_cast<int>(i / kWeakPerGroup);
        const float top = kWeakRows + static_cast<float>(i % kWeakPerGroup) * kWeakRow;
        Text(dc, ch, text_, row.ch, cell(g, 0, top, kWeakRow), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.code, cell(g, 1, top, kWeakRow), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.misses, cell(g, 2, top, kWeakRow), DT_LEFT | DT_VCENTER);
        Text(dc, text, text_, row.last, cell(g, 3, top, kWeakRow), DT_LEFT | DT_VCENTER);
    }
}

}  // namespace quorlax::win
