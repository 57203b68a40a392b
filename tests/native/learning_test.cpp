// What practice learns from every character, as the practice room keeps it:
// the per-character file at a run's end, seeded from the history, the target
// speed, the drill of weak and due characters, 练习 › 结束 and the card.
#include <gtest/gtest.h>

#include <algorithm>

#include "form_fixture.h"
#include "practice/char_record.h"

namespace quorlax::test {
namespace {

class LearningTest : public PracticeFormTest {
protected:
    wchar_t Expected(int cell) { return room().Run().Caption(cell)[0]; }
    CharRecord Chars() {
        auto parsed = CharRecord::Parse(fakes_.chars.bytes);
        EXPECT_EQ(parsed.skipped, 0);
        return parsed.record;
    }
    // Types `n` cells of the open run, the i-th 500 ms after the one before,
    // missing the cells in `wrong` once first.
    void TypeRun(int n, std::initializer_list<int> wrong = {}) {
        for (int i = 1; i <= n; ++i) {
            fakes_.clock.now += 500;
            if (std::find(wrong.begin(), wrong.end(), i) != wrong.end()) {
                Key(kWrong);
                Backspace();
            }
            Key(Expected(i));
        }
    }
    static constexpr wchar_t kWrong = L'#';
};

TEST_F(LearningTest, ARunsEndWritesEveryCharacterTypedWithItsRateAndTime) {
    room().OnBuiltInPractice();
    const wchar_t first = Expected(1), second = Expected(2);
    TypeRun(3, {2});
    EXPECT_TRUE(fakes_.chars.bytes.empty()) << "nothing is written while the run goes on";
    room().EndRun();
    const CharRecord record = Chars();
    const CharStats* missed = record.Find(second);
    ASSERT_NE(missed, nullptr);
    EXPECT_EQ(missed->attempts, 2);
    EXPECT_EQ(missed->misses, 1);
    EXPECT_EQ(record.Find(first)->ms, -1) << "the first character of a run is not timed";
    EXPECT_EQ(record.Find(Expected(3))->ms, 500);
}

TEST_F(LearningTest, AMissingRecordStartsFromTheHistorysMissesAndAHeldFileLosesNothing) {
    fakes_.history.bytes = HistoryHeader() +
                           "2026-12-01 10:00:00\tbuiltin\t\t50\t40\t80\t30\t100\t鬼3 段1\n";
    room().OnDrill();
    EXPECT_EQ(Chars().Find(L'鬼')->attempts, 3) << "seeded and written";
    EXPECT_TRUE(room().builtInItem.Checked) << "鬼 is ranked: the drill starts";

    fakes_.chars.fail_replace = true;
    TypeRun(5);
    room().EndRun();
    EXPECT_EQ(fakes_.messages.shown.size(), 1u) << "told once";
    form().board.programClosing();
    ASSERT_FALSE(fakes_.chars.pending.empty()) << "left beside the record for the next start";
    const auto pending = CharRecord::Parse(fakes_.chars.pending);
    EXPECT_GT(pending.record.All().size(), Chars().All().size()) << "the run's characters are in it";
}

TEST_F(LearningTest, TheTargetSpeedIsStoredAndAnOddValueCountsAsSixty) {
    auto& items = room().learning.targetSpeedItems;
    EXPECT_TRUE(items(3).Checked) << "60 字/分 by default";
    items(5).Click();
    EXPECT_EQ(fakes_.settings.Get(L"register", L"mbsd"), L"100");
    EXPECT_EQ(room().learning.TargetMs(), 600);
    fakes_.settings.Save(L"register", L"mbsd", L"70");
    room().learning.Load();
    EXPECT_TRUE(items(3).Checked);
    EXPECT_EQ(room().learning.TargetSpeed(), 60);
}

TEST_F(LearningTest, EndShowsTheCardAKeyClosesItAndItsLineDrillsTheRunsMisses) {
    EXPECT_FALSE(room().endItem.Enabled) << "greyed with no run open";
    room().OnBuiltInPractice();
    EXPECT_TRUE(room().endItem.Enabled);
    const wchar_t missed = Expected(2);
    TypeRun(4, {2});
    room().OnEnd();
    EXPECT_FALSE(room().endItem.Enabled);
    EXPECT_FALSE(room().builtInItem.Checked) << "no other run starts";
    ASSERT_TRUE(room().card.Shown());
    EXPECT_EQ(room().card.speed.Caption(), L"速度 120 字/分　正确率 100 %");
    EXPECT_NE(room().card.misses.Caption().find(missed), std::wstring::npos);
    EXPECT_EQ(room().card.drillLink.Caption(), L"练习这些字");
    room().OnPracticeBoxKey('A');
    EXPECT_FALSE(room().card.Shown());

    room().OnBuiltInPractice();
    TypeRun(2, {1});
    room().OnEnd();
    const wchar_t again = Expected(1);
    room().OnCardClick(true);
    EXPECT_FALSE(room().card.Shown());
    EXPECT_TRUE(room().builtInItem.Checked);
    const std::wstring drill = room().Run().practiceText();
    EXPECT_GE(std::count(drill.begin(), drill.end(), again), 40) << "a drill of this run's misses";
}

TEST_F(LearningTest, TheRestartShowsTheCardOverTheNextRunAndAGameStartShowsNone) {
    room().OnBuiltInPractice();
    for (int i = 1; i <= 406; ++i) Key(Expected(i));
    EXPECT_TRUE(room().card.Shown()) << "the run that reached the grid's end";
    EXPECT_TRUE(room().RunOpen()) << "under it the next run is open";
    TypeRun(3);
    form().game.StartGame(GamePool::English);
    EXPECT_FALSE(room().card.Shown());
}

}  // namespace
}  // namespace quorlax::test
