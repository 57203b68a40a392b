// The string generators: exact draws from an injected sequence, the word
// rules of the pool, and the guards against pools that give no word.
#include "game/generators.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "platform/random.h"
#include "support/fakes.h"

namespace quorlax {
namespace {

using test::SequenceRandom;

// The r that makes nearest(n * r) + 1 land on position p.
double At(size_t p, size_t n) { return static_cast<double>(p - 1) / static_cast<double>(n); }

TEST(GbkTest, WidthClassFollowsTheGbkForm) {
    EXPECT_EQ(ClassifyGbk(L'a'), CharClass::Narrow);
    EXPECT_EQ(ClassifyGbk(L' '), CharClass::Narrow);
    EXPECT_EQ(ClassifyGbk(L'中'), CharClass::Wide);
    EXPECT_EQ(ClassifyGbk(L'，'), CharClass::Wide);
    EXPECT_EQ(ClassifyGbk(L'\0'), CharClass::Neither);
    EXPECT_EQ(ClassifyGbk(L'\x0E01'), CharClass::Neither) << "Thai has no GBK form";
}

TEST(GbkTest, DecodesGbkAndJoinsLines) {
    EXPECT_EQ(DecodeGbk("\xD6\xD0\xB9\xFA ab"), L"中国 ab");
    EXPECT_EQ(JoinLines(L" 中国\r\n 人民\n\r"), L" 中国 人民");
    std::wstring broken = DecodeGbk("a\xD6");
    EXPECT_EQ(broken.substr(0, 1), L"a") << "a truncated sequence does not swallow the text";
}

TEST(PickHanziTest, DrawsTheWordAfterTheNarrowCharacter) {
    WordPool pool(L" 中国 人民 我们 x");  // n = 12
    SequenceRandom r{At(1, 12), At(4, 12), At(7, 12)};
    EXPECT_EQ(DrawHanzi(pool, r), L"中国");
    EXPECT_EQ(DrawHanzi(pool, r), L"人民");
    EXPECT_EQ(DrawHanzi(pool, r), L"我们");
    EXPECT_EQ(r.taken, 3) << "one value per accepted attempt";

    // Only a narrow character ends a word: a broken byte in the data file
    // (read as U+FFFD, which has no GBK form) stays inside it.
    WordPool broken(L" 中\uFFFD国 x");
    SequenceRandom b{At(1, broken.Length())};
    EXPECT_EQ(DrawHanzi(broken, b), L"中\uFFFD国");
}

TEST(PickHanziTest, RedrawsOnAWidePositionAndPastTheEnd) {
    WordPool pool(L" 中国 ");  // n = 4
    // p = 2 (a wide character), p = 5 = n + 1 (past the end), then p = 1.
    SequenceRandom r{At(2, 4), 0.99, 0.0};
    EXPECT_EQ(DrawHanzi(pool, r), L"中国");
    EXPECT_EQ(r.taken, 3);
}

TEST(PickHanziTest, LengthsOneToFourAndNothingForFiveOrMore) {
    WordPool pool(L" 的 中国人 中华人民 中华人民共和国 ");
    SequenceRandom r{At(1, pool.Length()), At(3, pool.Length()), At(7, pool.Length()), At(12, pool.Length())};
    EXPECT_EQ(DrawHanzi(pool, r), L"的");
    EXPECT_EQ(DrawHanzi(pool, r), L"中国人");
    EXPECT_EQ(DrawHanzi(pool, r), L"中华人民");
    EXPECT_EQ(DrawHanzi(pool, r), std::nullopt);
}

TEST(PickHanziTest, WordAtTheVeryEndWithoutNarrowAfterItIsNeverDrawn) {
    WordPool pool(L" 中国 人民");  // 人民 runs into the end of the pool
    SequenceRandom r{At(4, pool.Length())};
    EXPECT_EQ(DrawHanzi(pool, r), std::nullopt);
}

TEST(PickHanziTest, PoolWithoutAnyWordDrawsNothingAndNeverLoops) {
    for (const wchar_t* text : {L"", L"abc def", L"中国人民", L"中 国 "}) {
        SCOPED_TRACE(testing::Message() << "pool length " << std::wstring(text).size());
        WordPool pool(text);
        if (std::wstring(text) == L"中 国 ") {
            EXPECT_TRUE(pool.CanDrawWord());
            continue;
        }
        EXPECT_FALSE(pool.CanDrawWord());
        SequenceRandom r;  // empty: any draw would throw
        EXPECT_EQ(DrawHanzi(pool, r), std::nullopt);
        EXPECT_EQ(r.taken, 0);
    }
}

TEST(PickHanziTest, SpacedPoolDrawsWordsEquallyButTheFirstHalfAsOften) {
    // Position 1 has half the chance of the others, so the word after the
    // pool's first character comes half as often; a word with nothing
    // before it never comes.
    SeededRandom random(12345);
    const int draws = 40000;
    std::map<std::wstring, int> spaced, leading;
    WordPool spaced_pool(L" 中 国 人 ");
    WordPool leading_pool(L"天 中 国 ");
    for (int i = 0; i < draws; ++i) {
        ++spaced[DrawHanzi(spaced_pool, random).value_or(L"?")];
        ++leading[DrawHanzi(leading_pool, random).value_or(L"?")];
    }
    EXPECT_NEAR(spaced[L"国"], draws * 0.4, draws * 0.02);
    EXPECT_NEAR(spaced[L"人"], draws * 0.4, draws * 0.02);
    EXPECT_NEAR(spaced[L"中"], draws * 0.2, draws * 0.02);
    EXPECT_EQ(leading.count(L"天"), 0u);
    EXPECT_NEAR(leading[L"中"], draws / 2, draws * 0.02);
}

TEST(PickLettersTest, TakesExactlyTenValuesAndMapsThemInOrder) {
    // 0 -> a, 0.999 -> z, 0.5 -> nearest(13.5) = 14 -> n; length nearest(0.5*8+1) = 5.
    SequenceRandom r{0.0, 0.999, 0.5, 0.04, 0.08, 0.0, 0.0, 0.0, 0.0, 0.5, 0.7};
    EXPECT_EQ(DrawLetters(r), L"aznbc");
    EXPECT_EQ(r.taken, 10);
    EXPECT_EQ(r.Left(), 1u);
}

TEST(PickLettersTest, LengthsOneToNine) {
    SequenceRandom r;
    r.Push({0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0});
    EXPECT_EQ(DrawLetters(r), L"a");
    r.Push({0, 0, 0, 0, 0, 0, 0, 0, 0, 0.9999});
    EXPECT_EQ(DrawLetters(r), L"aaaaaaaaa");
}

TEST(PickDigitsTest, PointGoesBeforeTheLastDigitAndTheNinthIsUnused) {
    // digits 4 7 1 ... (k = 4, 7, 1), length nearest(0.3*7+1) = 3 -> "47.1".
    SequenceRandom r{3.0 / 9, 6.0 / 9, 0, 0.5, 0.5, 0.5, 0.5, 0.5, 0.999, 0.3};
    EXPECT_EQ(DrawDigits(r), L"47.1");
    EXPECT_EQ(r.taken, 10);
    r.Push({4.0 / 9, 0, 0, 0, 0, 0, 0, 0, 0, 0.0});
    EXPECT_EQ(DrawDigits(r), L"5");
    r.Push({4.0 / 9, 0.999, 0, 0, 0, 0, 0, 0, 0, 1.0 / 7});
    EXPECT_EQ(DrawDigits(r), L"5.0");
}

TEST(PickDigitsTest, NeverTwoCharactersAndAlwaysOnePointInSecondToLastPlace) {
    SequenceRandom r;
    std::set<size_t> lengths;
    for (int i = 0; i < 2000; ++i) {
        for (int k = 0; k < 10; ++k) r.Push(((i * 7 + k * 13) % 1000) / 1000.0);
        std::wstring s = DrawDigits(r);
        lengths.insert(s.size());
        if (s.size() > 1) {
            EXPECT_EQ(s.find(L'.'), s.size() - 2) << "in " << s.size();
            EXPECT_EQ(std::count(s.begin(), s.end(), L'.'), 1);
        }
    }
    EXPECT_EQ(lengths, (std::set<size_t>{1, 3, 4, 5, 6, 7, 8, 9}));
}

}  // namespace
}  // namespace quorlax
