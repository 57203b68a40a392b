// Start-up: settings, data files, the state after loading, the grid.
#include "form_fixture.h"

namespace quorlax::test {
namespace {

using StartupTest = FormTest;

TEST_F(StartupTest, WithNoSettingsTheDefaultsHold) {
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().BackColor, 0x00FF8000u);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(form().Label(i).ForeColor, forms::kYellow);
        EXPECT_EQ(form().Label(i).Font.Name, L"仿宋_GB2312");
    }
    EXPECT_EQ(form().Caption, L"Quorlax");
    EXPECT_TRUE(form().Visible);
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(StartupTest, AfterStartupNothingRunsAndTheCountersShowTheirStart) {
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().Label11.Caption(), L"5");
    EXPECT_EQ(form().Label6.Caption(), L"0");
    EXPECT_EQ(form().Label9.Caption(), L"0");
    EXPECT_EQ(form().Label16.Caption(), L"0");
    EXPECT_EQ(form().Label13.Caption(), L"1");
    EXPECT_EQ(form().Label19.Caption(), L"0");
    EXPECT_FALSE(form().Label15.Visible);
    EXPECT_FALSE(form().Timer1.Running());
    EXPECT_EQ(form().Timer1.Interval(), 0);
    EXPECT_FALSE(form().Timer2.Enabled());
    EXPECT_TRUE(form().sd(1).Checked);
    for (int i = 2; i <= 11; ++i) EXPECT_FALSE(form().sd(i).Checked);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_FLOAT_EQ(form().Label(i).Top, -400);
        EXPECT_FLOAT_EQ(form().Label(i).Font.Size, 9);
    }
    EXPECT_FALSE(form().GameModeChecked());
    EXPECT_EQ(form().battle.battleWins, 0);
    EXPECT_EQ(form().practice.typedPos(), 1);
}

TEST_F(StartupTest, StoredAppearanceIsApplied) {
    fakes_.settings.Save(L"register", L"ys1", L"255");
    fakes_.settings.Save(L"register", L"wz1", L"16744448");
    fakes_.settings.Save(L"register", L"wzzt", L"黑体");
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().BackColor, 0x000000FFu);
    EXPECT_EQ(form().Label(3).ForeColor, 0x00FF8000u);
    EXPECT_EQ(form().practice.Label22.ForeColor, 0x00FF8000u);
    EXPECT_EQ(form().Label(1).Font.Name, L"黑体");
    EXPECT_EQ(form().Label6.Font.Name, L"黑体");
    EXPECT_EQ(form().practice.La(406).Font.Name, L"黑体") << "the grid copies La(0)";
    EXPECT_EQ(form().practice.La(406).BackColor, 0x000000FFu);
}

TEST_F(StartupTest, HandEditedColoursThatAreNoNumberCountAsAbsent) {
    fakes_.settings.Save(L"register", L"ys1", L"blue");
    fakes_.settings.Save(L"register", L"wz1", L"12.5x");
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().BackColor, kDefaultBackColor);
    EXPECT_EQ(form().Label(1).ForeColor, forms::kYellow);
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
    EXPECT_EQ(form().charPool, L" 中国 人民 我们 世界 中国 人民 我们 世界 中国 人民 我们 世界 的");
    EXPECT_EQ(form().codeTable, L"中khk 国lgyi");
}

TEST_F(StartupTest, PoolWithoutWordsIsReportedOnceAndChineseGamesNeverHang) {
    fakes_.files.files[L"vbyx.dll"] = L"";
    ASSERT_TRUE(Load());
    EXPECT_EQ(form().charPool, L"");
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_FALSE(form().s2.Enabled);
    SequenceRandom& r = random();
    int before = r.taken;
    form().s2_Click();  // still reachable through a battle; must not loop
    EXPECT_EQ(r.taken, before);
    EXPECT_EQ(form().Label(1).Caption(), L"Text3");
}

TEST_F(StartupTest, PracticeGridHas406CellsIn14RowsOf29) {
    ASSERT_TRUE(Load());
    EXPECT_FLOAT_EQ(form().practice.La(1).Left, 90);
    EXPECT_FLOAT_EQ(form().practice.La(1).Top, 60);
    EXPECT_FLOAT_EQ(form().practice.La(29).Left, 11290);
    EXPECT_FLOAT_EQ(form().practice.La(30).Left, 90);
    EXPECT_FLOAT_EQ(form().practice.La(30).Top, 510);
    EXPECT_FLOAT_EQ(form().practice.La(406).Left, 11290);
    EXPECT_FLOAT_EQ(form().practice.La(406).Top, 5910);
    for (int r = 0; r < 14; ++r)
        for (int c = 0; c < 29; ++c) {
            const auto& cell = form().practice.La(29 * r + c + 1);
            ASSERT_FLOAT_EQ(cell.Left, 90 + 400.0f * c);
            ASSERT_FLOAT_EQ(cell.Top, 60 + 450.0f * r);
            ASSERT_TRUE(cell.Visible);
            ASSERT_EQ(cell.Caption(), L"");
        }
}

TEST_F(StartupTest, MenusHaveTheirCaptionsShortcutsAndDesignStates) {
    ASSERT_TRUE(Load());
    ASSERT_EQ(form().MenuBar.size(), 4u);
    EXPECT_EQ(form().MenuBar[0]->Caption, L" 文 件");
    EXPECT_EQ(form().MenuBar[2]->Caption, L" 生 命 ");
    EXPECT_FALSE(form().sm1.Enabled);
    EXPECT_FALSE(form().sd(11).Visible);
    EXPECT_FALSE(form().sd(11).Enabled);
    EXPECT_EQ(form().s2.Shortcut, L"Ctrl+H");
    EXPECT_EQ(form().yw1.Shortcut, L"Ctrl+Y");
    EXPECT_EQ(form().sz1.Shortcut, L"Ctrl+S");
    EXPECT_EQ(form().appearance.wzzt.Shortcut, L"Ctrl+K");
}

TEST_F(StartupTest, ExitAsksTheHostToClose) {
    ASSERT_TRUE(Load());
    bool closed = false;
    form().Unload = [&] { closed = true; };
    form().exit.Click();
    EXPECT_TRUE(closed);
}

}  // namespace
}  // namespace quorlax::test
