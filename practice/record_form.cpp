// The record window's contents and buttons.
#include "practice/record_form.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

#include "core/code_table.h"
#include "platform/nearest.h"

namespace quorlax {
namespace {

constexpr std::size_t kDateTicks = 5;  // labels along the x axis, at most
constexpr int kSpeedLines = 5;         // grid lines of the left axis, at most

// "2026-12-08 14:03:22" → "12-08" and "14:03"; whatever a shorter text holds.
std::wstring DayOf(const std::wstring& when) { return when.size() >= 10 ? when.substr(5, 5) : when; }
std::wstring TimeOf(const std::wstring& when) { return when.size() >= 16 ? when.substr(11, 5) : when; }
std::wstring DateOf(const std::wstring& when) {
    return when.substr(0, std::min<std::size_t>(10, when.size()));
}

// A step of 1, 2, 2.5 or 5 times a power of ten that covers `top` in at most
// kSpeedLines steps.
int SpeedStep(int top) {
    for (int scale = 1;; scale *= 10)
        for (int base : {5, 10, 20, 25}) {
            const int step = base * scale;
            if ((top + step - 1) / step <= kSpeedLines || scale > 100000) return step;
        }
}

// The names of the best and the latest run.
void AddTags(RecordChart& chart, int bestEver) {
    const int best = chart.speed[chart.best];
    // "最高" is the totals' 最高速度; a chart whose best is lower says so.
    const std::wstring high = best >= bestEver ? L"最高" : L"图中最高";
    if (chart.best == chart.latest) {
        chart.tags.push_back({chart.latest, high + L" · 最近 " + std::to_wstring(best), true});
        return;
    }
    chart.tags.push_back({chart.best, high + L" " + std::to_wstring(best), true});
    chart.tags.push_back({chart.latest, L"最近 " + std::to_wstring(chart.speed[chart.latest]), false});
}

bool OfKind(const RunRecord& run, ChartKind kind) {
    switch (kind) {
        case ChartKind::All: return true;
        case ChartKind::BuiltIn: return run.kind == RunKind::BuiltIn;
        case ChartKind::Chosen: return run.kind == RunKind::Chosen;
        case ChartKind::Drill: return run.kind == RunKind::Drill;
    }
    return true;
}

std::wstring Percent(double fraction) { return std::to_wstring(nearest(100 * fraction)) + L"%"; }
std::wstring Millis(double ms) { return ms < 0 ? L"—" : std::to_wstring(nearest(ms)) + L" 毫秒"; }

// A colour as the forms layer packs it, 0x00BBGGRR.
forms::Color Rgb(double r, double g, double b) {
    auto byte = [](double v) {
        return static_cast<forms::Color>(std::clamp<std::int64_t>(nearest(v), 0, 255));
    };
    return byte(r) | byte(g) << 8 | byte(b) << 16;
}

// The graduated characters listed at most; the rest are counted.
constexpr std::size_t kGraduatedListed = 30;

}  // namespace

RecordChart BuildChart(std::span<const RunRecord> runs, ChartKind kind) {
    RecordChart chart;
    // A short run's speed says little (five characters in three seconds):
    // it is not drawn.
    std::vector<const RunRecord*> plotted;
    int bestEver = 0;
    for (const RunRecord& run : runs)
        if (run.typed >= kPlotFromChars && OfKind(run, kind)) {
            plotted.push_back(&run);
            bestEver = std::max(bestEver, run.speed);
        }
    const std::size_t n = std::min(plotted.size(), kChartRuns);
    const std::size_t first = plotted.size() - n;
    const auto shown = std::span(plotted).last(n);
    // The average of each shown run and the runs before it, older than the
    // chart or not.
    double sum = 0;
    for (std::size_t i = first >= kAverageRuns ? first - kAverageRuns : 0; i < first; ++i)
        sum += std::max(0, plotted[i]->speed);
    int top = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const int speed = std::max(0, shown[i]->speed);
        chart.speed.push_back(speed);
        chart.accuracy.push_back(std::clamp(shown[i]->accuracy, 0, 100));
        sum += speed;
        const std::size_t at = first + i;
        if (at >= kAverageRuns) sum -= std::max(0, plotted[at - kAverageRuns]->speed);
        chart.average.push_back(sum / static_cast<double>(std::min(at + 1, kAverageRuns)));
        if (speed > chart.speed[chart.best]) chart.best = i;
        top = std::max(top, speed);
    }
    chart.latest = n ? n - 1 : 0;
    // A tenth above the best, so that its mark and name fit under the top.
    top += (top + 9) / 10;
    chart.speedStep = SpeedStep(top);
    chart.speedTop = std::max(1, (top + chart.speedStep - 1) / chart.speedStep) * chart.speedStep;
    if (n == 0) return chart;
    AddTags(chart, bestEver);
    // Evenly spread ticks; the times of day when every run is of one day.
    const bool oneDay = DateOf(shown.front()->when) == DateOf(shown.back()->when);
    const std::size_t ticks = std::min(n, kDateTicks);
    for (std::size_t t = 0; t < ticks; ++t) {
        const std::size_t run = ticks == 1 ? 0 : t * (n - 1) / (ticks - 1);
        std::wstring text = oneDay ? TimeOf(shown[run]->when) : DayOf(shown[run]->when);
        if (!chart.dates.empty() && chart.dates.back().text == text) continue;
        chart.dates.push_back({run, std::move(text)});
    }
    return chart;
}

namespace {

std::wstring Duration(std::int64_t seconds) {
    const std::int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    if (h) return std::to_wstring(h) + L" 小时 " + std::to_wstring(m) + L" 分";
    if (m) return std::to_wstring(m) + L" 分 " + std::to_wstring(s) + L" 秒";
    return std::to_wstring(s) + L" 秒";
}

std::wstring Speed(double perMinute) { return std::to_wstring(nearest(perMinute)) + L" 字/分"; }

void AddTotals(std::span<const RunRecord> runs, RecordView& view) {
    const HistoryTotals t = Totals(runs);
    view.totals = {
        {L"练习次数", std::to_wstring(t.runs) + L" 次"},
        {L"总字数", std::to_wstring(t.typed) + L" 字"},
        {L"练习时间", Duration(t.seconds)},
        {L"最高速度", Speed(t.bestSpeed)},
    };
    std::wstring recent = Speed(t.recentAverage);
    if (t.previousRuns > 0) {
        view.trend = t.recentAverage > t.previousAverage   ? Trend::Up
                     : t.recentAverage < t.previousAverage ? Trend::Down
                                                           : Trend::Level;
        recent += view.trend == Trend::Up ? L" ↑" : view.trend == Trend::Down ? L" ↓" : L" →";
    }
    view.totals.push_back({L"近 " + std::to_wstring(t.recentRuns) + L" 次平均", recent});
    if (t.previousRuns > 0)
        view.totals.push_back(
            {L"前 " + std::to_wstring(t.previousRuns) + L" 次平均", Speed(t.previousAverage)});
}

}  // namespace

int RecordChart::XAt(std::size_t i, const ChartBox& plot) const {
    const std::size_t n = Runs();
    const double across = n <= 1 ? 0.5 : static_cast<double>(i) / static_cast<double>(n - 1);
    return plot.left + static_cast<int>(nearest(across * (plot.right - plot.left)));
}

ChartPoint RecordChart::SpeedAt(std::size_t i, const ChartBox& plot) const {
    const int value = i < Runs() ? speed[i] : 0;
    const double up = speedTop > 0 ? std::clamp(static_cast<double>(value) / speedTop, 0.0, 1.0) : 0.0;
    return {XAt(i, plot), plot.bottom - static_cast<int>(nearest(up * (plot.bottom - plot.top)))};
}

ChartPoint RecordChart::AccuracyAt(std::size_t i, const ChartBox& plot) const {
    const int value = i < Runs() ? accuracy[i] : 0;
    const double up = std::clamp(value / 100.0, 0.0, 1.0);
    return {XAt(i, plot), plot.bottom - static_cast<int>(nearest(up * (plot.bottom - plot.top)))};
}

ChartPoint RecordChart::AverageAt(std::size_t i, const ChartBox& plot) const {
    const double value = i < average.size() ? average[i] : 0;
    const double up = speedTop > 0 ? std::clamp(value / speedTop, 0.0, 1.0) : 0.0;
    return {XAt(i, plot), plot.bottom - static_cast<int>(nearest(up * (plot.bottom - plot.top)))};
}

std::vector<ChartBox> RecordChart::PlaceTags(const ChartGeometry& g,
                                             const std::vector<ChartSize>& sizes) const {
    // What a name must not cover: every point, the two marks, the names
    // placed before it; each grown by the gap kept around a name.
    std::vector<ChartBox> taken;
    auto around = [&](ChartPoint p, int reach) {
        return ChartBox{p.x - reach - g.gap, p.y - reach - g.gap, p.x + reach + g.gap + 1,
                        p.y + reach + g.gap + 1};
    };
    for (std::size_t i = 0; i < Runs(); ++i) {
        const bool marked = i == best || i == latest;
        taken.push_back(around(SpeedAt(i, g.plot), marked ? g.mark : g.dot));
        taken.push_back(around(AccuracyAt(i, g.plot), g.dot));
    }
    std::vector<ChartBox> placed;
    for (std::size_t t = 0; t < tags.size(); ++t) {
        const ChartSize size = t < sizes.size() ? sizes[t] : ChartSize{};
        const ChartPoint at = SpeedAt(tags[t].run, g.plot);
        // Each top-left corner that keeps the name inside the plot, with how
        // many of the taken boxes a name there would cover: each box adds one
        // over the rectangle of corners it blocks (summed from the corners'
        // differences).
        const int columns = std::max(1, g.plot.right - g.plot.left - size.width + 1);
        const int rows = std::max(1, g.plot.bottom - g.plot.top - size.height + 1);
        std::vector<int> covers(static_cast<std::size_t>(columns + 1) * static_cast<std::size_t>(rows + 1));
        auto cell = [&](int x, int y) -> int& {
            return covers[static_cast<std::size_t>(y) * static_cast<std::size_t>(columns + 1) +
                          static_cast<std::size_t>(x)];
        };
        for (const ChartBox& o : taken) {
            const int x0 = std::max(0, o.left - size.width + 1 - g.plot.left);
            const int x1 = std::min(columns - 1, o.right - 1 - g.plot.left);
            const int y0 = std::max(0, o.top - size.height + 1 - g.plot.top);
            const int y1 = std::min(rows - 1, o.bottom - 1 - g.plot.top);
            if (x0 > x1 || y0 > y1) continue;
            ++cell(x0, y0);
            --cell(x1 + 1, y0);
            --cell(x0, y1 + 1);
            ++cell(x1 + 1, y1 + 1);
        }
        const std::size_t stride = static_cast<std::size_t>(columns) + 1;
        for (std::size_t y = 0; y < static_cast<std::size_t>(rows); ++y) {
            int* row = covers.data() + y * stride;
            const int* above = y > 0 ? row - stride : nullptr;
            for (std::size_t x = 0; x < static_cast<std::size_t>(columns); ++x)
                row[x] += (x > 0 ? row[x - 1] : 0) + (above ? above[x] - (x > 0 ? above[x - 1] : 0) : 0);
        }
        // The fewest covered, then the nearest to the run's point.
        ChartBox chosen{};
        int fewest = INT_MAX;
        long long closest = 0;
        for (int y = 0; y < rows; ++y) {
            const int* row = covers.data() + static_cast<std::size_t>(y) * stride;
            const int top = g.plot.top + y;
            const long long dy = std::max({0, top - at.y, at.y - (top + size.height - 1)});
            for (int x = 0; x < columns; ++x) {
                if (row[x] > fewest) continue;
                const int left = g.plot.left + x;
                const long long dx = std::max({0, left - at.x, at.x - (left + size.width - 1)});
                const long long distance = dx * dx + dy * dy;
                if (row[x] < fewest || distance < closest) {
                    fewest = row[x];
                    closest = distance;
                    chosen = {left, top, left + size.width, top + size.height};
                }
            }
        }
        placed.push_back(chosen);
        taken.push_back(
            {chosen.left - g.gap, chosen.top - g.gap, chosen.right + g.gap, chosen.bottom + g.gap});
    }
    return placed;
}

RecordView BuildRecordView(const HistoryContents& contents, ChartKind kind) {
    RecordView view;
    view.kind = kind;
    const std::span<const RunRecord> runs(contents.runs);
    if (contents.skipped > 0)
        view.skipped = L"记录文件里有 " + std::to_wstring(contents.skipped) + L" 行无法读取，已跳过。";
    view.empty = runs.empty();
    view.clearEnabled = !view.empty || contents.skipped > 0;
    if (view.empty) return view;
    view.chart = BuildChart(runs, kind);
    AddTotals(runs, view);
    return view;
}

void AddCharacters(RecordView& view, const CharRecord& chars, int targetSpeed, Day today,
                   std::wstring_view codeTable) {
    const double target = TargetMs(targetSpeed);
    view.weakTitle = L"最弱的字（目标 " + std::to_wstring(targetSpeed) + L" 字/分）";
    view.weakest.clear();
    for (const CharStats* c : chars.Weakest(target, kWeakestShown)) {
        RecordWeakRow row;
        row.ch.assign(1, c->ch);
        // The look-up's text is the character, "：" and the code.
        if (auto found = LookUpCode(codeTable, row.ch)) {
            row.code = found->substr(2);
            row.code.erase(row.code.find_last_not_of(L' ') + 1);
        }
        row.rate = Percent(c->rate);
        row.ms = Millis(c->ms);
        row.attempts = std::to_wstring(c->attempts) + L" 次";
        row.box = std::to_wstring(c->box);
        view.weakest.push_back(std::move(row));
    }
    const std::vector<const CharStats*> graduated = chars.GraduatedSince(today - 6);
    view.graduated.clear();
    if (!graduated.empty()) {
        view.graduated = L"本周毕业 " + std::to_wstring(graduated.size()) + L" 个字：";
        for (std::size_t i = 0; i < graduated.size() && i < kGraduatedListed; ++i)
            view.graduated += (i ? L" " : L"") + std::wstring(1, graduated[i]->ch);
        if (graduated.size() > kGraduatedListed) view.graduated += L" …";
    }
    const std::size_t due = chars.Due(today, target).size();
    view.due = due ? L"今天该复习 " + std::to_wstring(due) + L" 个字" : L"今天没有要复习的字";
}

forms::Color KeyColor(bool ranked, double weakness) {
    if (!ranked) return Rgb(224, 224, 224);
    // Green while sure and quick, yellow at half, red from a whole.
    const double t = std::clamp(weakness, 0.0, 1.0);
    if (t <= 0.5) {
        const double u = t / 0.5;
        return Rgb(120 + u * (246 - 120), 204 + u * (210 - 204), 120 + u * (84 - 120));
    }
    const double u = (t - 0.5) / 0.5;
    return Rgb(246 + u * (226 - 246), 210 + u * (72 - 210), 84 + u * (60 - 84));
}

RecordKeyboard BuildKeyboard(const KeyRecord& keys, double charTargetMs) {
    RecordKeyboard board;
    board.shown = keys.AnyAttempt();
    if (!board.shown) return board;
    const double target = KeyTargetMs(charTargetMs);
    for (const CodeKey& key : kCodeKeyboard) {
        const KeyStats& stats = *keys.Find(key.letter);
        RecordKey shown{&key, stats.attempts >= kRankedFrom, KeyWeakness(stats, target)};
        shown.color = KeyColor(shown.ranked, shown.weakness);
        board.keys.push_back(shown);
    }
    for (const KeyStats* stats : keys.Weakest(kWeakKeysShown, target)) {
        const CodeKey* key = FindCodeKey(stats->key);
        board.weakest.push_back({std::wstring{static_cast<wchar_t>(stats->key - 'a' + 'A'), L' ', key->name},
                                 key->radicals, L"错 " + Percent(stats->rate) + L"　" + Millis(stats->ms)});
    }
    return board;
}

RecordForm::RecordForm(PracticeHistory& history, Learning& learning, const std::wstring& codeTable,
                       const forms::Color& mainBackColor)
    : history_(history), learning_(learning), codeTable_(codeTable), mainBackColor_(mainBackColor) {
    const forms::Font font{L"宋体", 9};
    // The filter, small, above the chart.
    for (int k = 0; k < kChartKinds; ++k) {
        forms::CommandButton& button = filterButtons[static_cast<std::size_t>(k)];
        button.Place(180 + static_cast<float>(k) * 780, 120, 720, 330);
        button.Caption = kChartKindCaptions[k];
        button.Font = font;
        button.Click = [this, k] { OnFilterButton(static_cast<ChartKind>(k)); };
    }
    // Right-aligned along the bottom of the window, 150 twips apart.
    float right = 13020;
    for (auto [button, caption, width] : {std::tuple{&closeButton, kRecordCloseCaption, 1200.0f},
                                          std::tuple{&clearButton, kRecordClearCaption, 1350.0f},
                                          std::tuple{&drillButton, kRecordDrillCaption, 1500.0f}}) {
        button->Place(right - width, 9930, width, 420);
        button->Caption = caption;
        button->Font = font;
        right -= width + 150;
    }
    closeButton.Default = true;
    drillButton.Click = [this] { OnDrillButton(); };
    clearButton.Click = [this] { OnClearButton(); };
    closeButton.Click = [this] { OnCloseButton(); };
}

void RecordForm::Read() {
    BackColor = mainBackColor_;
    contents_ = history_.Load();
    view_ = BuildRecordView(contents_, view_.kind);
    const Day today = Today();
    AddCharacters(view_, learning_.Record(), learning_.TargetSpeed(), today, codeTable_);
    if (keys_) view_.keyboard = BuildKeyboard(*keys_, learning_.TargetMs());
    view_.lesson = lessonLine;
    view_.drillEnabled = !learning_.Picks(today).empty();
    drillButton.Enabled = view_.drillEnabled;
    clearButton.Enabled = view_.clearEnabled;
    ShowKind(view_.kind);
    for (forms::CommandButton* button : {&drillButton, &clearButton, &closeButton})
        button->BackColor = BackColor;
    for (forms::CommandButton& button : filterButtons) button.BackColor = BackColor;
}

void RecordForm::ShowKind(ChartKind kind) {
    if (kind != view_.kind) {
        view_.kind = kind;
        if (!view_.empty) view_.chart = BuildChart(contents_.runs, kind);
    }
    // The chosen one greyed; none to choose without runs.
    for (int k = 0; k < kChartKinds; ++k)
        filterButtons[static_cast<std::size_t>(k)].Enabled =
            !view_.empty && static_cast<ChartKind>(k) != kind;
}

void RecordForm::Load() {
    Read();
    if (Loaded()) {
        Changed();
        Front();
        return;
    }
    // Placed topmost and shown; a window that could not be made is tried
    // again at the next call.
    Show();
}

void RecordForm::OnFilterButton(ChartKind kind) {
    if (!Loaded() || kind == view_.kind) return;
    ShowKind(kind);
    Changed();
}

void RecordForm::OnUnload() {
    view_.kind = ChartKind::All;
    contents_ = {};
}

void RecordForm::OnDrillButton() {
    if (!view_.drillEnabled) return;
    // The drill runs in the main window's grid, which this window would cover.
    Unload();
    if (StartDrill) StartDrill();
}

void RecordForm::OnClearButton() {
    if (!view_.clearEnabled) return;
    if (!Confirm || !Confirm(kRecordConfirmClear)) return;
    history_.Clear();   // a failure is told by the record itself
    learning_.Clear();  // and the characters and keys learnt with it
    keys_ = nullptr;
    Read();
    Changed();
}

void RecordForm::OnCloseButton() { Unload(); }

}  // namespace quorlax
