// The practice record: the file's lines read back, a damaged file, the cap,
// a failed write, the ranking and the drill text; then the practice room
// recording its runs, the drill and the code hint.
#include "practice/history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "form_fixture.h"
#include "core/code_table.h"

namespace quorlax::test {
namespace {

RunRecord MakeRun(std::wstring when, int speed, std::vector<Miss> misses = {}) {
    RunRecord r;
    r.when = std::move(when);
    r.typed = 120;
    r.correct = 110;
    r.accuracy = 92;
    r.speed = speed;
    r.seconds = 95;
    r.misses = std::move(misses);
    return r;
}

TEST(HistoryFileTest, ARunReadsBackAsWrittenEvenWithBlanksDigitsAndTabsInIt) {
    RunRecord r = MakeRun(L"2026-12-08 14:03:22", 48, {{L'错', 3}, {L' ', 2}, {L'7', 12}, {L'字', 1}});
    r.kind = RunKind::Chosen;
    r.file = L"课文\t第一课.txt";
    const std::string line = FormatRun(r);
    EXPECT_EQ(line, "2026-12-08 14:03:22\tchosen\t课文 第一课.txt\t120\t110\t92\t48\t95\t错3  2 712 字1\n");
    auto back = ParseRun(std::string_view(line).substr(0, line.size() - 1));
    ASSERT_TRUE(back);
    r.file = L"课文 第一课.txt";
    EXPECT_EQ(*back, r);

    RunRecord drill = MakeRun(L"2026-12-08 14:05:00", 30);
    drill.kind = RunKind::Drill;
    const std::string file = HistoryHeader() + line + FormatRun(drill);
    HistoryContents c = ParseHistory(file, false);
    ASSERT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.skipped, 0) << "the header is no run and is not skipped";
    EXPECT_EQ(c.runs[1], drill);
}

TEST(HistoryFileTest, LinesThatCannotBeReadAreSkippedAndCountedAndATailLosesItsFirstLine) {
    const std::string good = FormatRun(MakeRun(L"2026-12-08 10:00:00", 40, {{L'中', 2}}));
    const std::string file =
        HistoryHeader() + good +
        "2026-12-08 10:01:00\tbuiltin\t\t12\t10\n"                   // too few columns
        "2026-12-08\tbuiltin\t\t12\t10\t83\t40\t9\t\n"               // no time
        "2026-12-08 10:02:00\tgame\t\t12\t10\t83\t40\t9\t\n"         // unknown kind
        "2026-12-08 10:03:00\tbuiltin\t\t12\t-1\t83\t40\t9\t\n"      // no number
        "2026-12-08 10:04:00\tbuiltin\t\t12\t10\t83\t40\t9\t错\n"    // a miss without count
        "2026-12-08 10:05:00\tbuiltin\t\xff\t12\t10\t83\t40\t9\t\n"  // not UTF-8
        "\r\n" +
        good;
    HistoryContents c = ParseHistory(file, false);
    EXPECT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.skipped, 6);

    // Cut in the middle of the first run: that partial line is dropped, not counted.
    HistoryContents tail = ParseHistory(std::string_view(file).substr(HistoryHeader().size() + 5), true);
    EXPECT_EQ(tail.runs.size(), 1u);
    EXPECT_EQ(tail.skipped, 6);
}

TEST(HistoryFileTest, PassingElevenThousandRunsRewritesTheFileWithTheNewestTenThousand) {
    MemoryHistoryFile file;
    file.bytes = HistoryHeader();
    for (int i = 0; i < 11000; ++i) file.bytes += FormatRun(MakeRun(L"2026-01-01 00:00:00", i % 1000));
    file.bytes += "a damaged line\n";
    RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 09:00:00", 77));
    EXPECT_EQ(file.replaced, 1);
    HistoryContents c = ParseHistory(file.bytes, false);
    ASSERT_EQ(c.runs.size(), kHistoryKeep);
    EXPECT_EQ(c.skipped, 1) << "a damaged line among the newest stays in the file";
    EXPECT_EQ(c.runs.front().speed, 1001 % 1000) << "the oldest kept is run 1001";
    EXPECT_EQ(c.runs.back().speed, 77);

    history.Record(MakeRun(L"2026-12-08 09:05:00", 78));
    EXPECT_EQ(file.replaced, 1) << "10,001 runs are no reason to rewrite";
    EXPECT_TRUE(messages.shown.empty());
}

TEST(HistoryFileTest, AFailedWriteIsToldOnceAndLosesNothingRecordedBefore) {
    MemoryHistoryFile file;
    RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 09:00:00", 50));
    RunRecord empty = MakeRun(L"2026-12-08 09:01:00", 0);
    empty.typed = 0;
    history.Record(empty);
    const std::string before = file.bytes;
    ASSERT_EQ(ParseHistory(before, false).runs.size(), 1u) << "a run with nothing typed is not recorded";

    file.fail_write = true;
    history.Record(MakeRun(L"2026-12-08 09:02:00", 51));
    history.Record(MakeRun(L"2026-12-08 09:03:00", 52));
    EXPECT_FALSE(history.Clear());
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(file.bytes, before);

    file.fail_write = false;
    history.Record(MakeRun(L"2026-12-08 09:04:00", 53));
    EXPECT_EQ(history.Load().runs.size(), 2u);
    EXPECT_TRUE(history.Clear());
    EXPECT_EQ(file.backup.substr(0, before.size()), before) << "clearing moves the file aside";
    EXPECT_TRUE(history.Load().runs.empty());
}

TEST(HistoryRankingTest, MostMissesFirstThenTheMoreRecentOverTheLastRunsOnly) {
    std::vector<RunRecord> runs;
    runs.push_back(MakeRun(L"2026-12-01 08:00:00", 10, {{L'旧', 50}}));  // outside the window
    runs.push_back(MakeRun(L"2026-12-02 08:00:00", 20, {{L'甲', 3}, {L'乙', 2}, {L'丙', 4}}));
    runs.push_back(MakeRun(L"2026-12-03 08:00:00", 30, {{L'乙', 2}, {L'丁', 1}}));
    runs.push_back(MakeRun(L"2026-12-04 08:00:00", 40, {{L'丙', 1}}));
    auto weak = WeakestChars(runs, 3, 3);
    ASSERT_EQ(weak.size(), 3u);
    EXPECT_EQ(weak[0].ch, L'丙');
    EXPECT_EQ(weak[0].misses, 5);
    EXPECT_EQ(weak[0].lastMissed, L"2026-12-04 08:00:00");
    EXPECT_EQ(weak[1].ch, L'乙') << "tied with 甲 at 4 and missed more recently";
    EXPECT_EQ(weak[2].ch, L'甲');

    HistoryTotals t = Totals(runs);
    EXPECT_EQ(t.runs, 4);
    EXPECT_EQ(t.typed, 480);
    EXPECT_EQ(t.bestSpeed, 40);
    EXPECT_EQ(t.recentRuns, 4);
    EXPECT_DOUBLE_EQ(t.recentAverage, 25);
    EXPECT_EQ(t.previousRuns, 0);
}

TEST(HistoryDrillTest, TheTextHoldsEveryWeakCharacterOftenAndNoPieceTwiceInARow) {
    const WordPool pool(L" 中国 人民 我们 中心 国家 一 世界 的 中国 ");
    const std::vector<WeakChar> weak = {{L'中', 5, {}}, {L'国', 4, {}}, {L'x', 1, {}}};
    SequenceRandom random;
    random.SetFallback({0.5, 0.5, 0.5, 0.1, 0.9, 0.3});  // 中国 for both at first
    const std::wstring text = BuildDrillText(weak, pool, random);
    ASSERT_GE(text.size(), 406u);
    for (const WeakChar& w : weak) EXPECT_GE(std::count(text.begin(), text.end(), w.ch), 20) << char(w.ch);
    EXPECT_NE(text.find(L"中心"), std::wstring::npos) << "words of the pool that hold a weak character";
    EXPECT_NE(text.find(L"国家"), std::wstring::npos);
    EXPECT_EQ(text.find(L"人民"), std::wstring::npos);
    // Each round is a piece for 中, one for 国, then x: only 中国 twice
    // could give this.
    EXPECT_EQ(text.find(L"中国中国"), std::wstring::npos);
    EXPECT_TRUE(BuildDrillText({}, pool, random).empty());
}

// The record as the practice room keeps it: runs recorded at their end with
// their misses, the drill, and the code hint.
class HistoryRoomTest : public PracticeFormTest {
protected:
    wchar_t Expected(int cell) { return room().Run().Caption(cell)[0]; }
    std::vector<RunRecord> Recorded() {
        HistoryContents c = ParseHistory(fakes_.history.bytes, false);
        EXPECT_EQ(c.skipped, 0);
        return c.runs;
    }
    // A wrong key for cell i: nothing in the grid is '#'.
    static constexpr wchar_t kWrong = L'#';
};

TEST_F(HistoryRoomTest, ARunIsRecordedAtItsEndWithEachNewlyTypedMissCountedOnce) {
    room().OnBuiltInPractice();
    std::map<wchar_t, int> expected;
    Key(Expected(1));
    Key(kWrong);  // cell 2 wrong
    ++expected[Expected(2)];
    Backspace();
    Key(kWrong);  // wrong again after erasing: counts again
    ++expected[Expected(2)];
    Backspace();
    Key(Expected(2));
    Key(kWrong);  // cell 3 wrong
    ++expected[Expected(3)];
    Key(kWrong);  // cell 4 wrong
    ++expected[Expected(4)];
    Backspace();  // cell 3 compared again, still wrong: no count
    for (int i = 0; i < 3; ++i) form().board.OnClockTick();
    EXPECT_TRUE(fakes_.history.bytes.empty()) << "nothing is written while the run goes on";

    form().game.StartGame(GamePool::English);  // a game start ends the run
    auto runs = Recorded();
    ASSERT_EQ(runs.size(), 1u);
    const RunRecord& r = runs[0];
    EXPECT_EQ(r.kind, RunKind::BuiltIn);
    EXPECT_EQ(r.when.size(), 19u);
    EXPECT_EQ(r.typed, 3);
    EXPECT_EQ(r.correct, 2);
    EXPECT_EQ(r.accuracy, 67);
    EXPECT_EQ(r.seconds, 3);
    EXPECT_EQ(r.speed, 0) << "no time passed between its keys";
    std::map<wchar_t, int> got;
    for (const Miss& m : r.misses) got[m.ch] += m.count;
    EXPECT_EQ(got, expected);
    for (size_t i = 1; i < r.misses.size(); ++i) EXPECT_GE(r.misses[i - 1].count, r.misses[i].count);

    // A run with nothing typed is not recorded; a chosen file's name is.
    room().OnBuiltInPractice();
    fakes_.files.chosen[L"C:\\texts\\lesson.txt"] = "abc";
    fakes_.dialogs.paths.push_back(L"C:\\texts\\lesson.txt");
    room().OnChosenPractice();
    Key(L'a');
    Key(kWrong);
    room().EndRun();  // as the window closes
    room().EndRun();
    runs = Recorded();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].kind, RunKind::Chosen);
    EXPECT_EQ(runs[1].file, L"lesson.txt");
    EXPECT_EQ(runs[1].misses, (std::vector<Miss>{{L'b', 1}}));
    EXPECT_EQ(runs[1].speed, 0) << "no time passed between its keys";
}

TEST_F(HistoryRoomTest, TheDrillNeedsMissesThenPractisesThemAndDrillsAgainAtTheRestart) {
    room().OnDrill();
    EXPECT_EQ(fakes_.messages.shown, (std::vector<std::wstring>{kNoMissesYet}));
    EXPECT_FALSE(room().panel.Visible);
    EXPECT_FALSE(room().builtInItem.Checked);

    room().OnBuiltInPractice();
    const wchar_t missed = Expected(1);
    Key(kWrong);
    room().OnDrill();  // the open run's misses count, and it is recorded
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_TRUE(room().builtInItem.Checked);
    EXPECT_EQ(room().typedLabel.Caption(), L"0");
    const std::wstring drill = room().Run().practiceText();
    EXPECT_GE(std::count(drill.begin(), drill.end(), missed), 20);

    for (int i = 1; i <= 406; ++i) Key(i == 1 ? kWrong : Expected(i));
    auto runs = Recorded();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].kind, RunKind::Drill);
    EXPECT_EQ(runs[1].typed, 405) << "as the panel showed it when the restart came";
    EXPECT_EQ(room().typedLabel.Caption(), L"0");
    const std::wstring again = room().Run().practiceText();
    EXPECT_GE(std::count(again.begin(), again.end(), missed), 20) << "the restart drills again";
    form().game.StartGame(GamePool::Chinese);
    EXPECT_EQ(Recorded().back().kind, RunKind::Drill) << "so is the run after the restart";
}

TEST_F(HistoryRoomTest, TheCodeHintShowsAMissedCharactersCodeOnlyWhileChecked) {
    auto& hint = form().practice.codeHintItem;
    EXPECT_FALSE(hint.Checked);
    fakes_.files.chosen[L"C:\\z.txt"] = "\xE4\xB8\xAD\xE5\x9B\xBD\xE4\xB8\xAD";  // UTF-8 "中国中"
    fakes_.dialogs.paths.push_back(L"C:\\z.txt");
    room().OnChosenPractice();
    Key(kWrong);
    EXPECT_EQ(room().codeLabel.Caption(), L"按F1查询编码") << "off by default";

    hint.Click();
    EXPECT_EQ(fakes_.settings.Get(L"register", L"tsbm"), L"1");
    Key(kWrong);
    EXPECT_EQ(room().codeLabel.Caption(), *LookUpCode(form().board.CodeTable(), L"国"));
    room().OnPracticeBoxKey(kKeyF1);
    EXPECT_EQ(room().codeLabel.Caption(), *LookUpCode(form().board.CodeTable(), L"中")) << "F1 still looks up the next";

    hint.Click();
    EXPECT_EQ(fakes_.settings.Get(L"register", L"tsbm"), L"0");
    Backspace();
    Key(kWrong);
    EXPECT_EQ(room().codeLabel.Caption(), *LookUpCode(form().board.CodeTable(), L"中"));

    // Stored, it comes back checked at start-up; only a clean "1" counts.
    fakes_.settings.Save(L"register", L"tsbm", L"1");
    ASSERT_TRUE(Load());
    EXPECT_TRUE(form().practice.codeHintItem.Checked);
    fakes_.settings.Save(L"register", L"tsbm", L"1 ");
    ASSERT_TRUE(Load());
    EXPECT_FALSE(form().practice.codeHintItem.Checked);
}

}  // namespace
}  // namespace quorlax::test
