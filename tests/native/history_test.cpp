// The practice record: the file's lines read back, as written and as a
// spreadsheet saves them, a damaged file, the cap and the old file kept, a
// failed write and runs written later, the ranking and the drill text; then
// the practice room recording its runs, the drill and the code hint.
#include "practice/history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
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

// A BMP-only text as UTF-8 and as UTF-16 (little- or big-endian) with its mark.
std::string Utf8(std::wstring_view text) {
    std::string out;
    for (wchar_t c : text) {
        const auto u = static_cast<unsigned>(c);
        if (u < 0x80) {
            out += static_cast<char>(u);
        } else if (u < 0x800) {
            out += static_cast<char>(0xC0 | u >> 6);
            out += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | u >> 12);
            out += static_cast<char>(0x80 | (u >> 6 & 0x3F));
            out += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return out;
}
std::string Utf16(std::wstring_view text, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (wchar_t c : text) {
        const char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    }
    return out;
}

// `runs` runs as a spreadsheet saves them back: CR LF, the times reformatted.
std::string SpreadsheetFile(int runs) {
    std::string file = HistoryHeader();
    file.replace(file.size() - 1, 1, "\r\n");
    for (int i = 0; i < runs; ++i)
        file += "2026/1/" + std::to_string(1 + i % 28) + " 9:05\tbuiltin\t\t120\t110\t92\t" +
                std::to_string(i % 1000) + "\t95\t\r\n";
    return file;
}

TEST(HistoryFileTest, WhatASpreadsheetSavesBackReadsAsTheSameRuns) {
    const std::vector<RunRecord> expected = {
        MakeRun(L"2026-12-08 09:05:00", 48, {{L'中', 3}}),
        MakeRun(L"2026-12-08 14:03:22", 50, {{L'错', 1}}),
    };
    const std::wstring text =
        L"\uFEFF时间\t类型\t文件\t总字数\t正确数\t正确率(%)\t速度(字/分)\t用时(秒)\t错字\r\n"
        L"2026/12/8 9:05\tbuiltin\t\t120\t110\t92\t48\t95\t中3\r\n"
        L"2026-12-08 14:03:22\tbuiltin\t\t120\t110\t92\t50\t95\t错1\r\n";
    std::string crOnly = Utf8(text);
    std::erase(crOnly, '\n');
    const std::map<std::string, std::string> files = {
        {"CR LF", Utf8(text)},
        {"CR alone", crOnly},
        {"two byte-order marks", "\xEF\xBB\xBF" + Utf8(text)},
        {"two byte-order marks, no header",
         "\xEF\xBB\xBF\xEF\xBB\xBF" + Utf8(text.substr(text.find(L'\n') + 1))},
        {"UTF-16 little-endian", Utf16(text, false)},
        {"UTF-16 big-endian", Utf16(text, true)},
        // GBK without a mark (时间 and 中), then a line appended in UTF-8;
        // a time without seconds.
        {"GBK",
         "\xCA\xB1\xBC\xE4\t\r\n"
         "2026-12-08 09:05\tbuiltin\t\t120\t110\t92\t48\t95\t\xD6\xD0"
         "3\r\n" +
             Utf8(L"2026-12-08 14:03:22\tbuiltin\t\t120\t110\t92\t50\t95\t错1\n")},
    };
    for (const auto& [name, bytes] : files) {
        HistoryContents c = ParseHistory(bytes, false);
        EXPECT_EQ(c.runs, expected) << name;
        EXPECT_EQ(c.skipped, 0) << name;
        EXPECT_EQ(c.utf16, name.starts_with("UTF-16")) << name;
    }
    // The tail of a UTF-16 file has no mark, and may start on either byte.
    const std::string utf16 = Utf16(text, false);
    for (size_t from : {size_t{4}, size_t{5}})
        EXPECT_EQ(ParseHistory(std::string_view(utf16).substr(from), true).runs, expected) << from;
}

TEST(HistoryFileTest, PassingElevenThousandReadableRunsRewritesTheFileKeepingTheOldOneBeside) {
    MemoryRecordFile file;
    file.bytes = HistoryHeader();
    for (int i = 0; i < 11000; ++i) file.bytes += FormatRun(MakeRun(L"2026-01-01 00:00:00", i % 1000));
    file.bytes += "a damaged line\n";
    const std::string before = file.bytes;
    RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 09:00:00", 77));
    EXPECT_EQ(file.replaced, 1);
    EXPECT_EQ(file.old, before) << "the old file is kept whole";
    HistoryContents c = ParseHistory(file.bytes, false);
    ASSERT_EQ(c.runs.size(), kHistoryKeep);
    EXPECT_EQ(c.skipped, 1) << "a damaged line among the newest stays in the file";
    EXPECT_EQ(c.runs.front().speed, 1001 % 1000) << "the oldest kept is run 1001";
    EXPECT_EQ(c.runs.back().speed, 77);

    history.Record(MakeRun(L"2026-12-08 09:05:00", 78));
    EXPECT_EQ(file.replaced, 1) << "10,001 runs are no reason to rewrite";
    EXPECT_TRUE(messages.shown.empty());
}

TEST(HistoryFileTest, OnlyReadableRunsCountTowardsTheCapAndASpreadsheetsFileLosesNone) {
    // Lines that cannot be read are no runs: however many, no rewrite.
    MemoryRecordFile damaged;
    for (int i = 0; i < 11005; ++i) damaged.bytes += "12/08/2026\tbuiltin\n";
    RecordingMessages messages;
    PracticeHistory(damaged, messages).Record(MakeRun(L"2026-12-08 09:00:00", 77));
    EXPECT_EQ(damaged.replaced, 0);
    EXPECT_EQ(ParseHistory(damaged.bytes, false).skipped, 11005);

    // Saved back with CR LF and other times: every run is read and counted;
    // the rewrite keeps the newest 10,000 and the old file beside.
    MemoryRecordFile saved;
    saved.bytes = SpreadsheetFile(11000);
    const std::string before = saved.bytes;
    PracticeHistory history(saved, messages);
    EXPECT_EQ(history.Load().runs.size(), 11000u);
    history.Record(MakeRun(L"2026-12-08 09:00:00", 1999));
    EXPECT_EQ(saved.old, before);
    HistoryContents c = ParseHistory(saved.bytes, false);
    ASSERT_EQ(c.runs.size(), kHistoryKeep);
    EXPECT_EQ(c.runs.front().speed, 1001 % 1000);
    EXPECT_EQ(c.runs.front().when, L"2026-01-22 09:05:00");
    EXPECT_EQ(c.runs.back().speed, 1999);

    // As UTF-16 ("Unicode text") the next run rewrites it in UTF-8 whole.
    MemoryRecordFile unicode;
    unicode.bytes = Utf16(L"时间\t\r\n2026/12/8 9:05\tdrill\t\t9\t9\t100\t30\t18\t\r\n", false);
    const std::string utf16 = unicode.bytes;
    PracticeHistory(unicode, messages).Record(MakeRun(L"2026-12-08 09:10:00", 40));
    EXPECT_EQ(unicode.old, utf16);
    c = ParseHistory(unicode.bytes, false);
    EXPECT_FALSE(c.utf16);
    ASSERT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.runs[0].kind, RunKind::Drill);
    EXPECT_EQ(c.runs[1].speed, 40);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(HistoryFileTest, AFileOverTheReadLimitIsRewrittenFromItsTail) {
    MemoryRecordFile file;
    file.bytes = HistoryHeader() + std::string(kHistoryReadLimit, 'x') + "\n" +
                 FormatRun(MakeRun(L"2026-12-08 09:00:00", 40));
    const std::string before = file.bytes;
    RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 09:05:00", 41));
    EXPECT_EQ(file.replaced, 1);
    EXPECT_TRUE(file.old == before) << "kept beside";
    HistoryContents c = ParseHistory(file.bytes, false);
    EXPECT_EQ(c.runs.size(), 2u);
    EXPECT_EQ(c.skipped, 0);
}

TEST(HistoryFileTest, AFailedRewriteIsToldOnceAndNotTriedAgainThisSession) {
    MemoryRecordFile file;
    file.bytes = SpreadsheetFile(11000);
    file.fail_replace = true;
    RecordingMessages messages;
    PracticeHistory history(file, messages);
    history.Record(MakeRun(L"2026-12-08 09:00:00", 40));
    const int reads = file.reads;
    history.Record(MakeRun(L"2026-12-08 09:01:00", 41));
    history.Record(MakeRun(L"2026-12-08 09:02:00", 42));
    EXPECT_EQ(file.reads, reads) << "the file is not read again for another rewrite";
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find(L"无法整理"), std::wstring::npos);
    EXPECT_NE(messages.shown[0].find(file.folder), std::wstring::npos) << "names the real folder";
    EXPECT_EQ(ParseHistory(file.bytes, false).runs.size(), 11003u) << "every run appended meanwhile";
}

TEST(HistoryFileTest, RunsThatCannotBeWrittenAreWrittenLaterInOrderOrLeftForTheNextStart) {
    MemoryRecordFile file;
    RecordingMessages messages;
    {
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
        EXPECT_EQ(file.bytes, before) << "nothing recorded before is touched";
        ASSERT_EQ(messages.shown.size(), 1u) << "told once";
        EXPECT_NE(messages.shown[0].find(L"补记"), std::wstring::npos) << "the run is written later";
        EXPECT_NE(messages.shown[0].find(file.folder), std::wstring::npos) << "names the real folder";
        EXPECT_EQ(history.Load().runs.size(), 3u) << "the runs not written yet count";

        file.fail_write = false;
        history.Record(MakeRun(L"2026-12-08 09:04:00", 53));
        std::vector<int> speeds;
        for (const RunRecord& r : ParseHistory(file.bytes, false).runs) speeds.push_back(r.speed);
        EXPECT_EQ(speeds, (std::vector<int>{50, 51, 52, 53}));

        // Still held at the end: they wait in the pending file.
        file.fail_write = true;
        history.Record(MakeRun(L"2026-12-08 09:05:00", 54));
        history.Record(MakeRun(L"2026-12-08 09:06:00", 55));
        history.AtExit();
        EXPECT_EQ(ParseHistory(file.pending, false).runs.size(), 2u);
    }
    // The next start's first use appends them and removes the pending file.
    file.fail_write = false;
    messages.shown.clear();
    PracticeHistory next(file, messages);
    HistoryContents c = next.Load();
    ASSERT_EQ(c.runs.size(), 6u);
    EXPECT_EQ(c.runs[4].speed, 54);
    EXPECT_EQ(c.runs[5].speed, 55);
    EXPECT_TRUE(file.pending.empty());
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(next.Clear());
    EXPECT_EQ(ParseHistory(file.backup, false).runs.size(), 6u) << "clearing moves the file aside";
    EXPECT_TRUE(next.Load().runs.empty());

    // Neither file writable as the session ends: nothing shown then.
    file.fail_write = file.fail_pending = true;
    next.Quiet();
    next.Record(MakeRun(L"2026-12-08 10:00:00", 56));
    next.AtExit();
    EXPECT_TRUE(messages.shown.empty());
}

TEST(HistoryFileTest, AnUnreadableFileIsToldOnceAndRunsAreStillAppended) {
    MemoryRecordFile file;
    file.bytes = FormatRun(MakeRun(L"2026-12-08 09:00:00", 50));
    file.fail_read = true;
    RecordingMessages messages;
    PracticeHistory history(file, messages);
    EXPECT_TRUE(history.Load().runs.empty());
    EXPECT_TRUE(history.Load().runs.empty());
    history.Record(MakeRun(L"2026-12-08 09:01:00", 51));
    EXPECT_GE(file.reads, 3);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].find(L"无法读取"), std::wstring::npos);
    EXPECT_NE(messages.shown[0].find(file.folder), std::wstring::npos);
    file.fail_read = false;
    EXPECT_EQ(history.Load().runs.size(), 2u);
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

TEST(HistoryRankingTest, HandEditedHugeCountsAreBoundedAndSumWithoutOverflow) {
    const std::string huge =
        "2026-12-08 09:00:00\tbuiltin\t\t1000000000\t1000000000\t1000000000\t1000000000\t"
        "1000000000\t\xE9\x94\x99"
        "1000000000\n";  // 错
    std::string many = "2026-12-08 09:01:00\tbuiltin\t\t1\t1\t100\t60\t1\t";
    for (int i = 0; i < 3000; ++i)
        many += i ? " \xE4\xB8\xAD"
                    "1000000"
                  : "\xE4\xB8\xAD"
                    "1000000";  // 中
    const HistoryContents c = ParseHistory(huge + huge + huge + many + "\n", false);
    ASSERT_EQ(c.runs.size(), 4u);
    EXPECT_EQ(c.runs[0].typed, kMaxRunChars);
    EXPECT_EQ(c.runs[0].accuracy, 100);
    EXPECT_EQ(c.runs[0].speed, kMaxRunSpeed);
    EXPECT_EQ(c.runs[0].seconds, kMaxRunSeconds);
    const auto weak = WeakestChars(c.runs);
    ASSERT_EQ(weak.size(), 2u);
    EXPECT_EQ(weak[0].ch, L'中');
    EXPECT_EQ(weak[0].misses, std::numeric_limits<int>::max())
        << "3,000,000,000 held at the most an int holds";
    EXPECT_EQ(weak[1].misses, 3 * kMaxRunChars);
    const HistoryTotals t = Totals(c.runs);
    EXPECT_EQ(t.typed, 3ll * kMaxRunChars + 1);
    EXPECT_EQ(t.bestSpeed, kMaxRunSpeed);
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
    // Each round is a piece for 中, one for 国, then x: only 中国 twice
    // could give this.
    EXPECT_EQ(text.find(L"中国中国"), std::wstring::npos);
    EXPECT_TRUE(BuildDrillText({}, pool, random).empty());
}

TEST(HistoryDrillTest, NoCharacterFillsMoreThanAQuarterOfTheText) {
    const WordPool pool(L" 中国 人民 我们 世界 的 一 中心 国家 时间 ");
    SequenceRandom random;
    random.SetFallback({0.5, 0.1, 0.9, 0.3, 0.7, 0.2, 0.6});
    // A weak character no word of the pool holds.
    const std::vector<WeakChar> weak = {{L'喆', 3, {}}};
    const std::wstring text = BuildDrillText(weak, pool, random);
    ASSERT_GE(text.size(), 406u);
    std::map<wchar_t, size_t> count;
    for (wchar_t c : text) ++count[c];
    for (const auto& [c, n] : count) EXPECT_LE(4 * n, text.size()) << static_cast<int>(c);
    EXPECT_GE(count[L'喆'], 80u) << "as often as it may be";
    EXPECT_EQ(text.find(L"喆喆"), std::wstring::npos) << "the other words are mixed in";
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
    room().OnDrill();
    EXPECT_EQ(fakes_.messages.shown.size(), 2u) << "one attempt ranks nothing yet";
    Backspace();
    Key(kWrong);
    Backspace();
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
