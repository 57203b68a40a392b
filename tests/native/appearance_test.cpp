// The appearance commands and the stored background picture.
#include "core/stored_names.h"
#include "form_fixture.h"

namespace quorlax::test {
namespace {

class AppearanceTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
    }
    std::wstring Stored(const wchar_t* key) { return fakes_.settings.Get(L"register", key); }
};

TEST_F(AppearanceTest, BackgroundColourIsAppliedAndStoredAsSignedDecimal) {
    fakes_.dialogs.colors.push_back(0x000000FF);
    form().settings.OnBackColor();
    EXPECT_EQ(form().board.backColor, 0x000000FFu);
    EXPECT_EQ(Stored(L"ys1"), L"255");
    EXPECT_EQ(form().practice.cells(200).BackColor, 0x000000FFu);
    EXPECT_EQ(fakes_.dialogs.titles, (std::vector<std::wstring>{L"Background..."}));
    fakes_.dialogs.colors.push_back(0x00FF8000);
    form().settings.OnBackColor();
    EXPECT_EQ(Stored(L"ys1"), L"16744448");
}

TEST_F(AppearanceTest, BlackOrCancelChangesNothingButCellBackgroundsAreReset) {
    form().practice.cells(5).BackColor = 0x0000FF00;
    fakes_.dialogs.colors.push_back(0x00000000);
    form().settings.OnBackColor();
    EXPECT_EQ(form().board.backColor, kDefaultBackColor);
    EXPECT_EQ(Stored(L"ys1"), L"");
    EXPECT_EQ(form().practice.cells(5).BackColor, kDefaultBackColor);
    form().practice.cells(5).BackColor = 0x0000FF00;
    fakes_.dialogs.colors.push_back(std::nullopt);
    form().settings.OnBackColor();
    EXPECT_EQ(Stored(L"ys1"), L"");
    EXPECT_EQ(form().practice.cells(5).BackColor, kDefaultBackColor);
}

TEST_F(AppearanceTest, TextColourReachesLabelsAndEveryCell) {
    fakes_.dialogs.colors.push_back(0x000000FF);
    form().settings.OnTextColor();
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(form().game.fallingLabels(i).ForeColor, 0x000000FFu);
    EXPECT_EQ(form().practice.codeLabel.ForeColor, 0x000000FFu);
    EXPECT_EQ(form().practice.cells(0).ForeColor, 0x000000FFu);
    EXPECT_EQ(form().practice.cells(406).ForeColor, 0x000000FFu);
    EXPECT_EQ(Stored(L"wz1"), L"255");
    fakes_.dialogs.colors.push_back(0x00000000);
    form().settings.OnTextColor();
    EXPECT_EQ(form().game.fallingLabels(1).ForeColor, 0x000000FFu) << "black is no choice";
}

TEST_F(AppearanceTest, FontFaceReachesEveryListedControlAndIsStored) {
    fakes_.dialogs.fonts.push_back(L"楷体_GB2312");
    form().settings.OnTextFont();
    EXPECT_EQ(fakes_.dialogs.titles.back(), L"字体");
    EXPECT_EQ(form().game.fallingLabels(3).Font.Name, L"楷体_GB2312");
    EXPECT_FLOAT_EQ(form().game.fallingLabels(3).Font.Size, 9) << "only the face changes";
    EXPECT_EQ(form().game.speedUnit.Font.Name, L"楷体_GB2312");
    EXPECT_EQ(form().practice.cells(406).Font.Name, L"楷体_GB2312");
    EXPECT_EQ(form().game.gameOverBanner.Font.Name, L"黑体") << "the banner is not in the list";
    EXPECT_EQ(Stored(L"wzzt"), L"楷体_GB2312");
    fakes_.dialogs.fonts.push_back(std::nullopt);
    form().settings.OnTextFont();
    EXPECT_EQ(Stored(L"wzzt"), L"楷体_GB2312");
}

TEST_F(AppearanceTest, ChoicesTheStoreRefusesHoldForTheRunAndAreToldOnce) {
    fakes_.settings.refuse = true;  // as a key denied by policy
    fakes_.dialogs.colors = {0x000000FF, 0x0000FF00};
    fakes_.dialogs.fonts.push_back(L"楷体_GB2312");
    form().settings.OnBackColor();
    form().settings.OnTextColor();
    form().settings.OnTextFont();
    form().practice.codeHintItem.Click();
    EXPECT_EQ(form().board.backColor, 0x000000FFu);
    EXPECT_EQ(form().game.fallingLabels(1).ForeColor, 0x0000FF00u);
    EXPECT_EQ(form().game.fallingLabels(1).Font.Name, L"楷体_GB2312");
    EXPECT_TRUE(form().practice.codeHintItem.Checked);
    EXPECT_EQ(fakes_.messages.shown, std::vector<std::wstring>{kAppearanceUnsaved});

    fakes_.settings.refuse = false;  // a store that takes it says nothing
    form().practice.codeHintItem.Click();
    EXPECT_EQ(Stored(L"tsbm"), L"0");
    EXPECT_EQ(fakes_.messages.shown.size(), 1u);
}

TEST_F(AppearanceTest, StoredPictureIsLoadedAtGameStartsAndAMissingOneChangesNothing) {
    fakes_.pictures.existing = {L"C:\\pics\\sky.jpg"};
    fakes_.settings.Save(L"register", L"t1", L"C:\\pics\\sky.jpg");
    form().game.StartGame(GamePool::English);
    ASSERT_NE(form().board.picture, nullptr);
    auto shown = form().board.picture;
    fakes_.settings.Save(L"register", L"t1", L"C:\\pics\\gone.bmp");
    form().game.StartGame(GamePool::English);
    EXPECT_EQ(form().board.picture, shown) << "a failed load keeps the picture";
    fakes_.settings.Save(L"register", L"t1", L"");
    form().game.StartGame(GamePool::English);
    EXPECT_EQ(form().board.picture, nullptr) << "the empty path means no picture";
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(AppearanceTest, StoredPictureIsLoadedAtStartup) {
    fakes_.pictures.existing = {L"D:\\bg.bmp"};
    fakes_.settings.Save(L"register", L"t1", L"D:\\bg.bmp");
    ASSERT_TRUE(Load());
    EXPECT_NE(form().board.picture, nullptr);
}

}  // namespace
}  // namespace quorlax::test
