// Game start, the speed menu, the fall tick, lives, the clock and the score
// reaction with the level ladder.
#include "form_fixture.h"
#include "platform/nearest.h"

namespace quorlax::test {
namespace {

class GameTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) form().game.OnFallTick();
    }
};

TEST_F(GameTest, StartingAGameFillsFiveLabelsLevelAtTheTop) {
    form().game.StartGame(GamePool::English);
    EXPECT_TRUE(form().game.englishGameItem.Checked);
    EXPECT_FALSE(form().game.chineseGameItem.Checked);
    EXPECT_TRUE(form().game.fallTimer.Running());
    EXPECT_TRUE(form().board.clock.Enabled());
    EXPECT_EQ(form().game.fallTimer.Interval(), 1000);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Top, -400);
        EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Font.Size, 22);
        EXPECT_TRUE(form().game.fallingLabels(i).Visible);
    }
}

TEST_F(GameTest, EachGeneratorFeedsItsLabels) {
    random().Push({0.0, 0, 0, 0, 0, 0, 0, 0, 0, 0.15});  // "ab" is not possible: all 'a', length 2
    form().game.StartGame(GamePool::English);
    EXPECT_EQ(form().game.fallingLabels(1).Caption(), L"aa");
    form().game.StartGame(GamePool::Chinese);
    for (int i = 1; i <= 5; ++i) {
        const auto& word = form().game.fallingLabels(i).Caption();
        EXPECT_TRUE(word == L"中国" || word == L"人民" || word == L"我们" || word == L"世界") << i;
    }
    form().game.StartGame(GamePool::Digits);
    for (int i = 1; i <= 5; ++i) {
        const auto& digits = form().game.fallingLabels(i).Caption();
        EXPECT_FALSE(digits.empty());
        EXPECT_EQ(digits.find_first_not_of(L"0123456789."), std::wstring::npos) << i;
    }
}

TEST_F(GameTest, SpeedChoiceAppliesAtTheNextGameStart) {
    form().game.OnSpeed(5);
    form().game.StartGame(GamePool::Digits);
    EXPECT_EQ(form().game.fallTimer.Interval(), 410);
    form().game.OnSpeed(2);
    EXPECT_EQ(form().game.fallTimer.Interval(), 410);
    EXPECT_TRUE(form().game.speedItems(2).Checked);
    EXPECT_FALSE(form().game.speedItems(5).Checked);
    form().game.StartGame(GamePool::Digits);
    EXPECT_EQ(form().game.fallTimer.Interval(), 800);
}

TEST_F(GameTest, SpeedTable) {
    const int expected[] = {1000, 800, 640, 512, 410, 328, 262, 210, 200, 168, 134};
    for (int i = 1; i <= 11; ++i) {
        form().game.OnSpeed(i);
        form().game.StartGame(GamePool::English);
        EXPECT_EQ(form().game.fallTimer.Interval(), expected[i - 1]) << "speed item " << i;
    }
}

TEST_F(GameTest, OnlyTheDigitsGameClearsTheChosenTextPractice) {
    form().practice.chosenItem.Checked = true;
    form().practice.builtInItem.Checked = true;
    form().game.StartGame(GamePool::English);
    EXPECT_TRUE(form().practice.chosenItem.Checked);
    EXPECT_FALSE(form().practice.builtInItem.Checked);
    form().game.StartGame(GamePool::Chinese);
    EXPECT_TRUE(form().practice.chosenItem.Checked);
    form().game.StartGame(GamePool::Digits);
    EXPECT_FALSE(form().practice.chosenItem.Checked);
    EXPECT_FALSE(form().game.englishGameItem.Checked);
    EXPECT_FALSE(form().game.chineseGameItem.Checked);
}

TEST_F(GameTest, RestartingResetsEveryCounter) {
    form().game.StartGame(GamePool::Chinese);
    form().game.scoreLabel.SetCaption(L"12000");
    form().game.bonusLabel.SetCaption(L"300");
    form().game.speedLabel.SetCaption(L"40");
    form().game.livesLabel.SetCaption(L"2");
    form().board.SetElapsedSeconds(77);
    ASSERT_EQ(form().game.Level(), 1);
    Ticks(3);
    form().game.StartGame(GamePool::Chinese);
    ExpectCountersAtStart();
    EXPECT_EQ(form().game.fallTimer.Interval(), 1000) << "the ladder's shortening is undone";
    for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Top, -400);
}

TEST_F(GameTest, GameStartClearsThePracticeGridAndShowsTheStatistics) {
    form().practice.cells(17).SetCaption(L"字");
    form().practice.panel.Visible = true;
    form().game.statsPanel.Visible = false;
    form().practice.radicalChart.Visible = true;
    form().practice.cursorBlink.SetEnabled(true);
    form().game.StartGame(GamePool::English);
    EXPECT_EQ(form().practice.cells(17).Caption(), L"");
    EXPECT_EQ(form().practice.cells(17).BackStyle, forms::BackStyle::Transparent);
    EXPECT_TRUE(form().game.statsPanel.Visible);
    EXPECT_FALSE(form().practice.panel.Visible);
    EXPECT_FALSE(form().practice.radicalChart.Visible);
    EXPECT_FALSE(form().practice.cursorBlink.Enabled());
    EXPECT_FALSE(form().practice.codeLabel.Visible);
}

TEST_F(GameTest, LabelAtTheFloorStillMovesAndMissesOnTheNextTick) {
    form().game.StartGame(GamePool::English);
    form().game.fallingLabels(1).Top = 6300;
    form().game.fallingLabels(2).Top = 6390;
    Ticks(1);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(1).Top, 6400);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(2).Top, 6490);
    EXPECT_EQ(Lives(), 5);
    Ticks(1);
    EXPECT_EQ(Lives(), 3);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(1).Top, -400);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(2).Top, -400);
}

TEST_F(GameTest, SixtyNineTicksFromSpawnToMiss) {
    form().game.StartGame(GamePool::English);
    Ticks(68);
    EXPECT_EQ(Lives(), 5);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(1).Top, 6400);
    Ticks(1);
    EXPECT_EQ(Lives(), 0) << "all five labels miss together";
}

TEST_F(GameTest, RaisedFloorLineMissesFourTicksEarlier) {
    form().game.StartGame(GamePool::English);
    form().game.floorLine.Top = 5990;
    Ticks(64);
    EXPECT_EQ(Lives(), 5);
    Ticks(1);
    EXPECT_LT(Lives(), 5);
}

TEST_F(GameTest, LastLifeLostMidTickEndsTheGameAndTheTickFinishes) {
    form().game.StartGame(GamePool::English);
    form().game.livesLabel.SetCaption(L"1");
    for (int i = 1; i <= 5; ++i) form().game.fallingLabels(i).Top = 3000;
    form().game.fallingLabels(2).Top = 6500;
    form().game.scoreLabel.SetCaption(L"12000");
    Ticks(1);
    EXPECT_EQ(form().game.livesLabel.Caption(), L"0");
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
    EXPECT_FALSE(form().game.fallTimer.Enabled());
    EXPECT_FALSE(form().board.clock.Enabled());
    EXPECT_EQ(form().game.Level(), 0);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(1).Top, -400);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(2).Top, -400) << "the missed label respawns";
    for (int i = 3; i <= 5; ++i) EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Top, -300) << i;
    for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Font.Size, 9);
}

TEST_F(GameTest, UnlimitedLivesGoNegativeAndNeverEndTheGame) {
    form().game.StartGame(GamePool::English);
    form().game.OnUnlimitedLives();
    EXPECT_EQ(form().game.livesLabel.Caption(), L"-1");
    form().game.fallingLabels(1).Top = 6500;
    Ticks(1);
    EXPECT_EQ(form().game.livesLabel.Caption(), L"-2");
    form().game.fallingLabels(1).Top = 6500;
    Ticks(1);
    EXPECT_EQ(form().game.livesLabel.Caption(), L"-3");
    EXPECT_FALSE(form().game.gameOverBanner.Visible);
    EXPECT_TRUE(form().game.fallTimer.Running());
}

TEST_F(GameTest, ClockCountsSecondsAndShowsCharactersPerMinute) {
    form().game.StartGame(GamePool::English);
    form().game.scoreLabel.SetCaption(L"1500");
    form().board.SetElapsedSeconds(29);
    form().board.OnClockTick();
    EXPECT_EQ(form().board.ElapsedSeconds(), 30);
    EXPECT_EQ(form().game.speedLabel.Caption(), L"30");
}

TEST_F(GameTest, SpeedRoundsHalvesToEven) {
    form().game.StartGame(GamePool::English);
    // score/100/secs*60 = 2.5 -> 2 and 3.5 -> 4.
    form().game.scoreLabel.SetCaption(L"500");
    form().board.SetElapsedSeconds(119);
    form().board.OnClockTick();
    EXPECT_EQ(form().game.speedLabel.Caption(), L"2");
    form().game.scoreLabel.SetCaption(L"700");
    form().board.SetElapsedSeconds(119);
    form().board.OnClockTick();
    EXPECT_EQ(form().game.speedLabel.Caption(), L"4");
}

TEST_F(GameTest, FirstTickOfAGameShowsSpeedZero) {
    form().game.StartGame(GamePool::Digits);
    form().board.OnClockTick();
    EXPECT_EQ(form().board.ElapsedSeconds(), 2);
    EXPECT_EQ(form().game.speedLabel.Caption(), L"0");
}

TEST_F(GameTest, ClockOutsideAGameOnlyCounts) {
    form().game.speedLabel.SetCaption(L"7");
    form().board.OnClockTick();
    EXPECT_EQ(form().board.ElapsedSeconds(), 2);
    EXPECT_EQ(form().game.speedLabel.Caption(), L"7");
}

TEST_F(GameTest, FloorLineSinksBackOnEveryScoreChange) {
    form().game.StartGame(GamePool::English);
    form().game.floorLine.Top = 6300;
    form().game.scoreLabel.SetCaption(L"100");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6400);
    form().game.scoreLabel.SetCaption(L"200");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6400) << "at 6390 or more it stays";
    form().game.floorLine.Top = 5990;
    form().game.scoreLabel.SetCaption(L"9999");
    EXPECT_FLOAT_EQ(form().game.floorLine.Top, 6090);
    EXPECT_EQ(form().game.Level(), 0);
}

TEST_F(GameTest, LadderStepsAtThresholds) {
    form().game.OnSpeed(5);
    form().game.StartGame(GamePool::English);
    form().game.fallTimer.SetInterval(500);
    form().game.scoreLabel.SetCaption(L"10000");
    EXPECT_EQ(form().game.fallTimer.Interval(), 400);
    EXPECT_EQ(form().game.Level(), 1);
    form().game.scoreLabel.SetCaption(L"10100");
    EXPECT_EQ(form().game.fallTimer.Interval(), 400);
    EXPECT_EQ(form().game.Level(), 1);
}

TEST_F(GameTest, ALargeJumpAppliesSeveralStepsInOneWrite) {
    form().game.StartGame(GamePool::English);
    form().game.fallTimer.SetInterval(500);
    form().game.scoreLabel.SetCaption(L"25000");
    EXPECT_EQ(form().game.fallTimer.Interval(), 320);
    EXPECT_EQ(form().game.Level(), 2);
}

TEST_F(GameTest, StepSevenNeeds70200) {
    form().game.StartGame(GamePool::English);
    form().game.SetLevel(6);
    form().game.fallTimer.SetInterval(100);
    form().game.scoreLabel.SetCaption(L"70000");
    EXPECT_EQ(form().game.Level(), 6);
    EXPECT_EQ(form().game.fallTimer.Interval(), 100);
    form().game.scoreLabel.SetCaption(L"70200");
    EXPECT_EQ(form().game.Level(), 7);
    EXPECT_EQ(form().game.fallTimer.Interval(), 80);
}

TEST_F(GameTest, LadderStopsAtFourteenAndSmallIntervalsStay) {
    form().game.StartGame(GamePool::English);
    form().game.fallTimer.SetInterval(1000);
    form().game.scoreLabel.SetCaption(L"200000");
    EXPECT_EQ(form().game.Level(), 14);
    int expected = 1000;
    for (int k = 0; k < 14; ++k) expected = static_cast<int>(nearest(expected * 0.8));
    EXPECT_EQ(form().game.fallTimer.Interval(), expected);
    form().game.scoreLabel.SetCaption(L"300000");
    EXPECT_EQ(form().game.Level(), 14);
    EXPECT_EQ(form().game.fallTimer.Interval(), expected);

    form().game.SetLevel(0);
    form().game.fallTimer.SetInterval(2);
    form().game.scoreLabel.SetCaption(L"10000");
    EXPECT_EQ(form().game.fallTimer.Interval(), 2);
    form().game.SetLevel(1);
    form().game.fallTimer.SetInterval(1);
    form().game.scoreLabel.SetCaption(L"20000");
    EXPECT_EQ(form().game.fallTimer.Interval(), 1);
}

TEST_F(GameTest, LivesWritesOtherThanZeroDoNothing) {
    form().game.StartGame(GamePool::English);
    form().game.livesLabel.SetCaption(L"3");
    form().game.livesLabel.SetCaption(L"5");
    EXPECT_FALSE(form().game.gameOverBanner.Visible);
    EXPECT_TRUE(form().game.fallTimer.Running());
}

}  // namespace
}  // namespace quorlax::test
