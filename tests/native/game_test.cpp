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
        for (int i = 0; i < n; ++i) form().Timer1_Timer();
    }
};

TEST_F(GameTest, StartingAGameFillsFiveLabelsLevelAtTheTop) {
    form().yw1_Click();
    EXPECT_TRUE(form().yw1.Checked);
    EXPECT_FALSE(form().s2.Checked);
    EXPECT_TRUE(form().Timer1.Running());
    EXPECT_TRUE(form().Timer2.Enabled());
    EXPECT_EQ(form().Timer1.Interval(), 1000);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_FLOAT_EQ(form().Label(i).Top, -400);
        EXPECT_FLOAT_EQ(form().Label(i).Font.Size, 22);
        EXPECT_TRUE(form().Label(i).Visible);
    }
}

TEST_F(GameTest, EachGeneratorFeedsItsLabels) {
    random().Push({0.0, 0, 0, 0, 0, 0, 0, 0, 0, 0.15});  // "ab" is not possible: all 'a', length 2
    form().yw1_Click();
    EXPECT_EQ(form().Label(1).Caption(), L"aa");
    form().s2_Click();
    for (int i = 1; i <= 5; ++i) {
        const auto& word = form().Label(i).Caption();
        EXPECT_TRUE(word == L"中国" || word == L"人民" || word == L"我们" || word == L"世界") << i;
    }
    form().sz1_Click();
    for (int i = 1; i <= 5; ++i) {
        const auto& digits = form().Label(i).Caption();
        EXPECT_FALSE(digits.empty());
        EXPECT_EQ(digits.find_first_not_of(L"0123456789."), std::wstring::npos) << i;
    }
}

TEST_F(GameTest, SpeedChoiceAppliesAtTheNextGameStart) {
    form().sd_Click(5);
    form().sz1_Click();
    EXPECT_EQ(form().Timer1.Interval(), 410);
    form().sd_Click(2);
    EXPECT_EQ(form().Timer1.Interval(), 410);
    EXPECT_TRUE(form().sd(2).Checked);
    EXPECT_FALSE(form().sd(5).Checked);
    form().sz1_Click();
    EXPECT_EQ(form().Timer1.Interval(), 800);
}

TEST_F(GameTest, SpeedTable) {
    const int expected[] = {1000, 800, 640, 512, 410, 328, 262, 210, 200, 168, 134};
    for (int i = 1; i <= 11; ++i) {
        form().sd_Click(i);
        form().yw1_Click();
        EXPECT_EQ(form().Timer1.Interval(), expected[i - 1]) << "sd" << i;
    }
}

TEST_F(GameTest, OnlyTheDigitsGameClearsTheChosenTextPractice) {
    form().practice.zixuan.Checked = true;
    form().practice.chi.Checked = true;
    form().yw1_Click();
    EXPECT_TRUE(form().practice.zixuan.Checked);
    EXPECT_FALSE(form().practice.chi.Checked);
    form().s2_Click();
    EXPECT_TRUE(form().practice.zixuan.Checked);
    form().sz1_Click();
    EXPECT_FALSE(form().practice.zixuan.Checked);
    EXPECT_FALSE(form().yw1.Checked);
    EXPECT_FALSE(form().s2.Checked);
}

TEST_F(GameTest, RestartingResetsEveryCounter) {
    form().s2_Click();
    form().Label6.SetCaption(L"12000");
    form().Label16.SetCaption(L"300");
    form().Label9.SetCaption(L"40");
    form().Label11.SetCaption(L"2");
    form().Label13.SetCaption(L"77");
    ASSERT_EQ(form().Label19.Caption(), L"1");
    Ticks(3);
    form().s2_Click();
    EXPECT_EQ(form().Label6.Caption(), L"0");
    EXPECT_EQ(form().Label16.Caption(), L"0");
    EXPECT_EQ(form().Label9.Caption(), L"0");
    EXPECT_EQ(form().Label11.Caption(), L"5");
    EXPECT_EQ(form().Label13.Caption(), L"1");
    EXPECT_EQ(form().Label19.Caption(), L"0");
    EXPECT_EQ(form().Timer1.Interval(), 1000) << "the ladder's shortening is undone";
    for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(form().Label(i).Top, -400);
}

TEST_F(GameTest, GameStartClearsThePracticeGridAndShowsTheStatistics) {
    form().practice.La(17).SetCaption(L"字");
    form().practice.Frame3.Visible = true;
    form().Frame4.Visible = false;
    form().practice.Image5.Visible = true;
    form().practice.Timer3.SetEnabled(true);
    form().yw1_Click();
    EXPECT_EQ(form().practice.La(17).Caption(), L"");
    EXPECT_EQ(form().practice.La(17).BackStyle, forms::BackStyle::Transparent);
    EXPECT_TRUE(form().Frame4.Visible);
    EXPECT_FALSE(form().practice.Frame3.Visible);
    EXPECT_FALSE(form().practice.Image5.Visible);
    EXPECT_FALSE(form().practice.Timer3.Enabled());
    EXPECT_FALSE(form().practice.Label22.Visible);
}

TEST_F(GameTest, LabelAtTheFloorStillMovesAndMissesOnTheNextTick) {
    form().yw1_Click();
    form().Label(1).Top = 6300;
    form().Label(2).Top = 6390;
    Ticks(1);
    EXPECT_FLOAT_EQ(form().Label(1).Top, 6400);
    EXPECT_FLOAT_EQ(form().Label(2).Top, 6490);
    EXPECT_EQ(Lives(), 5);
    Ticks(1);
    EXPECT_EQ(Lives(), 3);
    EXPECT_FLOAT_EQ(form().Label(1).Top, -400);
    EXPECT_FLOAT_EQ(form().Label(2).Top, -400);
}

TEST_F(GameTest, SixtyNineTicksFromSpawnToMiss) {
    form().yw1_Click();
    Ticks(68);
    EXPECT_EQ(Lives(), 5);
    EXPECT_FLOAT_EQ(form().Label(1).Top, 6400);
    Ticks(1);
    EXPECT_EQ(Lives(), 0) << "all five labels miss together";
}

TEST_F(GameTest, RaisedFloorLineMissesFourTicksEarlier) {
    form().yw1_Click();
    form().Image1.Top = 5990;
    Ticks(64);
    EXPECT_EQ(Lives(), 5);
    Ticks(1);
    EXPECT_LT(Lives(), 5);
}

TEST_F(GameTest, LastLifeLostMidTickEndsTheGameAndTheTickFinishes) {
    form().yw1_Click();
    form().Label11.SetCaption(L"1");
    for (int i = 1; i <= 5; ++i) form().Label(i).Top = 3000;
    form().Label(2).Top = 6500;
    form().Label6.SetCaption(L"12000");
    Ticks(1);
    EXPECT_EQ(form().Label11.Caption(), L"0");
    EXPECT_TRUE(form().Label15.Visible);
    EXPECT_FALSE(form().Timer1.Enabled());
    EXPECT_FALSE(form().Timer2.Enabled());
    EXPECT_EQ(form().Label19.Caption(), L"0");
    EXPECT_FLOAT_EQ(form().Label(1).Top, -400);
    EXPECT_FLOAT_EQ(form().Label(2).Top, -400) << "the missed label respawns";
    for (int i = 3; i <= 5; ++i) EXPECT_FLOAT_EQ(form().Label(i).Top, -300) << i;
    for (int i = 1; i <= 5; ++i) EXPECT_FLOAT_EQ(form().Label(i).Font.Size, 9);
}

TEST_F(GameTest, UnlimitedLivesGoNegativeAndNeverEndTheGame) {
    form().yw1_Click();
    form().wx1_Click();
    EXPECT_EQ(form().Label11.Caption(), L"-1");
    form().Label(1).Top = 6500;
    Ticks(1);
    EXPECT_EQ(form().Label11.Caption(), L"-2");
    form().Label(1).Top = 6500;
    Ticks(1);
    EXPECT_EQ(form().Label11.Caption(), L"-3");
    EXPECT_FALSE(form().Label15.Visible);
    EXPECT_TRUE(form().Timer1.Running());
}

TEST_F(GameTest, ClockCountsSecondsAndShowsCharactersPerMinute) {
    form().yw1_Click();
    form().Label6.SetCaption(L"1500");
    form().Label13.SetCaption(L"29");
    form().Timer2_Timer();
    EXPECT_EQ(form().Label13.Caption(), L"30");
    EXPECT_EQ(form().Label9.Caption(), L"30");
}

TEST_F(GameTest, SpeedRoundsHalvesToEven) {
    form().yw1_Click();
    // score/100/secs*60 = 2.5 -> 2 and 3.5 -> 4.
    form().Label6.SetCaption(L"500");
    form().Label13.SetCaption(L"119");
    form().Timer2_Timer();
    EXPECT_EQ(form().Label9.Caption(), L"2");
    form().Label6.SetCaption(L"700");
    form().Label13.SetCaption(L"119");
    form().Timer2_Timer();
    EXPECT_EQ(form().Label9.Caption(), L"4");
}

TEST_F(GameTest, FirstTickOfAGameShowsSpeedZero) {
    form().sz1_Click();
    form().Timer2_Timer();
    EXPECT_EQ(form().Label13.Caption(), L"2");
    EXPECT_EQ(form().Label9.Caption(), L"0");
}

TEST_F(GameTest, ClockOutsideAGameOnlyCounts) {
    form().Label9.SetCaption(L"7");
    form().Timer2_Timer();
    EXPECT_EQ(form().Label13.Caption(), L"2");
    EXPECT_EQ(form().Label9.Caption(), L"7");
}

TEST_F(GameTest, FloorLineSinksBackOnEveryScoreChange) {
    form().yw1_Click();
    form().Image1.Top = 6300;
    form().Label6.SetCaption(L"100");
    EXPECT_FLOAT_EQ(form().Image1.Top, 6400);
    form().Label6.SetCaption(L"200");
    EXPECT_FLOAT_EQ(form().Image1.Top, 6400) << "at 6390 or more it stays";
    form().Image1.Top = 5990;
    form().Label6.SetCaption(L"9999");
    EXPECT_FLOAT_EQ(form().Image1.Top, 6090);
    EXPECT_EQ(form().Label19.Caption(), L"0");
}

TEST_F(GameTest, LadderStepsAtThresholds) {
    form().sd_Click(5);
    form().yw1_Click();
    form().Timer1.SetInterval(500);
    form().Label6.SetCaption(L"10000");
    EXPECT_EQ(form().Timer1.Interval(), 400);
    EXPECT_EQ(form().Label19.Caption(), L"1");
    form().Label6.SetCaption(L"10100");
    EXPECT_EQ(form().Timer1.Interval(), 400);
    EXPECT_EQ(form().Label19.Caption(), L"1");
}

TEST_F(GameTest, ALargeJumpAppliesSeveralStepsInOneWrite) {
    form().yw1_Click();
    form().Timer1.SetInterval(500);
    form().Label6.SetCaption(L"25000");
    EXPECT_EQ(form().Timer1.Interval(), 320);
    EXPECT_EQ(form().Label19.Caption(), L"2");
}

TEST_F(GameTest, StepSevenNeeds70200) {
    form().yw1_Click();
    form().Label19.SetCaption(L"6");
    form().Timer1.SetInterval(100);
    form().Label6.SetCaption(L"70000");
    EXPECT_EQ(form().Label19.Caption(), L"6");
    EXPECT_EQ(form().Timer1.Interval(), 100);
    form().Label6.SetCaption(L"70200");
    EXPECT_EQ(form().Label19.Caption(), L"7");
    EXPECT_EQ(form().Timer1.Interval(), 80);
}

TEST_F(GameTest, LadderStopsAtFourteenAndSmallIntervalsStay) {
    form().yw1_Click();
    form().Timer1.SetInterval(1000);
    form().Label6.SetCaption(L"200000");
    EXPECT_EQ(form().Label19.Caption(), L"14");
    int expected = 1000;
    for (int k = 0; k < 14; ++k) expected = static_cast<int>(nearest(expected * 0.8));
    EXPECT_EQ(form().Timer1.Interval(), expected);
    form().Label6.SetCaption(L"300000");
    EXPECT_EQ(form().Label19.Caption(), L"14");
    EXPECT_EQ(form().Timer1.Interval(), expected);

    form().Label19.SetCaption(L"0");
    form().Timer1.SetInterval(2);
    form().Label6.SetCaption(L"10000");
    EXPECT_EQ(form().Timer1.Interval(), 2);
    form().Label19.SetCaption(L"1");
    form().Timer1.SetInterval(1);
    form().Label6.SetCaption(L"20000");
    EXPECT_EQ(form().Timer1.Interval(), 1);
}

TEST_F(GameTest, LivesWritesOtherThanZeroDoNothing) {
    form().yw1_Click();
    form().Label11.SetCaption(L"3");
    form().Label11.SetCaption(L"5");
    EXPECT_FALSE(form().Label15.Visible);
    EXPECT_TRUE(form().Timer1.Running());
}

}  // namespace
}  // namespace quorlax::test
