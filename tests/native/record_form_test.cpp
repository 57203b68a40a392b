// What the record window shows: the empty record, the totals with the trend
// of the last ten runs, the chart's scale and marks, the weakest characters
// with their codes, and the clear and drill buttons.
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
    EXPECT_DOUBLE_EQ(chart.SpeedY(88), 0.88);
    EXPECT_DOUBLE_EQ(chart.SpeedY(44), 0.44);
    EXPECT_DOUBLE_EQ(RecordChart::AccuracyY(90), 0.9);
    EXPECT_DOUBLE_EQ(chart.X(0), 0.0);
    EXPECT_DOUBLE_EQ(chart.X(99), 1.0);
    ASSERT_GE(chart.dates.size(), 3u);
    EXPECT_EQ(chart.dates.front().run, 0u);
    EXPECT_EQ(chart.dates.front().text, L"02-23");  // run 50's day
    EXPECT_EQ(chart.dates.back().run, 99u);

    // One run sits in the middle; runs of one day are told apart by the time.
    contents.runs = {MakeRun(L"2026-12-08 09:15:00", 0)};
    RecordChart one = BuildRecordView(contents, kTable).chart;
    EXPECT_DOUBLE_EQ(one.X(0), 0.5);
    EXPECT_GT(one.speedTop, 0) << "an all-zero chart still has a scale";
    contents.runs.push_back(MakeRun(L"2026-12-08 21:40:00", 130));
    one = BuildRecordView(contents, kTable).chart;
    ASSERT_EQ(one.dates.size(), 2u);
    EXPECT_EQ(one.dates[0].text, L"09:15");
    EXPECT_EQ(one.dates[1].text, L"21:40");
    EXPECT_EQ(one.speedTop, 150);
    EXPECT_EQ(one.best, 1u);
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
    test::MemoryHistoryFile file;
    test::RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 10:00:00", 30, 90, {{L'中', 2}}));
    const std::wstring table = kTable;
    const forms::Color back = 0x00FF8000;
    RecordForm form(history, table, back);
    std::vector<std::wstring> log;
    form.OnLoaded = [&] { log.push_back(L"shown"); };
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

    form.cmdClear_Click();  // No
    EXPECT_FALSE(form.View().empty);
    EXPECT_TRUE(file.backup.empty());
    answer = true;
    form.cmdClear_Click();  // Yes
    EXPECT_TRUE(form.View().empty);
    EXPECT_FALSE(form.View().drillEnabled);
    EXPECT_NE(file.backup.find("中"), std::string::npos) << "the record was moved aside, not lost";
    form.cmdDrill_Click();  // greyed: nothing
    EXPECT_TRUE(form.Loaded());

    history.Record(MakeRun(L"2026-12-08 11:00:00", 30, 90, {{L'国', 1}}));
    form.Load();  // shown already: read afresh
    ASSERT_TRUE(form.View().drillEnabled);
    form.cmdDrill_Click();
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(log, (std::vector<std::wstring>{L"shown", L"asked", L"asked", L"closed", L"drill"}));
    EXPECT_TRUE(messages.shown.empty());
}

}  // namespace
}  // namespace quorlax
