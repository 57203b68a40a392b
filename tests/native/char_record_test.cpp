// The per-character record: what an attempt changes, the review boxes and
// graduation, the file read back and damaged, and the drill's weighted draw.
#include "practice/char_record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/random.h"
#include "practice/drill.h"

namespace quorlax::test {
namespace {

constexpr double kTarget = 1000;  // 60 字/分
const Day kMonday = *ParseDay(L"2026-12-07");

std::vector<Attempt> Typed(wchar_t ch, int times, int ms, bool miss = false) {
    return std::vector<Attempt>(static_cast<size_t>(times), Attempt{ch, miss, ms});
}

TEST(CharRecordTest, RecentRateAndTimeWeighTheNewestAttemptsAndCountsStayAllTime) {
    CharRecord r;
    r.Apply(std::vector<Attempt>{{L'鬼', true, -1}, {L'鬼', false, 2000}, {L'鬼', false, 1000}}, kMonday,
            kTarget);
    const CharStats* c = r.Find(L'鬼');
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->attempts, 3);
    EXPECT_EQ(c->misses, 1);
    EXPECT_NEAR(c->rate, 0.1 * 0.9 * 0.9, 1e-9);  // 0.1 after the miss, then two right
    EXPECT_NEAR(c->ms, 2000 + 0.1 * (1000 - 2000), 1e-9) << "the first timed attempt sets the time";
    EXPECT_EQ(c->last, kMonday);
    EXPECT_EQ(r.Find(L'人'), nullptr);
}

TEST(CharRecordTest, AMissSendsBackToBoxZeroAndRightAtTargetMovesUpAtMostOnceADay) {
    CharRecord r;
    r.Apply(Typed(L'学', 3, 500), kMonday, kTarget);
    EXPECT_EQ(r.Find(L'学')->box, 1) << "three fast attempts on one day: one box";
    EXPECT_EQ(r.Find(L'学')->due, kMonday + 1);
    r.Apply(Typed(L'学', 1, 1500), kMonday + 1, kTarget);
    EXPECT_EQ(r.Find(L'学')->box, 1) << "too slow to move up";
    r.Apply(Typed(L'学', 1, 900), kMonday + 1, kTarget);
    EXPECT_EQ(r.Find(L'学')->box, 2);
    EXPECT_EQ(r.Find(L'学')->due, kMonday + 1 + 2);
    r.Apply(Typed(L'学', 1, 900), kMonday + 2, kTarget);
    EXPECT_EQ(r.Find(L'学')->box, 2) << "not due yet";
    r.Apply(Typed(L'学', 1, 900, true), kMonday + 2, kTarget);
    EXPECT_EQ(r.Find(L'学')->box, 0);
    EXPECT_EQ(r.Find(L'学')->due, kMonday + 2);
}

TEST(CharRecordTest, GraduationNeedsFiveAttemptsFewErrorsAndTheTargetTimeAndIsLostAgain) {
    CharRecord r;
    r.Apply(Typed(L'段', 4, 800), kMonday, kTarget);
    EXPECT_EQ(r.Find(L'段')->graduated, 0) << "four attempts are too few";
    r.Apply(Typed(L'段', 1, 800), kMonday, kTarget);
    EXPECT_EQ(r.Find(L'段')->graduated, kMonday);
    EXPECT_EQ(r.GraduatedSince(kMonday).size(), 1u);
    EXPECT_TRUE(r.Weakest(kTarget, 20).empty());
    r.Apply(Typed(L'段', 1, 800, true), kMonday + 1, kTarget);
    EXPECT_EQ(r.Find(L'段')->graduated, 0) << "a miss puts it back on the list";
    EXPECT_EQ(r.Weakest(kTarget, 20).size(), 1u);

    CharRecord slow;
    slow.Apply(Typed(L'慢', 8, 1500), kMonday, kTarget);
    EXPECT_EQ(slow.Find(L'慢')->graduated, 0) << "sure but slower than the target";
    EXPECT_GT(Weakness(*slow.Find(L'慢'), kTarget), 0.4);
}

TEST(CharRecordTest, TheWeakestAreRankedFromThreeAttemptsAndTheDueListTheirReviews) {
    CharRecord r;
    r.Apply(Typed(L'一', 2, 3000, true), kMonday, kTarget);  // two attempts: not ranked
    r.Apply(Typed(L'二', 3, 1200), kMonday, kTarget);        // slow
    r.Apply(Typed(L'三', 3, 900, true), kMonday, kTarget);   // missed
    r.Apply(Typed(L'四', 3, 500), kMonday, kTarget);         // fast: box 1, due tomorrow
    auto weak = r.Weakest(kTarget, 20);
    ASSERT_EQ(weak.size(), 2u);
    EXPECT_EQ(weak[0]->ch, L'三');
    EXPECT_EQ(weak[1]->ch, L'二');
    EXPECT_EQ(r.Due(kMonday, kTarget).size(), 2u);
    EXPECT_EQ(r.Due(kMonday + 1, kTarget).size(), 3u) << "四's review comes the next day";
}

TEST(CharRecordTest, TheFileReadsBackAndDamagedLinesAreSkippedAndCounted) {
    CharRecord r;
    r.Apply(Typed(L'鬼', 6, 700), kMonday, kTarget);
    r.Apply(std::vector<Attempt>{{L'\t', true, 1}, {L'学', true, -1, 1400}}, kMonday + 3, kTarget);
    const std::string text = r.Format();
    auto back = CharRecord::Parse(text);
    EXPECT_EQ(back.skipped, 0);
    ASSERT_EQ(back.record.All().size(), 2u) << "a control character is no character";
    EXPECT_EQ(back.record.Find(L'鬼')->graduated, kMonday);
    EXPECT_NEAR(back.record.Find(L'鬼')->rate, r.Find(L'鬼')->rate, 1e-4);
    EXPECT_EQ(back.record.Find(L'学')->keyMs, 1400);
    EXPECT_EQ(back.record.Find(L'学')->ms, -1);
    // Missed every time lately: its rate is written "1.0000" and reads back.
    r.Apply(std::vector<Attempt>(100, {L'疆', true, 900}), kMonday, kTarget);
    const auto again = CharRecord::Parse(r.Format());
    EXPECT_EQ(again.skipped, 0);
    ASSERT_NE(again.record.Find(L'疆'), nullptr);
    EXPECT_EQ(again.record.Find(L'疆')->rate, 1.0);

    const std::string damaged =
        text +
        "错\t3\t5\t0.1000\t\t0\t2026-12-07\t2026-12-07\t\t\n"  // more misses than attempts
        "错\t3\t1\t0.1000\t\t0\t2026-02-30\t2026-12-07\t\t\n"  // no such day
        "鬼\t3\t1\t0.1000\t\t0\t2026-12-07\t2026-12-07\t\t\n"  // twice
        "错\t3\t1\t0.1000\t\t9\t2026-12-07\t2026-12-07\t\t\n"  // no such box
        "错\t3\t1\t0.1000\n";
    auto read = CharRecord::Parse(damaged);
    EXPECT_EQ(read.skipped, 5);
    EXPECT_EQ(read.record.All().size(), 2u);
}

TEST(CharRecordTest, ARecordSeededFromPastMissesRanksThemAtOnce) {
    CharRecord r;
    const CharRecord::PastMiss misses[] = {{L'鬼', 3, kMonday}, {L'学', 1, kMonday - 5}};
    r.Seed(misses);
    EXPECT_EQ(r.Find(L'鬼')->attempts, 3);
    EXPECT_EQ(r.Find(L'鬼')->last, kMonday);
    auto weak = r.Weakest(kTarget, 20);
    ASSERT_EQ(weak.size(), 1u) << "one miss is no ranking yet";
    EXPECT_EQ(weak[0]->ch, L'鬼');
}

std::vector<std::wstring> Words() {
    return {L"中国", L"人民", L"我们", L"世界", L"的", L"学生", L"鬼子", L"大学"};
}

TEST(DrillTest, PicksComeAsOftenAsTheirWeightsAsk) {
    const std::vector<DrillPick> picks{{L'甲', 1}, {L'乙', 2}, {L'丙', 3}, {L'丁', 4}};
    const auto words = Words();
    std::map<wchar_t, double> seen;
    double all = 0;
    SeededRandom random(7);
    for (int build = 0; build < 300; ++build) {
        for (wchar_t c : BuildDrill(picks, words, random)) {
            if (c == L'甲' || c == L'乙' || c == L'丙' || c == L'丁') {
                seen[c] += 1;
                all += 1;
            }
        }
    }
    // Within 10 % of the share its weight asks for.
    for (const DrillPick& p : picks)
        EXPECT_NEAR(seen[p.ch] / all, p.weight / 10, 0.1 * p.weight / 10) << "weight " << p.weight;
}

TEST(DrillTest, NoPieceTwiceInARowNoCharacterOverAQuarterAndAFullGrid) {
    const auto words = Words();
    SeededRandom random(11);
    const std::vector<DrillPick> one{{L'喆', 5}};  // in no word of the pool
    const std::wstring drill = BuildDrill(one, words, random);
    EXPECT_GE(drill.size(), 406u);
    EXPECT_LE(std::count(drill.begin(), drill.end(), L'喆'), 406 / 4);
    EXPECT_EQ(drill.find(L"喆喆"), std::wstring::npos);

    const std::vector<DrillPick> two{{L'学', 50}, {L'鬼', 1}};
    for (int build = 0; build < 20; ++build) {
        const std::wstring d = BuildDrill(two, words, random);
        EXPECT_LE(std::count(d.begin(), d.end(), L'学'), static_cast<long>(d.size() / 4 + 1));
        EXPECT_EQ(d.find(L"学学"), std::wstring::npos);
        EXPECT_EQ(d.find(L"大学大学"), std::wstring::npos);
    }
    EXPECT_TRUE(BuildDrill({}, words, random).empty());
}

}  // namespace
}  // namespace quorlax::test
