// What the record window shows: the empty record, the totals with the trend
// of the last ten runs, the chart's scale, marks and names (which cover no
// point), its filter by kind, short runs and moving average, the weakest
// characters of the per-character record with their codes and figures, the
// graduated and the due, the code mode's keys, the clear, drill and filter
// buttons, and a window that could not be made.
#include "practice/record_form.h"

#include <gtest/gtest.h>

#include "form_fixture.h"
#include "support/fakes.h"

namespace quorlax {
namespace {

const std::wstring kTable = L"中khk 国lgyi人w   ";

RunRecord MakeRun(std::wstring when, int speed, int accuracy = 90, std::vector<Miss> misses = {},
                  RunKind kind = RunKind::BuiltIn, int typed = 100) {
    RunRecord run;
    run.when = std::move(when);
    run.kind = kind;
    run.typed = typed;
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

TEST(RecordViewTest, WithNoRunsItSaysSoAndOffersNothingToClear) {
    RecordView view = BuildRecordView({});
    EXPECT_TRUE(view.empty);
    EXPECT_FALSE(view.clearEnabled);
    EXPECT_TRUE(view.totals.empty());
    EXPECT_EQ(view.chart.Runs(), 0u);

    // Only unreadable lines: nothing to show, but a file to clear.
    view = BuildRecordView({{}, 3});
    EXPECT_TRUE(view.empty);
    EXPECT_TRUE(view.clearEnabled);
    EXPECT_NE(view.skipped.find(L"3"), std::wstring::npos);
}

TEST(RecordViewTest, TotalsCompareTheLastTenRunsWithTheTenBefore) {
    HistoryContents contents;
    for (int i = 0; i < 10; ++i) contents.runs.push_back(MakeRun(Day(i), 40 + i % 2));  // mean 40.5
    for (int i = 10; i < 20; ++i) contents.runs.push_back(MakeRun(Day(i), 50));
    contents.runs[3].speed = 77;
    contents.runs[5].seconds = 3600;
    RecordView view = BuildRecordView(contents);
    ASSERT_NE(Total(view, L"近 10 次平均"), nullptr);
    EXPECT_EQ(view.trend, Trend::Up);
    EXPECT_EQ(Total(view, L"近 10 次平均")->value, L"50 字/分 ↑");
    EXPECT_EQ(Total(view, L"前 10 次平均")->value, L"44 字/分");
    EXPECT_EQ(Total(view, L"练习次数")->value, L"20 次");
    EXPECT_EQ(Total(view, L"总字数")->value, L"2000 字");
    EXPECT_EQ(Total(view, L"练习时间")->value, L"1 小时 38 分");  // 19 × 2 min + 1 h
    EXPECT_EQ(Total(view, L"最高速度")->value, L"77 字/分");

    for (int i = 10; i < 20; ++i) contents.runs[i].speed = 20;
    view = BuildRecordView(contents);
    EXPECT_EQ(view.trend, Trend::Down);
    EXPECT_EQ(Total(view, L"近 10 次平均")->value, L"20 字/分 ↓");

    // Fewer than eleven runs have nothing to compare with.
    contents.runs.resize(4);
    view = BuildRecordView(contents);
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
    const RecordChart chart = BuildRecordView(contents).chart;
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
    RecordChart one = BuildRecordView(contents).chart;
    const ChartBox plot{100, 20, 300, 120};
    EXPECT_EQ(one.SpeedAt(0, plot).x, 200);
    EXPECT_EQ(one.SpeedAt(0, plot).y, 120) << "at the bottom";
    EXPECT_GT(one.speedTop, 0) << "an all-zero chart still has a scale";
    contents.runs.push_back(MakeRun(L"2026-12-08 21:40:00", 130));
    one = BuildRecordView(contents).chart;
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
            const RecordChart chart = BuildRecordView({charts[c], 0}).chart;
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
    const RecordChart sparse = BuildRecordView({{MakeRun(Day(0), 30), MakeRun(Day(1), 31, 60)}, 0}).chart;
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
    RecordChart chart = BuildRecordView(contents).chart;
    ASSERT_EQ(chart.tags.size(), 2u);
    EXPECT_EQ(chart.tags[0].text, L"最高 52") << "the best of all runs, as 最高速度 says";
    EXPECT_EQ(chart.tags[0].run, 50u);
    EXPECT_EQ(chart.tags[1].text, L"最近 30");
    EXPECT_EQ(chart.tags[1].run, 99u);

    contents.runs[5].speed = 88;  // older than the chart
    chart = BuildRecordView(contents).chart;
    EXPECT_EQ(chart.tags[0].text, L"图中最高 52");
    contents.runs.back().speed = 90;
    chart = BuildRecordView(contents).chart;
    ASSERT_EQ(chart.tags.size(), 1u);
    EXPECT_EQ(chart.tags[0].text, L"最高 · 最近 90");
}

TEST(RecordViewTest, TheChartShowsOneKindOfRunLeavesShortRunsOutAndAveragesTheLastTen) {
    HistoryContents contents;
    for (int i = 0; i < 130; ++i) contents.runs.push_back(MakeRun(Day(i), i));      // speed i
    contents.runs.push_back(MakeRun(Day(130), 900, 90, {}, RunKind::BuiltIn, 19));  // short: not drawn
    contents.runs.push_back(MakeRun(Day(131), 40, 90, {}, RunKind::Drill));
    contents.runs.push_back(MakeRun(Day(132), 60, 90, {}, RunKind::Drill, 20));
    contents.runs.push_back(MakeRun(Day(133), 50, 90, {}, RunKind::Chosen));

    RecordView view = BuildRecordView(contents);
    const RecordChart& all = view.chart;
    ASSERT_EQ(all.Runs(), kChartRuns);
    EXPECT_EQ(all.speed.back(), 50);
    EXPECT_EQ(all.speed[all.Runs() - 4], 129);
    EXPECT_EQ(all.speed[all.Runs() - 3], 40) << "the short run between is left out";
    EXPECT_EQ(Total(view, L"练习次数")->value, L"134 次") << "but counted";
    EXPECT_EQ(Total(view, L"最高速度")->value, L"900 字/分");
    EXPECT_EQ(all.tags[0].text, L"最高 129") << "the best of the runs drawn";
    // Run 33 is the chart's first: its average takes in runs 24..33.
    EXPECT_EQ(all.speed.front(), 33);
    EXPECT_DOUBLE_EQ(all.average.front(), 28.5);
    EXPECT_DOUBLE_EQ(all.average.back(), (123 + 124 + 125 + 126 + 127 + 128 + 129 + 40 + 60 + 50) / 10.0);

    const RecordChart drills = BuildChart(contents.runs, ChartKind::Drill);
    EXPECT_EQ(drills.speed, (std::vector<int>{40, 60}));
    EXPECT_EQ(drills.average, (std::vector<double>{40, 50})) << "the first runs average what there is";
    EXPECT_EQ(BuildChart(contents.runs, ChartKind::Chosen).speed, std::vector<int>{50});
    EXPECT_EQ(BuildChart(contents.runs, ChartKind::BuiltIn).Runs(), kChartRuns);
    EXPECT_EQ(BuildChart(contents.runs, ChartKind::BuiltIn).speed.back(), 129);
}

TEST(RecordViewTest, TheWeakListComesFromTheCharacterRecordWithTheGraduatedAndTheDue) {
    const int today = *ParseDay(L"2026-12-08");  // a Day
    CharRecord chars;
    auto typed = [&](wchar_t ch, int times, int ms, bool miss, int day) {
        chars.Apply(std::vector<Attempt>(static_cast<std::size_t>(times), Attempt{ch, miss, ms}), day, 1000);
    };
    typed(L'中', 3, 800, true, today);        // missed
    typed(L'们', 4, 2500, false, today - 1);  // slow, and not in the code table
    typed(L'人', 2, 3000, true, today);       // too few to rank
    typed(L'学', 5, 500, false, today - 6);   // graduated this week
    typed(L'段', 5, 500, false, today - 7);   // graduated before it
    RecordView view;
    AddCharacters(view, chars, 60, today, kTable);
    EXPECT_EQ(view.weakTitle, L"最弱的字（目标 60 字/分）");
    ASSERT_EQ(view.weakest.size(), 2u);
    const RecordWeakRow& first = view.weakest[0];
    EXPECT_EQ(first.ch, L"们") << "1.5 times the target weighs more than 27% misses";
    EXPECT_EQ(first.code, L"") << "not in the code table";
    EXPECT_EQ(first.rate, L"0%");
    EXPECT_EQ(first.ms, L"2500 毫秒");
    EXPECT_EQ(first.attempts, L"4 次");
    EXPECT_EQ(first.box, L"0");
    const RecordWeakRow& second = view.weakest[1];
    EXPECT_EQ(second.ch, L"中");
    EXPECT_EQ(second.code, L"khk") << "the padding blank is not shown";
    EXPECT_EQ(second.rate, L"27%");  // 1 − 0.9³
    EXPECT_EQ(second.ms, L"800 毫秒");
    EXPECT_EQ(view.graduated, L"本周毕业 1 个字：学");
    // 中 and 们 are weak; 学 and 段 went up to box 1 and came up for review.
    EXPECT_EQ(view.due, L"今天该复习 4 个字");

    chars = {};
    typed(L'中', 3, -1, true, today);
    AddCharacters(view, chars, 120, today + 1, kTable);
    EXPECT_EQ(view.weakTitle, L"最弱的字（目标 120 字/分）");
    ASSERT_EQ(view.weakest.size(), 1u);
    EXPECT_EQ(view.weakest[0].ms, L"—") << "never timed";
    EXPECT_TRUE(view.graduated.empty());
}

class RecordFormTest : public test::PracticeFormTest {
protected:
    RecordForm& record() { return room().record; }
};

TEST_F(RecordFormTest, ClearAsksFirstDrillClosesTheWindowBeforeItStartsAndTheFilterRePlots) {
    std::string lines = HistoryHeader();
    for (int i = 0; i < 4; ++i) lines += FormatRun(MakeRun(L"2026-12-08 10:00:00", 30 + i, 90, {{L'中', 2}}));
    lines += FormatRun(MakeRun(L"2026-12-08 11:00:00", 70, 90, {}, RunKind::Drill));
    fakes_.history.bytes = lines;
    std::vector<std::wstring> log;
    record().OnLoaded = [&] {
        log.push_back(L"shown");
        return true;
    };
    record().OnUnloaded = [&] { log.push_back(L"closed"); };
    record().StartDrill = [&] { log.push_back(L"drill"); };
    bool answer = false;
    record().Confirm = [&](std::wstring_view) {
        log.push_back(L"asked");
        return answer;
    };
    record().Load();
    EXPECT_EQ(record().BackColor, form().board.backColor);
    ASSERT_EQ(record().View().weakest.size(), 1u) << "中, seeded from the history's misses";
    EXPECT_TRUE(record().View().drillEnabled);
    EXPECT_EQ(record().View().chart.Runs(), 5u);
    EXPECT_FALSE(record().filterButtons[0].Enabled) << "全部 is chosen";

    record().filterButtons[3].Press();  // 错字
    EXPECT_EQ(record().View().chart.speed, std::vector<int>{70});
    EXPECT_FALSE(record().filterButtons[3].Enabled);
    EXPECT_TRUE(record().filterButtons[0].Enabled);

    record().OnDrillButton();
    EXPECT_FALSE(record().Loaded());
    record().Load();
    EXPECT_EQ(record().View().kind, ChartKind::All) << "a window opened again shows every kind";
    EXPECT_EQ(record().View().chart.Runs(), 5u);

    record().OnClearButton();  // No
    EXPECT_FALSE(record().View().empty);
    EXPECT_TRUE(fakes_.history.backup.empty());
    answer = true;
    record().OnClearButton();  // Yes
    EXPECT_TRUE(record().View().empty);
    EXPECT_NE(fakes_.history.backup.find("中"), std::string::npos) << "the record was moved aside, not lost";
    EXPECT_FALSE(record().View().drillEnabled) << "all of it: the characters' record went aside too";
    EXPECT_NE(fakes_.chars.backup.find("中"), std::string::npos);
    for (const forms::CommandButton& filter : record().filterButtons) EXPECT_FALSE(filter.Enabled);
    EXPECT_EQ(log, (std::vector<std::wstring>{L"shown", L"closed", L"drill", L"shown", L"asked", L"asked"}));
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(RecordFormTest, TheKeysAndTheLessonShowOnceTheOwnerHandsThemIn) {
    record().Load();
    EXPECT_FALSE(record().View().keyboard.shown);
    EXPECT_TRUE(record().View().lesson.empty());
    EXPECT_FALSE(record().View().drillEnabled) << "nothing to drill yet";

    KeyRecord keys;
    record().SetKeyRecord(&keys);
    record().lessonLine = L"入门第 2 段";
    record().Load();
    EXPECT_FALSE(record().View().keyboard.shown) << "a key record with no press yet";
    EXPECT_EQ(record().View().lesson, L"入门第 2 段");
    keys.Press({'q', true, 400});
    record().Load();
    ASSERT_TRUE(record().View().keyboard.shown);
    EXPECT_EQ(record().View().keyboard.keys.size(), kCodeKeys);
}

TEST_F(RecordFormTest, AWindowThatCouldNotBeMadeIsTriedAgainAtTheNextLoad) {
    RecordForm& form = record();
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
