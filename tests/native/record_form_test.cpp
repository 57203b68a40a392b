// What the record window shows: the empty record, the totals with the trend
// of the last ten runs, the chart's scale, marks and names (which cover no
// point), the weakest characters with their codes, the clear and drill
// buttons, and a window that could not be made.
#include "practice/record_form.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace quorlax {
namespace {

const std::wstring kTable = L"中khk 国lgyi人w   ";

RunRecord MakeRun(std::wstring when, int speed, int accuracy = 90, std::vector<Miss> misses = {}) {
    RunRecord run;
    run.when = std::move(when);
    run.typed = 100;
    run.correct = accuracy;
    run.accuracy = accuracy;
    run.speed = speed;
    run.seconds = 120;
    run.misses = std::move(misses);
    return run;
}

std::wstring Day(int i) {
    wchar_t text[32];
    swprintf(text, 32, L"2026-%02d-%02d 10:%02d:00", 1 + i / 28 % 12, 1 + i % 28, i % 60);
    return text;
}

const RecordTotal* Total(const RecordView& view, std::wstring_view label) {
    for (const RecordTotal& t : view.totals)
        if (t.label == label) return &t;
    return nullptr;
}

TEST(RecordViewTest, WithNoRunsItSaysSoAndOffersNoDrill) {
    RecordView view = BuildRecordView({}, kTable);
    EXPECT_TRUE(view.empty);
    EXPECT_FALSE(view.drillEnabled);
    EXPECT_FALSE(view.clearEnabled);
    EXPECT_TRUE(view.totals.empty());
    EXPECT_EQ(view.chart.Runs(), 0u);

    // Only unreadable lines: nothing to show, but a file to clear.
    view = BuildRecordView({{}, 3}, kTable);
    EXPECT_TRUE(view.empty);
    EXPECT_TRUE(view.clearEnabled);
    EXPECT_NE(view.skipped.find(L"3"), std::wstring::npos);

    // Runs without a miss: a record, but nothing to drill.
    view = BuildRecordView({{MakeRun(Day(0), 30)}, 0}, kTable);
    EXPECT_FALSE(view.empty);
    EXPECT_TRUE(view.weakest.empty());
    EXPECT_FALSE(view.drillEnabled);
}

TEST(RecordViewTest, TotalsCompareTheLastTenRunsWithTheTenBefore) {
    HistoryContents contents;
    for (int i = 0; i < 10; ++i) contents.runs.push_back(MakeRun(Day(i), 40 + i % 2));  // mean 40.5
    for (int i = 10; i < 20; ++i) contents.runs.push_back(MakeRun(Day(i), 50));
    contents.runs[3].speed = 77;
    contents.runs[5].seconds = 3600;
    RecordView view = BuildRecordView(contents, kTable);
    ASSERT_NE(Total(view, L"近 10 次平均"), nullptr);
    EXPECT_EQ(view.trend, Trend::Up);
    EXPECT_EQ(Total(view, L"近 10 次平均")->value, L"50 字/分 ↑");
    EXPECT_EQ(Total(view, L"前 10 次平均")->value, L"44 字/分");
    EXPECT_EQ(Total(view, L"练习次数")->value, L"20 次");
    EXPECT_EQ(Total(view, L"总字数")->value, L"2000 字");
    EXPECT_EQ(Total(view, L"练习时间")->value, L"1 小时 38 分");  // 19 × 2 min + 1 h
    EXPECT_EQ(Total(view, L"最高速度")->value, L"77 字/分");

    for (int i = 10; i < 20; ++i) contents.runs[i].speed = 20;
    view = BuildRecordView(contents, kTable);
    EXPECT_EQ(view.trend, Trend::Down);
    EXPECT_EQ(Total(view, L"近 10 次平均")->value, L"20 字/分 ↓");

    // Fewer than eleven runs have nothing to compare with.
    contents.runs.resize(4);
    view = BuildRecordView(contents, kTable);
    EXPECT_EQ(view.trend, Trend::None);
    ASSERT_NE(Total(view, L"近 4 次平均"), nullptr);
    EXPECT_EQ(Total(view, L"前 0 次平均"), nullptr);
    EXPECT_EQ(Total(view, L"近 4 次平均")->value, L"50 字/分");  // 40, 41, 40, 77: 49.5, halves to even
}

TEST(RecordViewTest, TheChartScalesTheLastHundredRunsAndMarksTheBestAndTheLatest) {
    HistoryContents contents;
    for (int i = 0; i < 150; ++i) contents.runs.push_back(MakeRun(Day(i), 30 + i % 7, 80 + i % 11));
    contents.runs[10].speed = 500;  // older than the chart: not shown
    contents.runs[70].speed = 88;
    contents.runs[120].speed = 88;  // equal, later: the first stays the best
    contents.runs[149].speed = 44;
    const RecordChart chart = BuildRecordView(contents, kTable).chart;
    ASSERT_EQ(chart.Runs(), kChartRuns);
    EXPECT_EQ(chart.speed.front(), contents.runs[50].speed);
    EXPECT_EQ(chart.best, 20u);
    EXPECT_EQ(chart.latest, 99u);
    EXPECT_EQ(chart.speedTop, 100);  // 88 and a tenth more, in at most five nice steps
    EXPECT_EQ(chart.speedStep, 20);
    ASSERT_GE(chart.dates.size(), 3u);
    EXPECT_EQ(chart.dates.front().run, 0u);
    EXPECT_EQ(chart.dates.front().text, L"02-23");  // run 50's day
    EXPECT_EQ(chart.dates.back().run, 99u);

    // One run sits in the middle; runs of one day are told apart by the time.
    contents.runs = {MakeRun(L"2026-12-08 09:15:00", 0)};
    RecordChart one = BuildRecordView(contents, kTable).chart;
    const ChartBox plot{100, 20, 300, 120};
    EXPECT_EQ(one.SpeedAt(0, plot).x, 200);
    EXPECT_EQ(one.SpeedAt(0, plot).y, 120) << "at the bottom";
    EXPECT_GT(one.speedTop, 0) << "an all-zero chart still has a scale";
    contents.runs.push_back(MakeRun(L"2026-12-08 21:40:00", 130));
    one = BuildRecordView(contents, kTable).chart;
    ASSERT_EQ(one.dates.size(), 2u);
    EXPECT_EQ(one.dates[0].text, L"09:15");
    EXPECT_EQ(one.dates[1].text, L"21:40");
    EXPECT_EQ(one.speedTop, 150);
    EXPECT_EQ(one.best, 1u);
}

// Text as the record window's small font measures it at `pixels` per em.
std::vector<ChartSize> Measure(const RecordChart& chart, int pixels) {
    std::vector<ChartSize> sizes;
    for (const RecordChart::Tag& tag : chart.tags) {
        int width = 2;
        for (wchar_t c : tag.text) width += c < 0x80 ? pixels / 2 : pixels;
        sizes.push_back({width, pixels});
    }
    return sizes;
}

// The boxes a run's points and marks cover.
std::vector<ChartBox> Covered(const RecordChart& chart, const ChartGeometry& g) {
    std::vector<ChartBox> boxes;
    auto around = [](ChartPoint p, int r) { return ChartBox{p.x - r, p.y - r, p.x + r + 1, p.y + r + 1}; };
    for (std::size_t i = 0; i < chart.Runs(); ++i) {
        const bool marked = i == chart.best || i == chart.latest;
        boxes.push_back(around(chart.SpeedAt(i, g.plot), marked ? g.mark : g.dot));
        boxes.push_back(around(chart.AccuracyAt(i, g.plot), g.dot));
    }
    return boxes;
}

TEST(RecordViewTest, TheNamesOfTheBestAndLatestRunsCoverNoPointNoMarkAndEachOtherNot) {
    std::vector<std::vector<RunRecord>> charts(5);
    for (int i = 0; i < 30; ++i)  // rising, the best just before the latest (docs/record.png)
        charts[0].push_back(MakeRun(Day(i), 28 + i + (i % 3) * 2 - (i == 29) * 5, 86 + i % 9));
    for (int i = 0; i < 100; ++i) {
        charts[1].push_back(MakeRun(Day(i), 25 + i / 3 + i % 4 - (i == 99) * 6, 88 + i % 10));
        charts[2].push_back(MakeRun(Day(i), 40, 100));                           // flat
        charts[3].push_back(MakeRun(Day(i), 20 + i / 2, 95));                    // the latest best
        charts[4].push_back(MakeRun(Day(i), i % 2 ? 62 : 8, i % 2 ? 50 : 100));  // zigzag
    }
    // The plot at 96 and at 144 dpi, as the window lays it out, and its font.
    const ChartGeometry screens[] = {{{64, 42, 664, 226}, 1, 6, 3}, {{96, 63, 996, 339}, 2, 9, 4}};
    const int em[] = {12, 18};
    for (std::size_t c = 0; c < charts.size(); ++c)
        for (int s = 0; s < 2; ++s) {
            const RecordChart chart = BuildRecordView({charts[c], 0}, kTable).chart;
            ChartGeometry g = screens[s];
            if (chart.Runs() <= 50) g.dot *= 2;  // larger points where there are few
            const std::vector<ChartBox> tags = chart.PlaceTags(g, Measure(chart, em[s]));
            ASSERT_EQ(tags.size(), chart.best == chart.latest ? 1u : 2u) << c;
            const std::vector<ChartBox> covered = Covered(chart, g);
            for (std::size_t t = 0; t < tags.size(); ++t) {
                const ChartBox& box = tags[t];
                EXPECT_TRUE(box.left >= g.plot.left && box.right <= g.plot.right && box.top >= g.plot.top &&
                            box.bottom <= g.plot.bottom)
                    << c << ": inside the plot";
                for (std::size_t k = 0; k < covered.size(); ++k)
                    EXPECT_FALSE(box.Overlaps(covered[k]))
                        << "chart " << c << ", " << em[s] << " px: tag " << t << " covers run " << k / 2
                        << (k % 2 ? " accuracy" : "");
                EXPECT_FALSE(t == 1 && box.Overlaps(tags[0])) << c << ": the names cover each other";
            }
        }

    // Where there is room, a name sits right beside its mark.
    const RecordChart sparse =
        BuildRecordView({{MakeRun(Day(0), 30), MakeRun(Day(1), 31, 60)}, 0}, kTable).chart;
    const ChartGeometry& g = screens[0];
    const std::vector<ChartBox> tags = sparse.PlaceTags(g, Measure(sparse, 12));
    for (std::size_t t = 0; t < tags.size(); ++t) {
        const ChartPoint p = sparse.SpeedAt(sparse.tags[t].run, g.plot);
        const int dx = std::max({0, tags[t].left - p.x, p.x - tags[t].right + 1});
        const int dy = std::max({0, tags[t].top - p.y, p.y - tags[t].bottom + 1});
        EXPECT_LE(std::max(dx, dy), g.mark + g.gap + 1) << t;
    }
}

TEST(RecordViewTest, TheChartsBestIsNamedForWhatItIs) {
    HistoryContents contents;
    for (int i = 0; i < 120; ++i) contents.runs.push_back(MakeRun(Day(i), 30 + i % 7));
    contents.runs[70].speed = 52;
    RecordChart chart = BuildRecordView(contents, kTable).chart;
    ASSERT_EQ(chart.tags.size(), 2u);
    EXPECT_EQ(chart.tags[0].text, L"最高 52") << "the best of all runs, as 最高速度 says";
    EXPECT_EQ(chart.tags[0].run, 50u);
    EXPECT_EQ(chart.tags[1].text, L"最近 30");
    EXPECT_EQ(chart.tags[1].run, 99u);

    contents.runs[5].speed = 88;  // older than the chart
    chart = BuildRecordView(contents, kTable).chart;
    EXPECT_EQ(chart.tags[0].text, L"图中最高 52");
    contents.runs.back().speed = 90;
    chart = BuildRecordView(contents, kTable).chart;
    ASSERT_EQ(chart.tags.size(), 1u);
    EXPECT_EQ(chart.tags[0].text, L"最高 · 最近 90");
}

TEST(RecordViewTest, WeakCharactersShowTheCodeF1GivesOrNone) {
    HistoryContents contents;
    contents.runs.push_back(MakeRun(L"2026-12-06 10:00:00", 30, 90, {{L'们', 2}, {L'中', 1}}));
    contents.runs.push_back(MakeRun(L"2026-12-08 10:00:00", 30, 90, {{L'中', 2}, {L'x', 1}}));
    const RecordView view = BuildRecordView(contents, kTable);
    ASSERT_EQ(view.weakest.size(), 3u);
    EXPECT_EQ(view.weakest[0].ch, L"中");
    EXPECT_EQ(view.weakest[0].code, L"khk") << "the padding blank is not shown";
    EXPECT_EQ(view.weakest[0].misses, L"3 次");
    EXPECT_EQ(view.weakest[0].last, L"12-08");
    EXPECT_EQ(view.weakest[1].ch, L"们");
    EXPECT_EQ(view.weakest[1].code, L"") << "not in the code table";
    EXPECT_EQ(view.weakest[1].last, L"12-06");
    EXPECT_EQ(view.weakest[2].ch, L"x");
    EXPECT_EQ(view.weakest[2].code, L"") << "F1 looks up no letter";
    EXPECT_TRUE(view.drillEnabled);
}

TEST(RecordFormTest, ClearAsksFirstAndDrillClosesTheWindowBeforeItStarts) {
    test::MemoryRecordFile file;
    test::RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 10:00:00", 30, 90, {{L'中', 2}}));
    const std::wstring table = kTable;
    const forms::Color back = 0x00FF8000;
    RecordForm form(history, table, back);
    std::vector<std::wstring> log;
    form.OnLoaded = [&] {
        log.push_back(L"shown");
        return true;
    };
    form.OnUnloaded = [&] { log.push_back(L"closed"); };
    form.StartDrill = [&] { log.push_back(L"drill"); };
    bool answer = false;
    form.Confirm = [&](std::wstring_view) {
        log.push_back(L"asked");
        return answer;
    };
    form.Load();
    EXPECT_EQ(form.BackColor, back);
    EXPECT_FALSE(form.View().empty);

    form.OnClearButton();  // No
    EXPECT_FALSE(form.View().empty);
    EXPECT_TRUE(file.backup.empty());
    answer = true;
    form.OnClearButton();  // Yes
    EXPECT_TRUE(form.View().empty);
    EXPECT_FALSE(form.View().drillEnabled);
    EXPECT_NE(file.backup.find("中"), std::string::npos) << "the record was moved aside, not lost";
    form.OnDrillButton();  // greyed: nothing
    EXPECT_TRUE(form.Loaded());

    history.Record(MakeRun(L"2026-12-08 11:00:00", 30, 90, {{L'国', 1}}));
    form.Load();  // shown already: read afresh
    ASSERT_TRUE(form.View().drillEnabled);
    form.OnDrillButton();
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(log, (std::vector<std::wstring>{L"shown", L"asked", L"asked", L"closed", L"drill"}));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(RecordFormTest, AWindowThatCouldNotBeMadeIsTriedAgainAtTheNextLoad) {
    test::MemoryRecordFile file;
    test::RecordingMessages messages;
    PracticeHistory history(file, messages);
    const std::wstring table = kTable;
    const forms::Color back = 0x00FF8000;
    RecordForm form(history, table, back);
    int tries = 0;
    bool made = false;
    form.OnLoaded = [&] {
        ++tries;
        return made;
    };
    form.Load();
    EXPECT_FALSE(form.Loaded());
    made = true;
    form.Load();
    EXPECT_EQ(tries, 2);
    EXPECT_TRUE(form.Loaded());
}

}  // namespace
}  // namespace quorlax
