// The hall-of-fame tables: start-up fill, the qualification test and the
// insertion table with its ties.
#include "scores/hall_of_fame.h"

#include <gtest/gtest.h>

#include "support/fakes.h"

namespace quorlax {
namespace {

// A store that counts its writes.
struct CountingStore final : ISettingsStore {
    std::wstring Get(std::wstring_view section, std::wstring_view key) override {
        return inner.Get(section, key);
    }
    bool Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        ++writes;
        written.emplace_back(key);
        return inner.Save(section, key, value);
    }
    test::MemorySettings inner;
    int writes = 0;
    std::vector<std::wstring> written;
};

class HallOfFameTest : public ::testing::Test {
protected:
    void Table(GamePool pool, std::vector<std::pair<std::wstring, std::wstring>> rows) {
        for (int r = 1; r <= 5; ++r) {
            store.inner.Save(kSectionHallOfFame, HallOfFame::NameKey(pool, r), rows[r - 1].first);
            store.inner.Save(kSectionHallOfFame, HallOfFame::ScoreKey(pool, r), rows[r - 1].second);
        }
    }
    std::vector<std::pair<std::wstring, std::wstring>> RowsOf(GamePool pool) {
        std::vector<std::pair<std::wstring, std::wstring>> rows;
        for (int r = 1; r <= 5; ++r) rows.emplace_back(hof.Name(pool, r), hof.ScoreText(pool, r));
        return rows;
    }
    CountingStore store;
    HallOfFame hof{store};
};

using Rows = std::vector<std::pair<std::wstring, std::wstring>>;

TEST_F(HallOfFameTest, FirstStartFillsTheFifteenScoreKeysAndNoNames) {
    hof.StartupFill();
    EXPECT_EQ(store.writes, 15);
    EXPECT_EQ(store.written.front(), L"sf1") << "digits first, then Chinese, then English";
    EXPECT_EQ(store.written[5], L"f1");
    EXPECT_EQ(store.written.back(), L"yf5");
    for (GamePool p : {GamePool::Chinese, GamePool::English, GamePool::Digits})
        for (int r = 1; r <= 5; ++r) {
            EXPECT_EQ(hof.ScoreText(p, r), L"0");
            EXPECT_EQ(hof.Name(p, r), L"");
        }
    EXPECT_EQ(store.inner.values.size(), 15u);
}

TEST_F(HallOfFameTest, ACompleteStoreIsNotWritten) {
    hof.StartupFill();
    store.writes = 0;
    hof.StartupFill();
    EXPECT_EQ(store.writes, 0);
}

TEST_F(HallOfFameTest, InsertionBetweenRanksMovesTheRowsBelowDown) {
    Table(GamePool::Chinese, {{L"A", L"900"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    EXPECT_EQ(hof.Insert(GamePool::Chinese, 350, L"新人"), 3);
    EXPECT_EQ(RowsOf(GamePool::Chinese),
              (Rows{{L"A", L"900"}, {L"B", L"500"}, {L"新人", L"350"}, {L"C", L"300"}, {L"D", L"100"}}));
}

TEST_F(HallOfFameTest, ATieGoesDirectlyBelowTheOlderRow) {
    Table(GamePool::Chinese, {{L"A", L"900"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    EXPECT_EQ(hof.Insert(GamePool::Chinese, 500, L"E"), 3);
    EXPECT_EQ(RowsOf(GamePool::Chinese),
              (Rows{{L"A", L"900"}, {L"B", L"500"}, {L"E", L"500"}, {L"C", L"300"}, {L"D", L"100"}}));
}

TEST_F(HallOfFameTest, ATotalEqualToRankFiveEntersNothing) {
    Table(GamePool::Chinese, {{L"A", L"900"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    store.writes = 0;
    EXPECT_EQ(hof.Insert(GamePool::Chinese, 0, L"E"), 0);
    EXPECT_EQ(hof.Insert(GamePool::Chinese, -5, L"E"), 0);
    EXPECT_EQ(store.writes, 0);
}

TEST_F(HallOfFameTest, FreshTable) {
    hof.StartupFill();
    EXPECT_EQ(hof.Insert(GamePool::English, 1200, L"Ann"), 1);
    EXPECT_EQ(RowsOf(GamePool::English),
              (Rows{{L"Ann", L"1200"}, {L"", L"0"}, {L"", L"0"}, {L"", L"0"}, {L"", L"0"}}));
    HallOfFame fresh_digits(store);
    EXPECT_EQ(fresh_digits.Insert(GamePool::Digits, 0, L"Bo"), 2) << "T = s1 = 0 lands below rank 1";
    EXPECT_EQ(hof.ScoreText(GamePool::Digits, 2), L"0");
    EXPECT_EQ(hof.Name(GamePool::Digits, 2), L"Bo");
    EXPECT_EQ(hof.ScoreText(GamePool::Chinese, 1), L"0") << "other pools untouched";
}

TEST_F(HallOfFameTest, EqualScoresTakeTheFirstCaseAndWriteOnlyWhatMoves) {
    Table(GamePool::Digits, {{L"a", L"100"}, {L"b", L"50"}, {L"c", L"50"}, {L"d", L"20"}, {L"e", L"10"}});
    store.writes = 0;
    store.written.clear();
    EXPECT_EQ(hof.Insert(GamePool::Digits, 50, L"x"), 3);
    EXPECT_EQ(RowsOf(GamePool::Digits),
              (Rows{{L"a", L"100"}, {L"b", L"50"}, {L"x", L"50"}, {L"c", L"50"}, {L"d", L"20"}}));
    EXPECT_EQ(store.written, (std::vector<std::wstring>{L"sm4", L"sf4", L"sm5", L"sf5", L"sm3", L"sf3"}));
}

TEST_F(HallOfFameTest, UnchangedAndClearedNamesAreStoredAsTheyStand) {
    hof.StartupFill();
    hof.Insert(GamePool::Chinese, 300, L"姓名");
    hof.Insert(GamePool::Chinese, 200, L"");
    EXPECT_EQ(hof.Name(GamePool::Chinese, 1), L"姓名");
    EXPECT_EQ(hof.Name(GamePool::Chinese, 2), L"");
    EXPECT_EQ(hof.ScoreText(GamePool::Chinese, 2), L"200");
}

TEST_F(HallOfFameTest, QualificationAgainstTheTable) {
    Table(GamePool::Chinese, {{L"A", L"900"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    EXPECT_TRUE(hof.Qualifies(GamePool::Chinese, 350));
    EXPECT_TRUE(hof.Qualifies(GamePool::Chinese, 0)) << "0 <= 0 < 100 shows the box, though nothing is entered";
    EXPECT_TRUE(hof.Qualifies(GamePool::Chinese, 5000));
    EXPECT_FALSE(hof.Qualifies(GamePool::Chinese, -1));
    HallOfFame(store).StartupFill();
    EXPECT_TRUE(hof.Qualifies(GamePool::English, 0)) << "a fresh table takes every total of 0 or more";
}

TEST_F(HallOfFameTest, AScoreKeyRemovedByHandIsWrittenBackBeforeTheTest) {
    hof.StartupFill();
    store.inner.values.erase({kSectionHallOfFame, L"yf3"});
    EXPECT_TRUE(hof.Qualifies(GamePool::English, 10));
    EXPECT_EQ(hof.ScoreText(GamePool::English, 3), L"0");
}

TEST_F(HallOfFameTest, AHandEditedScoreThatIsNoNumberCountsAsZero) {
    Table(GamePool::Chinese, {{L"A", L"lots"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    EXPECT_EQ(hof.Score(GamePool::Chinese, 1), 0);
    EXPECT_TRUE(hof.Qualifies(GamePool::Chinese, 5));
    EXPECT_EQ(hof.Insert(GamePool::Chinese, 5, L"E"), 1);
}

}  // namespace
}  // namespace quorlax
