// Game over: the lives reaction, the qualification, the hall-of-fame window
// with its name entry, and the battle-defeat step.
#include "form_fixture.h"
#include "scores/hall_of_fame.h"

namespace quorlax::test {
namespace {

class GameOverTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
        form().scores.hallOfFame.OnFocusName = [this] { ++focus_requests; };
    }
    void Table(GamePool pool, std::vector<std::pair<std::wstring, std::wstring>> rows) {
        for (int r = 1; r <= 5; ++r) {
            fakes_.settings.Save(kSectionHallOfFame, HallOfFame::NameKey(pool, r), rows[r - 1].first);
            fakes_.settings.Save(kSectionHallOfFame, HallOfFame::ScoreKey(pool, r), rows[r - 1].second);
        }
    }
    std::wstring Stored(const wchar_t* key) { return fakes_.settings.Get(kSectionHallOfFame, key); }
    // Ends the game with this score and bonus by taking the last life.
    void EndGame(const wchar_t* score, const wchar_t* bonus) {
        form().game.scoreLabel.SetCaption(score);
        form().game.bonusLabel.SetCaption(bonus);
        form().game.livesLabel.SetCaption(L"0");
    }
    int focus_requests = 0;
};

TEST_F(GameOverTest, StartupFilledTheScoreKeys) {
    EXPECT_EQ(Stored(L"f1"), L"0");
    EXPECT_EQ(Stored(L"sf5"), L"0");
    EXPECT_EQ(Stored(L"m1"), L"");
}

TEST_F(GameOverTest, AQualifyingTotalOpensTheWindowWithTheNameBoxFocusedOnce) {
    Table(GamePool::Chinese, {{L"A", L"900"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    form().game.StartGame(GamePool::Chinese);
    EndGame(L"300", L"50");
    EXPECT_EQ(form().game.GameTotal(), 350);
    EXPECT_TRUE(form().scores.hallOfFame.Loaded());
    EXPECT_TRUE(form().scores.hallOfFame.nameBox.Visible);
    EXPECT_EQ(focus_requests, 1);
    EXPECT_EQ(form().scores.hallOfFame.nameBox.Text(), L"姓名");
    EXPECT_EQ(form().scores.hallOfFame.scoreCells[0][0].Caption(), L"900");
    EXPECT_EQ(form().scores.hallOfFame.nameCells[0][3].Caption(), L"D");
}

TEST_F(GameOverTest, ATotalBelowRankFiveOpensNothing) {
    Table(GamePool::English, {{L"A", L"900"}, {L"B", L"500"}, {L"C", L"300"}, {L"D", L"100"}, {L"E", L"50"}});
    form().game.StartGame(GamePool::English);
    EndGame(L"0", L"10");
    EXPECT_FALSE(form().scores.hallOfFame.Loaded());
    EXPECT_EQ(focus_requests, 0);
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
}

TEST_F(GameOverTest, ConfirmingTheNameEntersTheTotalOnce) {
    form().game.StartGame(GamePool::Digits);
    EndGame(L"1200", L"34");
    ASSERT_TRUE(form().scores.hallOfFame.nameBox.Visible);
    form().scores.hallOfFame.nameBox.SetText(L"小明");
    form().scores.hallOfFame.OnNameBoxLostFocus();
    EXPECT_EQ(Stored(L"sm1"), L"小明");
    EXPECT_EQ(Stored(L"sf1"), L"1234");
    // Clicking away and back, then OK: the box loses the focus again, but
    // one game over enters its total only once.
    form().scores.hallOfFame.OnNameBoxLostFocus();
    form().scores.hallOfFame.OnNameBoxLostFocus();
    form().scores.hallOfFame.OnOk();
    EXPECT_EQ(Stored(L"sf2"), L"0");
    EXPECT_EQ(Stored(L"sm2"), L"");
    EXPECT_FALSE(form().scores.hallOfFame.Loaded());
    EXPECT_FALSE(form().scores.hallOfFame.nameBox.Visible);
}

TEST_F(GameOverTest, AnUnchangedNameBoxEntersItsInitialText) {
    form().game.StartGame(GamePool::English);
    EndGame(L"500", L"0");
    form().scores.hallOfFame.OnNameBoxLostFocus();
    EXPECT_EQ(Stored(L"ym1"), L"姓名");
    EXPECT_EQ(Stored(L"f1"), L"0") << "only the pool played";
}

TEST_F(GameOverTest, AnEntryTheStoreRefusesIsToldOnceAndTheGameGoesOn) {
    fakes_.settings.refuse = true;  // as a key denied by policy
    for (int game = 0; game < 2; ++game) {
        form().game.StartGame(GamePool::Digits);
        EndGame(L"1200", L"34");
        ASSERT_TRUE(form().scores.hallOfFame.nameBox.Visible);
        form().scores.hallOfFame.OnNameBoxLostFocus();
        form().scores.hallOfFame.OnOk();
        EXPECT_FALSE(form().scores.hallOfFame.Loaded());
    }
    EXPECT_EQ(fakes_.messages.shown, std::vector<std::wstring>{kHallOfFameUnsaved}) << "once per run";
    form().game.StartGame(GamePool::English);
    EXPECT_TRUE(form().game.fallTimer.Running()) << "a new game runs";

    fakes_.settings.refuse = false;  // a store that takes the entry says nothing
    EndGame(L"500", L"0");
    form().scores.hallOfFame.OnNameBoxLostFocus();
    EXPECT_EQ(Stored(L"yf1"), L"500");
    EXPECT_EQ(fakes_.messages.shown.size(), 1u);
}

TEST_F(GameOverTest, ANewGameClosesTheWindowAndItsEntryLapses) {
    form().game.StartGame(GamePool::English);
    EndGame(L"500", L"0");
    ASSERT_TRUE(form().scores.hallOfFame.Loaded());
    form().game.StartGame(GamePool::English);
    EXPECT_FALSE(form().scores.hallOfFame.Loaded());
    form().scores.hallOfFame.OnNameBoxLostFocus();
    EXPECT_EQ(Stored(L"yf1"), L"0");
}

TEST_F(GameOverTest, TheRankingMenuShowsTheTablesDuringAGame) {
    Table(GamePool::Chinese, {{L"A", L"900"}, {L"B", L"x12"}, {L"C", L"300"}, {L"D", L"100"}, {L"", L"0"}});
    form().game.StartGame(GamePool::English);
    form().scores.rankingItem.Click();
    EXPECT_TRUE(form().scores.hallOfFame.Loaded());
    EXPECT_FALSE(form().scores.hallOfFame.nameBox.Visible);
    EXPECT_EQ(form().scores.hallOfFame.scoreCells[0][1].Caption(), L"x12")
        << "cells show the stored text unchanged";
    EXPECT_TRUE(form().game.fallTimer.Running()) << "the game goes on";
    form().scores.hallOfFame.OnNameBoxLostFocus();
    EXPECT_EQ(Stored(L"ym1"), L"") << "viewing enters nothing";
}

TEST_F(GameOverTest, GameOverReloadsAnOpenWindow) {
    form().game.StartGame(GamePool::Chinese);
    form().scores.rankingItem.Click();
    int loads = 0;
    form().scores.hallOfFame.OnLoaded = [&] { return ++loads > 0; };
    EndGame(L"100", L"0");
    EXPECT_EQ(loads, 1);
    EXPECT_TRUE(form().scores.hallOfFame.nameBox.Visible);
}

TEST_F(GameOverTest, InABattleTheDefeatStepRunsOnceBeforeTheGameOver) {
    form().game.StartGame(GamePool::English);
    form().battle.inBattle = 1;
    bool banner_when_sent = true;
    fakes_.battle.on_send = [&] { banner_when_sent = form().game.gameOverBanner.Visible; };
    EndGame(L"0", L"0");
    EXPECT_EQ(fakes_.battle.sent, (std::vector<std::string>{"bai"}));
    EXPECT_FALSE(banner_when_sent);
    EXPECT_EQ(form().battle.losses, 1);
    EXPECT_TRUE(form().game.gameOverBanner.Visible);
}

TEST_F(GameOverTest, NoDefeatMessageOutsideABattleOrWhileLivesRemain) {
    form().game.StartGame(GamePool::English);
    form().game.livesLabel.SetCaption(L"3");
    form().battle.inBattle = 1;
    form().game.livesLabel.SetCaption(L"2");
    EXPECT_TRUE(fakes_.battle.sent.empty());
}

}  // namespace
}  // namespace quorlax::test
