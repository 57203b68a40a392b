// The per-key record of the code mode: what a press changes, the file read
// back and damaged, the ranking, and the keyboard the record window draws.
#include "practice/key_record.h"

#include <gtest/gtest.h>

#include "practice/record_form.h"

namespace quorlax::test {
namespace {

constexpr double kKeyTarget = 250;  // 60 字/分 over four keys

TEST(KeyRecordTest, APressWeighsTheNewestAndTheFileReadsBackWithDamagedLinesSkipped) {
    KeyRecord r;
    r.Apply(std::vector<KeyPress>{{'q', true, -1}, {'q', false, 400}, {'q', false, 200}, {'z', true, 100}});
    r.Press({'y', false, 12000});  // a pause: no time
    const KeyStats* q = r.Find('q');
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->attempts, 3);
    EXPECT_EQ(q->wrong, 1);
    EXPECT_NEAR(q->rate, 0.1 * 0.9 * 0.9, 1e-9);
    EXPECT_NEAR(q->ms, 400 + 0.1 * (200 - 400), 1e-9);
    EXPECT_EQ(r.Find('y')->ms, -1);
    EXPECT_EQ(r.Find('z'), nullptr) << "z is no code key";

    const std::string text = r.Format();
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF键\t", 0), 0u) << "UTF-8 with its mark, and a header";
    auto back = KeyRecord::Parse(text);
    EXPECT_EQ(back.skipped, 0);
    EXPECT_EQ(back.record.Find('q')->attempts, 3);
    EXPECT_NEAR(back.record.Find('q')->rate, q->rate, 1e-4);
    EXPECT_EQ(back.record.Find('q')->ms, 380);
    EXPECT_EQ(back.record.Find('y')->ms, -1);
    EXPECT_EQ(back.record.Find('y')->attempts, 1);

    const std::string damaged = text +
                                "q\t9\t1\t0.1000\t300\n"  // twice
                                "z\t9\t1\t0.1000\t300\n"  // no code key
                                "\t9\t1\t0.1000\t300\n"   // no key
                                "a\t3\t5\t0.1000\t300\n"  // more wrong than pressed
                                "a\t3\t1\t1.5\t300\n"     // no rate
                                "a\t3\t1\t0.1000\t-3\n"   // no time
                                "a\t3\t1\t0.1000\n";      // a column short
    auto read = KeyRecord::Parse(damaged);
    EXPECT_EQ(read.skipped, 7);
    EXPECT_EQ(read.record.Find('q')->attempts, 3) << "the first line of a key counts";
    EXPECT_EQ(read.record.Find('a')->attempts, 0);
    EXPECT_EQ(KeyRecord::Parse("a\t4\t0\t0\t\r\n").record.Find('a')->attempts, 4) << "no header, CR LF";
    KeyRecord missed;
    for (int i = 0; i < 200; ++i) missed.Press({'p', true, 300});
    EXPECT_EQ(KeyRecord::Parse(missed.Format()).skipped, 0) << "a key missed every time reads back";
}

TEST(KeyRecordTest, TheWeakestAreRankedFromThreePressesByErrorsAndSlownessAndColouredSo) {
    KeyRecord r;
    EXPECT_FALSE(r.AnyAttempt());
    auto press = [&](char key, int times, bool wrong, int ms) {
        for (int i = 0; i < times; ++i) r.Press({key, wrong, ms});
    };
    press('a', 2, true, 900);   // too few to rank
    press('g', 5, false, 200);  // sure and quick: not weak
    press('h', 4, false, 500);  // twice the target
    press('k', 3, true, 200);   // missed: 27%
    press('m', 3, false, 300);  // a little slow
    EXPECT_TRUE(r.AnyAttempt());
    const auto weak = r.Weakest(5, kKeyTarget);
    ASSERT_EQ(weak.size(), 3u);
    EXPECT_EQ(weak[0]->key, 'h');
    EXPECT_EQ(weak[1]->key, 'k');
    EXPECT_EQ(weak[2]->key, 'm');
    EXPECT_EQ(r.Weakest(1, kKeyTarget).size(), 1u);

    const RecordKeyboard board = BuildKeyboard(r, 4 * kKeyTarget);
    ASSERT_TRUE(board.shown);
    ASSERT_EQ(board.weakest.size(), 3u);
    EXPECT_EQ(board.weakest[0].key, L"H 目");
    EXPECT_EQ(board.weakest[0].radicals, L"上止卜丨虍");
    EXPECT_EQ(board.weakest[0].figures, L"错 0%　500 毫秒");
    EXPECT_EQ(board.weakest[1].figures, L"错 27%　200 毫秒");
    auto colour = [&](char letter) {
        for (const RecordKey& k : board.keys)
            if (k.key->letter == letter) return k.color;
        return forms::Color{};
    };
    auto red = [](forms::Color c) { return static_cast<int>(c & 0xFF); };
    auto green = [](forms::Color c) { return static_cast<int>(c >> 8 & 0xFF); };
    EXPECT_GT(red(colour('h')), 2 * green(colour('h'))) << "the weakest key is red";
    EXPECT_GT(green(colour('g')), red(colour('g'))) << "a sure, quick key is green";
    EXPECT_EQ(colour('a'), colour('x')) << "an unjudged key is grey, pressed or not";
    EXPECT_NE(colour('a'), colour('g'));
}

}  // namespace
}  // namespace quorlax::test
