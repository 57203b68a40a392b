// The settings room's windows as rules: the picture chooser's path and
// pattern rules, its OK and clear; the help page; the About box and which
// windows close which.
#include <algorithm>

#include "native/form_fixture.h"
#include "quorlax_version.h"

namespace quorlax::test {
namespace {

TEST(ChooserRules, APathGetsNoSecondBackslashAfterADriveRoot) {
    EXPECT_EQ(JoinPath(L"c:\\", L"name.bmp"), L"c:\\name.bmp");
    EXPECT_EQ(JoinPath(L"c:\\pics", L"name.bmp"), L"c:\\pics\\name.bmp");
    EXPECT_EQ(DriveRoot(L"D:\\Pics\\a"), L"d:\\");
}

TEST(ChooserRules, PatternsAreSeparatedBySemicolonsAndIgnoreCase) {
    EXPECT_TRUE(MatchesPattern(L"SKY.BMP", L"*.bmp;*.jpg"));
    EXPECT_TRUE(MatchesPattern(L"sun.jpg", L" *.bmp ; *.jpg "));
    EXPECT_FALSE(MatchesPattern(L"sun.jpeg", L"*.bmp;*.jpg"));
    EXPECT_FALSE(MatchesPattern(L"notes.txt", L"*.bmp;*.jpg"));
    EXPECT_FALSE(MatchesPattern(L"bmp", L"*.bmp"));
    EXPECT_TRUE(MatchesPattern(L"README", L"*.*")) << "*.* takes names without a dot";
    EXPECT_TRUE(MatchesPattern(L"a1c.txt", L"a?c.*"));
    EXPECT_TRUE(MatchesPattern(L"anything", L""));
    EXPECT_FALSE(MatchesPattern(L"abc", L";;"));
}

class ChooserTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        auto& f = fakes_.folders;
        f.drives = {L"a:\\", L"c:\\", L"d:\\"};
        f.folders[L"c:\\"] = {{L"pics", L"Windows"}, {L"sky.bmp", L"boot.ini", L"Sun.JPG"}};
        f.folders[L"c:\\pics"] = {{L"old"}, {L"moon.jpg", L"list.txt", L"star.bmp", L"README"}};
        f.folders[L"c:\\pics\\old"] = {{}, {L"a.bmp"}};
        fakes_.pictures.existing = {L"c:\\sky.bmp", L"c:\\pics\\moon.jpg"};
        ASSERT_TRUE(Load());
        chooser().Load();
    }
    Form4& chooser() { return form().appearance.form4; }
    int DirEntry(const std::wstring& path) {
        const auto& paths = chooser().Dir1.Paths;
        auto it = std::find(paths.begin(), paths.end(), path);
        return it == paths.end() ? -1 : static_cast<int>(it - paths.begin());
    }
    int FileEntry(const std::wstring& name) {
        const auto& list = chooser().File1.List;
        auto it = std::find(list.begin(), list.end(), name);
        return it == list.end() ? -1 : static_cast<int>(it - list.begin());
    }
    std::wstring T1() { return fakes_.settings.Get(kSectionRegister, L"t1"); }
    bool T1Stored() { return fakes_.settings.values.count({kSectionRegister, L"t1"}) > 0; }
};

TEST_F(ChooserTest, LoadOpensDriveCWithThePicturePatternAndTheMainColour) {
    Form4& c = chooser();
    EXPECT_TRUE(c.Loaded());
    EXPECT_EQ(c.BackColor, kDefaultBackColor);
    EXPECT_EQ(c.Drive1.List, (std::vector<std::wstring>{L"a:", L"c:", L"d:"}));
    EXPECT_EQ(c.Drive1.ListIndex, 1);
    EXPECT_EQ(c.Dir1.Path, L"c:\\");
    EXPECT_EQ(c.Dir1.List, (std::vector<std::wstring>{L"c:\\", L"  pics", L"  Windows"}));
    EXPECT_EQ(c.Combo1.Text, L"*.bmp;*.jpg");
    EXPECT_EQ(c.File1.List, (std::vector<std::wstring>{L"sky.bmp", L"Sun.JPG"}));
    EXPECT_EQ(c.Text2.Text(), L"c:\\");
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChooserTest, AFileClickedInTheRootAndInAFolderGivesItsPath) {
    Form4& c = chooser();
    c.File1_Click(FileEntry(L"sky.bmp"));
    EXPECT_EQ(c.Text2.Text(), L"c:\\sky.bmp");
    c.OpenFolder(DirEntry(L"c:\\pics"));
    EXPECT_EQ(c.Text2.Text(), L"c:\\pics") << "a folder change shows the folder";
    EXPECT_EQ(c.Dir1.List, (std::vector<std::wstring>{L"c:\\", L"  pics", L"    old"}));
    EXPECT_EQ(c.Dir1.ListIndex, 1);
    c.File1_Click(FileEntry(L"moon.jpg"));
    EXPECT_EQ(c.Text2.Text(), L"c:\\pics\\moon.jpg");
    // Back up through the folder above.
    c.OpenFolder(DirEntry(L"c:\\"));
    EXPECT_EQ(c.Text2.Text(), L"c:\\");
}

TEST_F(ChooserTest, TheBoxsPatternIsAppliedOnEditAndOnEveryFolderChange) {
    Form4& c = chooser();
    c.Combo1.Text = L"*.*";  // typed, its handler not yet run
    c.OpenFolder(DirEntry(L"c:\\pics"));
    EXPECT_EQ(c.File1.List, (std::vector<std::wstring>{L"list.txt", L"moon.jpg", L"README", L"star.bmp"}));
    c.Combo1.Text = L"*.txt;*.bmp";
    c.Combo1_Change();
    EXPECT_EQ(c.File1.List, (std::vector<std::wstring>{L"list.txt", L"star.bmp"}));
    c.Combo1_Click(0);
    EXPECT_EQ(c.File1.List, (std::vector<std::wstring>{L"moon.jpg", L"star.bmp"}));
}

TEST_F(ChooserTest, OkLoadsThenStoresAndAPathThatGivesNoPictureStoresNothing) {
    Form4& c = chooser();
    c.OpenFolder(DirEntry(L"c:\\pics"));
    c.Command1_Click();  // the path box shows the folder
    EXPECT_EQ(fakes_.pictures.loads.back(), L"c:\\pics");
    EXPECT_FALSE(T1Stored());
    EXPECT_EQ(form().Picture, nullptr);

    c.File1_Click(FileEntry(L"moon.jpg"));
    c.Command1_Click();
    ASSERT_NE(form().Picture, nullptr);
    EXPECT_EQ(T1(), L"c:\\pics\\moon.jpg");

    c.File1_Click(FileEntry(L"star.bmp"));  // not a picture the loader takes
    c.Command1_Click();
    EXPECT_EQ(T1(), L"c:\\pics\\moon.jpg") << "stored nothing";
    EXPECT_EQ(static_cast<FakeImage*>(form().Picture.get())->path, L"c:\\pics\\moon.jpg")
        << "kept the picture";
    EXPECT_TRUE(c.Loaded()) << "OK leaves the window open";
    EXPECT_TRUE(fakes_.messages.shown.empty()) << "and says nothing";
}

TEST_F(ChooserTest, ClearRemovesThePictureAndStoresAnEmptyPath) {
    Form4& c = chooser();
    c.File1_Click(FileEntry(L"sky.bmp"));
    c.Command1_Click();
    ASSERT_NE(form().Picture, nullptr);
    c.Command3_Click();
    EXPECT_EQ(form().Picture, nullptr);
    EXPECT_TRUE(T1Stored());
    EXPECT_EQ(T1(), L"");
    form().appearance.xuantu();  // what the next start-up does
    EXPECT_EQ(form().Picture, nullptr);
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChooserTest, AChoiceTheStoreRefusesIsShownButToldOnceAsNotKept) {
    Form4& c = chooser();
    fakes_.settings.refuse = true;
    c.File1_Click(FileEntry(L"sky.bmp"));
    c.Command1_Click();
    EXPECT_NE(form().Picture, nullptr) << "shown for this run";
    c.Command3_Click();
    EXPECT_EQ(fakes_.messages.shown, std::vector<std::wstring>{kPictureUnsaved});
}

TEST_F(ChooserTest, ADriveThatIsNotReadyIsSkippedSilently) {
    Form4& c = chooser();
    c.OpenFolder(DirEntry(L"c:\\pics"));
    c.ChooseDrive(2);  // d: has no disk
    EXPECT_EQ(c.Dir1.Path, L"c:\\pics");
    EXPECT_EQ(c.Drive1.Drive, L"c:\\");
    EXPECT_EQ(c.Drive1.ListIndex, 1) << "the drive list shows the drive still open";
    EXPECT_EQ(c.Text2.Text(), L"c:\\pics");
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChooserTest, ExitClosesAndTheNextOpeningRunsTheLoadAgain) {
    Form4& c = chooser();
    c.OpenFolder(DirEntry(L"c:\\pics"));
    c.Command2_Click();
    EXPECT_FALSE(c.Loaded());
    form().BackColor = 0x00123456;
    form().appearance.tt.Click();
    EXPECT_TRUE(c.Loaded());
    EXPECT_EQ(c.BackColor, 0x00123456u);
    EXPECT_EQ(c.Dir1.Path, L"c:\\");
}

TEST_F(ChooserTest, AGameStartClosesTheChooserAndTheAboutBox) {
    form().appearance.guanyu.Click();
    form().yw1_Click();
    EXPECT_FALSE(chooser().Loaded());
    EXPECT_FALSE(form().appearance.form3.Loaded());
}

class HelpAboutTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
    }
    Form3& about() { return form().appearance.form3; }
    Form2& hof() { return form().scores.form2; }
};

TEST_F(HelpAboutTest, HelpOpensThePageBesideTheProgram) {
    form().appearance.bang.Click();
    EXPECT_EQ(fakes_.shell.opened, (std::vector<std::wstring>{L"C:\\Games\\Quorlax\\help.htm"}));
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(HelpAboutTest, AMissingPageOrNoViewerIsNamedWithItsFolder) {
    fakes_.shell.result = ShellResult::NotFound;
    form().appearance.bang.Click();
    fakes_.shell.result = ShellResult::NoProgram;
    form().appearance.bang.Click();
    ASSERT_EQ(fakes_.messages.shown.size(), 2u);
    for (const auto& text : fakes_.messages.shown) {
        EXPECT_NE(text.find(L"help.htm"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"C:\\Games\\Quorlax"), std::wstring::npos) << text;
    }
    EXPECT_NE(fakes_.messages.shown[0], fakes_.messages.shown[1]);
}

TEST_F(HelpAboutTest, AboutShowsTheVersionAndClosesTheHallOfFame) {
    hof().RankingMenu();
    form().appearance.guanyu.Click();
    EXPECT_TRUE(about().Loaded());
    EXPECT_FALSE(hof().Loaded());
    EXPECT_EQ(about().Label4.Caption(), std::wstring(L"V ") + L"" QUORLAX_VERSION_TEXT);
    EXPECT_EQ(about().BackColor, kDefaultBackColor);
    hof().RankingMenu();
    EXPECT_FALSE(about().Loaded()) << "the ranking menu closes About";
}

TEST_F(HelpAboutTest, OkClosesTheBoxAndTheHallOfFame) {
    form().appearance.guanyu.Click();
    hof().Load();
    about().Command1_Click();
    EXPECT_FALSE(about().Loaded());
    EXPECT_FALSE(hof().Loaded());
}

TEST_F(HelpAboutTest, ALinkOpensItsFileBesideTheProgramAndClosesTheBoxEvenWhenTheShellFails) {
    fakes_.shell.result = ShellResult::Failed;
    form().appearance.guanyu.Click();
    about().Label6_Click();
    EXPECT_EQ(fakes_.shell.opened, (std::vector<std::wstring>{L"C:\\Games\\Quorlax\\LICENSE.LGPL-3"}));
    EXPECT_FALSE(about().Loaded());
    EXPECT_TRUE(fakes_.messages.shown.empty()) << "the shell's result is not reported";
}

TEST_F(HelpAboutTest, GameOverClosesTheAboutBox) {
    form().yw1_Click();
    form().appearance.guanyu.Click();
    form().Label11.SetCaption(L"0");
    EXPECT_FALSE(about().Loaded());
}

}  // namespace
}  // namespace quorlax::test
