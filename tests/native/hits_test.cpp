// Typing a label's string: the match, the shot's flight, scoring, the bonus,
// the sound and the battle message.
#include "form_fixture.h"

namespace quorlax::test {
namespace {

class HitsTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
        form().game.StartGame(GamePool::English);
        const wchar_t* captions[] = {L"qq", L"rr", L"ab", L"ss", L"tt"};
        for (int i = 1; i <= 5; ++i) form().game.fallingLabels(i).SetCaption(captions[i - 1]);
    }
};

TEST_F(HitsTest, TypingALabelsStringEmptiesTheBoxAndScoresOnLanding) {
    Type(L"a");
    EXPECT_FALSE(form().game.shotTimer.Enabled());
    Type(L"ab");
    EXPECT_EQ(form().game.typingBox.Text(), L"");
    EXPECT_EQ(form().game.ShotColumn(), 3);
    EXPECT_EQ(form().game.ShotLength(), 2);
    EXPECT_TRUE(form().game.shotTimer.Enabled());
    EXPECT_EQ(Score(), 0) << "nothing is scored before the shot lands";
    FlyShot();
    EXPECT_EQ(Score(), 200);
    EXPECT_EQ(fakes_.sound.plays, 1);
    EXPECT_FLOAT_EQ(form().game.fallingLabels(3).Top, -400);
    EXPECT_NE(form().game.fallingLabels(3).Caption(), L"ab");
    EXPECT_FALSE(form().game.shots(3).Visible);
    EXPECT_FLOAT_EQ(form().game.shots(3).Top, 6500);
    EXPECT_FALSE(form().game.hitFlash.Visible);
    EXPECT_FALSE(form().game.shotTimer.Enabled());
    EXPECT_TRUE(form().game.fallTimer.Enabled());
}

TEST_F(HitsTest, TheFallPausesWhileTheShotFlies) {
    Type(L"ab");
    form().game.OnShotTick();
    EXPECT_FALSE(form().game.fallTimer.Enabled());
    EXPECT_TRUE(form().game.shots(3).Visible);
    EXPECT_FLOAT_EQ(form().game.shots(3).Top, 4500);
}

TEST_F(HitsTest, TicksToReachALabelDependOnItsHeight) {
    form().game.fallingLabels(3).Top = 0;
    Type(L"ab");
    EXPECT_EQ(FlyShot(), 4);
    form().game.fallingLabels(1).Top = 4500;
    Type(L"qq");
    EXPECT_EQ(FlyShot(), 1);
    form().game.fallingLabels(2).Top = -400;
    Type(L"rr");
    EXPECT_EQ(FlyShot(), 4) << "a freshly respawned label can be hit";
}

TEST_F(HitsTest, TheLongestGeneratedLabelScoresNineHundredAndLongerTextsNothing) {
    // The longest string the letter generator makes: nine letters, then the
    // length draw at its top.
    random().Push({0, 0.04, 0.08, 0.12, 0.16, 0.2, 0.24, 0.28, 0.32, 0.99});
    form().game.Respawn(2);
    ASSERT_EQ(form().game.fallingLabels(2).Caption(), L"abcdefghi");
    EXPECT_EQ(form().game.typingBox.MaxLength, 10) << "the box takes it, and one character more";
    Type(L"abcdefghi");
    EXPECT_EQ(form().game.ShotLength(), 9);
    FlyShot();
    EXPECT_EQ(Score(), 900);
    form().game.fallingLabels(4).SetCaption(L"abcdefghij");  // what no generator makes
    Type(L"abcdefghij");
    EXPECT_EQ(form().game.ShotLength(), 10);
    FlyShot();
    EXPECT_EQ(Score(), 900) << "only 1 to 9 characters score";
    EXPECT_NE(form().game.fallingLabels(4).Caption(), L"abcdefghij") << "the label still comes back anew";
}

TEST_F(HitsTest, TheLowerNumberedOfTwoEqualLabelsIsHit) {
    form().game.fallingLabels(2).SetCaption(L"7.3");
    form().game.fallingLabels(4).SetCaption(L"7.3");
    Type(L"7.3");
    EXPECT_EQ(form().game.ShotColumn(), 2);
    FlyShot();
    EXPECT_EQ(form().game.fallingLabels(4).Caption(), L"7.3");
    EXPECT_EQ(Score(), 300) << "the point counts as a character";
}

TEST_F(HitsTest, AWrongLetterBlocksUntilDeleted) {
    form().game.fallingLabels(3).SetCaption(L"abc");
    Type(L"ab");
    Type(L"abx");
    EXPECT_FALSE(form().game.shotTimer.Enabled());
    Type(L"ab");
    Type(L"abc");
    EXPECT_TRUE(form().game.shotTimer.Enabled());
}

TEST_F(HitsTest, MatchIsCaseSensitive) {
    Type(L"AB");
    EXPECT_FALSE(form().game.shotTimer.Enabled());
    EXPECT_EQ(form().game.typingBox.Text(), L"AB");
}

TEST_F(HitsTest, AnEmptyBoxNeverMatchesAnEmptyLabel) {
    form().game.fallingLabels(5).SetCaption(L"");
    Type(L"x");
    Type(L"");
    EXPECT_FALSE(form().game.shotTimer.Enabled());
}

TEST_F(HitsTest, BonusAddsTheCurrentSpeed) {
    form().game.speedLabel.SetCaption(L"37");
    Type(L"ab");
    FlyShot();
    EXPECT_EQ(Bonus(), 37);
}

TEST_F(HitsTest, HitInTheFirstSecondAddsNoBonus) {
    Type(L"ab");
    FlyShot();
    EXPECT_EQ(Bonus(), 0);
    EXPECT_EQ(Score(), 200);
}

TEST_F(HitsTest, ChineseWordScoresPerCharacter) {
    form().game.StartGame(GamePool::Chinese);
    form().game.fallingLabels(4).SetCaption(L"中国");
    Type(L"中国");  // what the input method commits arrives as one change
    FlyShot();
    EXPECT_EQ(Score(), 200);
}

TEST_F(HitsTest, ScoringRunsTheLadderBeforeTheBonusIsAdded) {
    form().game.scoreLabel.SetCaption(L"9800");
    form().game.SetLevel(0);
    form().game.fallTimer.SetInterval(500);
    Type(L"ab");
    FlyShot();
    EXPECT_EQ(Score(), 10000);
    EXPECT_EQ(form().game.Level(), 1);
    EXPECT_EQ(form().game.fallTimer.Interval(), 400);
}

TEST_F(HitsTest, InABattleEachLandedShotSendsJia200OnceBeforeScoring) {
    form().battle.inBattle = 1;
    std::vector<double> score_at_send;
    int sounds_at_send = -1;
    fakes_.battle.on_send = [&] {
        score_at_send.push_back(Score());
        sounds_at_send = fakes_.sound.plays;
    };
    Type(L"ab");
    FlyShot();
    ASSERT_EQ(fakes_.battle.sent, (std::vector<std::string>{"jia200"}));
    EXPECT_EQ(score_at_send, (std::vector<double>{0})) << "sent before the score changes";
    EXPECT_EQ(sounds_at_send, 1) << "after the sound";
    EXPECT_EQ(Score(), 200);
    Type(L"qq");
    FlyShot();
    EXPECT_EQ(fakes_.battle.sent.size(), 2u);
}

TEST_F(HitsTest, NoBattleMessageOutsideABattle) {
    Type(L"ab");
    FlyShot();
    EXPECT_TRUE(fakes_.battle.sent.empty());
}

TEST_F(HitsTest, HitsAfterGameOverStillScoreAndRestartTheFall) {
    form().game.livesLabel.SetCaption(L"0");
    ASSERT_TRUE(form().game.gameOverBanner.Visible);
    ASSERT_FALSE(form().game.fallTimer.Enabled());
    Type(L"ab");
    FlyShot();
    EXPECT_EQ(Score(), 200);
    EXPECT_TRUE(form().game.fallTimer.Enabled());
}

TEST_F(HitsTest, ASecondMatchInFlightLandsTheFirstShotFirst) {
    form().game.fallingLabels(1).Top = 0;
    Type(L"qq");
    form().game.OnShotTick();  // shot 1 now at 4500, still flying
    Type(L"ab");
    EXPECT_EQ(Score(), 200) << "the first hit is kept";
    EXPECT_FLOAT_EQ(form().game.shots(1).Top, 6500);
    EXPECT_FALSE(form().game.shots(1).Visible);
    EXPECT_NE(form().game.fallingLabels(1).Caption(), L"qq");
    EXPECT_EQ(form().game.ShotColumn(), 3);
    FlyShot();
    EXPECT_EQ(Score(), 400);
    EXPECT_EQ(fakes_.sound.plays, 2);
}

TEST_F(HitsTest, RetypingTheLabelInFlightScoresItOnce) {
    form().game.fallingLabels(3).Top = 0;
    Type(L"ab");
    form().game.OnShotTick();
    Type(L"ab");
    FlyShot();
    EXPECT_EQ(Score(), 200);
    EXPECT_EQ(fakes_.sound.plays, 1);
}

TEST_F(HitsTest, TheFlashIsReportedWhereTheShotMeetsTheLabel) {
    std::vector<std::pair<float, float>> flashes;
    form().game.onHitFlash = [&](float left, float top) { flashes.emplace_back(left, top); };
    form().game.fallingLabels(3).Top = 1200;
    Type(L"ab");
    FlyShot();
    ASSERT_EQ(flashes.size(), 1u);
    EXPECT_FLOAT_EQ(flashes[0].first, 5490);
    EXPECT_FLOAT_EQ(flashes[0].second, 1200);
}

}  // namespace
}  // namespace quorlax::test
