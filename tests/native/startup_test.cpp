// Start-up: settings, data files, the state after loading, the grid.
#include "form_fixture.h"

namespace quorlax::test {
namespace {

using StartupTest = FormTest;

TEST_F(StartupTest, WithNoSettingsTheDefaultsHold) {
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().board.backColor, 0x00FF8000u);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(form().game.fallingLabels(i).ForeColor, forms::kYellow);
        EXPECT_EQ(form().game.fallingLabels(i).Font.Name, L"仿宋_GB2312");
    }
    EXPECT_EQ(form().board.caption, L"Quorlax");
    EXPECT_TRUE(form().board.visible);
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(StartupTest, AfterStartupNothingRunsAndTheCountersShowTheirStart) {
    ASSERT_TRUE(Load());
    ExpectCountersAtStart();
    EXPECT_FALSE(form().game.gameOverBanner.Visible);
    EXPECT_FALSE(form().game.fallTimer.Running());
    EXPECT_EQ(form().game.fallTimer.Interval(), 0);
    EXPECT_FALSE(form().board.clock.Enabled());
    EXPECT_TRUE(form().game.speedItems(1).Checked);
    for (int i = 2; i <= 11; ++i) EXPECT_FALSE(form().game.speedItems(i).Checked);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Top, -400);
        EXPECT_FLOAT_EQ(form().game.fallingLabels(i).Font.Size, 9);
    }
    EXPECT_FALSE(form().game.GameModeChecked());
    EXPECT_EQ(form().battle.wins, 0);
    EXPECT_EQ(form().practice.typedPos(), 1);
}

TEST_F(StartupTest, StoredAppearanceIsApplied) {
    fakes_.settings.Save(L"register", L"ys1", L"255");
    fakes_.settings.Save(L"register", L"wz1", L"16744448");
    fakes_.settings.Save(L"register", L"wzzt", L"黑体");
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().board.backColor, 0x000000FFu);
    EXPECT_EQ(form().game.fallingLabels(3).ForeColor, 0x00FF8000u);
    EXPECT_EQ(form().practice.codeLabel.ForeColor, 0x00FF8000u);
    EXPECT_EQ(form().game.fallingLabels(1).Font.Name, L"黑体");
    EXPECT_EQ(form().game.scoreLabel.Font.Name, L"黑体");
    EXPECT_EQ(form().practice.cells(406).Font.Name, L"黑体") << "the grid copies cells(0)";
    EXPECT_EQ(form().practice.cells(406).BackColor, 0x000000FFu);
}

TEST_F(StartupTest, HandEditedColoursThatAreNoNumberCountAsAbsent) {
    fakes_.settings.Save(L"register", L"ys1", L"blue");
    fakes_.settings.Save(L"register", L"wz1", L"12.5x");
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().board.backColor, kDefaultBackColor);
    EXPECT_EQ(form().game.fallingLabels(1).ForeColor, forms::kYellow);
}

TEST_F(StartupTest, MissingWordPoolNamesTheFileAndFolderAndStops) {
    fakes_.files.files.erase(L"vbyx.dll");
    EXPECT_FALSE(Load());
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"vbyx.dll"), std::wstring::npos);
    EXPECT_NE(fakes_.messages.shown[0].find(L"C:\\Games\\Quorlax"), std::wstring::npos);
}

TEST_F(StartupTest, MissingCodeTableAlsoStops) {
    fakes_.files.files.erase(L"vbcx.dll");
    EXPECT_FALSE(Load());
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"vbcx.dll"), std::wstring::npos);
}

TEST_F(StartupTest, PoolAndTableHaveNoLineBreaks) {
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().board.Pool().Text(), L" 中国 人民 我们 世界 中国 人民 我们 世界 中国 人民 我们 世界 的");
    EXPECT_EQ(form().board.CodeTable(), L"中khk 国lgyi");
}

TEST_F(StartupTest, PoolWithoutWordsIsReportedOnceAndChineseGamesNeverHang) {
    fakes_.files.files[L"vbyx.dll"] = L"";
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().board.Pool().Text(), L"");
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_FALSE(form().game.chineseGameItem.Enabled);
    SequenceRandom& r = random();
    int before = r.taken;
    form().game.StartGame(GamePool::Chinese);  // still reachable through a battle; must not loop
    EXPECT_EQ(r.taken, before);
    EXPECT_EQ(form().game.fallingLabels(1).Caption(), L"Text3");
}

TEST_F(StartupTest, PracticeGridHas406CellsIn14RowsOf29) {
    ASSERT_TRUE(Load());
    EXPECT_FLOAT_EQ(form().practice.cells(1).Left, 90);
    EXPECT_FLOAT_EQ(form().practice.cells(1).Top, 60);
    EXPECT_FLOAT_EQ(form().practice.cells(29).Left, 11290);
    EXPECT_FLOAT_EQ(form().practice.cells(30).Left, 90);
    EXPECT_FLOAT_EQ(form().practice.cells(30).Top, 510);
    EXPECT_FLOAT_EQ(form().practice.cells(406).Left, 11290);
    EXPECT_FLOAT_EQ(form().practice.cells(406).Top, 5910);
    for (int r = 0; r < 14; ++r)
        for (int c = 0; c < 29; ++c) {
            const auto& cell = form().practice.cells(29 * r + c + 1);
            ASSERT_FLOAT_EQ(cell.Left, 90 + 400.0f * c);
            ASSERT_FLOAT_EQ(cell.Top, 60 + 450.0f * r);
            ASSERT_TRUE(cell.Visible);
            ASSERT_EQ(cell.Caption(), L"");
        }
}

TEST_F(StartupTest, MenusHaveTheirCaptionsShortcutsAndDesignStates) {
    ASSERT_TRUE(Load());
    ASSERT_EQ(form().menuBar.size(), 4u);
    EXPECT_EQ(form().menuBar[0]->Caption, L" 文 件");
    EXPECT_EQ(form().menuBar[2]->Caption, L" 生 命 ");
    EXPECT_FALSE(form().game.livesMenu.Enabled);
    EXPECT_FALSE(form().game.speedItems(11).Visible);
    EXPECT_FALSE(form().game.speedItems(11).Enabled);
    EXPECT_EQ(form().game.chineseGameItem.Shortcut, L"Ctrl+H");
    EXPECT_EQ(form().game.englishGameItem.Shortcut, L"Ctrl+Y");
    EXPECT_EQ(form().game.digitsGameItem.Shortcut, L"Ctrl+S");
    EXPECT_EQ(form().settings.textFontItem.Shortcut, L"Ctrl+K");
}

TEST_F(StartupTest, ExitAsksTheHostToClose) {
    ASSERT_TRUE(Load());
    bool closed = false;
    form().onQuit = [&] { closed = true; };
    form().exitItem.Click();
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace quorlax::test
