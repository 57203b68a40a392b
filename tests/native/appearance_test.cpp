// The appearance commands and the stored background picture.
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
    form().appearance.ys_Click();
    EXPECT_EQ(form().BackColor, 0x000000FFu);
    EXPECT_EQ(Stored(L"ys1"), L"255");
    EXPECT_EQ(form().practice.La(200).BackColor, 0x000000FFu);
    EXPECT_EQ(fakes_.dialogs.titles, (std::vector<std::wstring>{L"Background..."}));
    fakes_.dialogs.colors.push_back(0x00FF8000);
    form().appearance.ys_Click();
    EXPECT_EQ(Stored(L"ys1"), L"16744448");
}

TEST_F(AppearanceTest, BlackOrCancelChangesNothingButCellBackgroundsAreReset) {
    form().practice.La(5).BackColor = 0x0000FF00;
    fakes_.dialogs.colors.push_back(0x00000000);
    form().appearance.ys_Click();
    EXPECT_EQ(form().BackColor, kDefaultBackColor);
    EXPECT_EQ(Stored(L"ys1"), L"");
    EXPECT_EQ(form().practice.La(5).BackColor, kDefaultBackColor);
    form().practice.La(5).BackColor = 0x0000FF00;
    fakes_.dialogs.colors.push_back(std::nullopt);
    form().appearance.ys_Click();
    EXPECT_EQ(Stored(L"ys1"), L"");
    EXPECT_EQ(form().practice.La(5).BackColor, kDefaultBackColor);
}

TEST_F(AppearanceTest, TextColourReachesLabelsAndEveryCell) {
    fakes_.dialogs.colors.push_back(0x000000FF);
    form().appearance.wzys_Click();
    for (int i = 1; i <= 5; ++i) EXPECT_EQ(form().Label(i).ForeColor, 0x000000FFu);
    EXPECT_EQ(form().practice.Label22.ForeColor, 0x000000FFu);
    EXPECT_EQ(form().practice.La(0).ForeColor, 0x000000FFu);
    EXPECT_EQ(form().practice.La(406).ForeColor, 0x000000FFu);
    EXPECT_EQ(Stored(L"wz1"), L"255");
    fakes_.dialogs.colors.push_back(0x00000000);
    form().appearance.wzys_Click();
    EXPECT_EQ(form().Label(1).ForeColor, 0x000000FFu) << "black is no choice";
}

TEST_F(AppearanceTest, FontFaceReachesEveryListedControlAndIsStored) {
    fakes_.dialogs.fonts.push_back(L"楷体_GB2312");
    form().appearance.wzzt_Click();
    EXPECT_EQ(fakes_.dialogs.titles.back(), L"字体");
    EXPECT_EQ(form().Label(3).Font.Name, L"楷体_GB2312");
    EXPECT_FLOAT_EQ(form().Label(3).Font.Size, 9) << "only the face changes";
    EXPECT_EQ(form().Label14.Font.Name, L"楷体_GB2312");
    EXPECT_EQ(form().practice.La(406).Font.Name, L"楷体_GB2312");
    EXPECT_EQ(form().Label15.Font.Name, L"黑体") << "the banner is not in the list";
    EXPECT_EQ(Stored(L"wzzt"), L"楷体_GB2312");
    fakes_.dialogs.fonts.push_back(std::nullopt);
    form().appearance.wzzt_Click();
    EXPECT_EQ(Stored(L"wzzt"), L"楷体_GB2312");
}

TEST_F(AppearanceTest, ChoicesTheStoreRefusesHoldForTheRunAndAreToldOnce) {
    fakes_.settings.refuse = true;  // as a key denied by policy
    fakes_.dialogs.colors = {0x000000FF, 0x0000FF00};
    fakes_.dialogs.fonts.push_back(L"楷体_GB2312");
    form().appearance.ys_Click();
    form().appearance.wzys_Click();
    form().appearance.wzzt_Click();
    form().appearance.tsbm_Click();
    EXPECT_EQ(form().BackColor, 0x000000FFu);
    EXPECT_EQ(form().Label(1).ForeColor, 0x0000FF00u);
    EXPECT_EQ(form().Label(1).Font.Name, L"楷体_GB2312");
    EXPECT_TRUE(form().appearance.tsbm.Checked);
    EXPECT_EQ(fakes_.messages.shown, std::vector<std::wstring>{kAppearanceUnsaved});

    fakes_.settings.refuse = false;  // a store that takes it says nothing
    form().appearance.tsbm_Click();
    EXPECT_EQ(Stored(kCodeHintKey), L"0");
    EXPECT_EQ(fakes_.messages.shown.size(), 1u);
}

TEST_F(AppearanceTest, StoredPictureIsLoadedAtGameStartsAndAMissingOneChangesNothing) {
    fakes_.pictures.existing = {L"C:\\pics\\sky.jpg"};
    fakes_.settings.Save(L"register", L"t1", L"C:\\pics\\sky.jpg");
    form().yw1_Click();
    ASSERT_NE(form().Picture, nullptr);
    auto shown = form().Picture;
    fakes_.settings.Save(L"register", L"t1", L"C:\\pics\\gone.bmp");
    form().yw1_Click();
    EXPECT_EQ(form().Picture, shown) << "a failed load keeps the picture";
    fakes_.settings.Save(L"register", L"t1", L"");
    form().yw1_Click();
    EXPECT_EQ(form().Picture, nullptr) << "the empty path means no picture";
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(AppearanceTest, StoredPictureIsLoadedAtStartup) {
    fakes_.pictures.existing = {L"D:\\bg.bmp"};
    fakes_.settings.Save(L"register", L"t1", L"D:\\bg.bmp");
    ASSERT_TRUE(Load());
    EXPECT_NE(form().Picture, nullptr);
}

}  // namespace
}  // namespace quorlax::test
