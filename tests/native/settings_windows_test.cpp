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
        chooser().LoadOrFront();
    }
    PictureChooserForm& chooser() { return form().settings.pictureChooser; }
    int DirEntry(const std::wstring& path) {
        const auto& paths = chooser().folderList.Paths;
        auto it = std::find(paths.begin(), paths.end(), path);
        return it == paths.end() ? -1 : static_cast<int>(it - paths.begin());
    }
    int FileEntry(const std::wstring& name) {
        const auto& list = chooser().fileList.List;
        auto it = std::find(list.begin(), list.end(), name);
        return it == list.end() ? -1 : static_cast<int>(it - list.begin());
    }
    std::wstring T1() { return fakes_.settings.Get(L"register", L"t1"); }
    bool T1Stored() { return fakes_.settings.values.count({L"register", L"t1"}) > 0; }
};

TEST_F(ChooserTest, LoadOpensDriveCWithThePicturePatternAndTheMainColour) {
    PictureChooserForm& c = chooser();
    EXPECT_TRUE(c.Loaded());
    EXPECT_EQ(c.BackColor, kDefaultBackColor);
    EXPECT_EQ(c.driveList.List, (std::vector<std::wstring>{L"a:", L"c:", L"d:"}));
    EXPECT_EQ(c.driveList.ListIndex, 1);
    EXPECT_EQ(c.folderList.Path, L"c:\\");
    EXPECT_EQ(c.folderList.List, (std::vector<std::wstring>{L"c:\\", L"  pics", L"  Windows"}));
    EXPECT_EQ(c.patternBox.Text, L"*.bmp;*.jpg");
    EXPECT_EQ(c.fileList.List, (std::vector<std::wstring>{L"sky.bmp", L"Sun.JPG"}));
    EXPECT_EQ(c.pathBox.Text(), L"c:\\");
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChooserTest, ChosenAgainWhileOpenItComesToTheFrontAsTheUserLeftIt) {
    int fronts = 0;
    chooser().OnFront = [&] { ++fronts; };
    chooser().OpenFolder(DirEntry(L"c:\\pics"));
    form().settings.OnBackPicture();
    EXPECT_EQ(fronts, 1);
    EXPECT_EQ(chooser().folderList.Path, L"c:\\pics") << "not loaded afresh";
}

TEST_F(ChooserTest, AFileClickedInTheRootAndInAFolderGivesItsPath) {
    PictureChooserForm& c = chooser();
    c.OnFileClick(FileEntry(L"sky.bmp"));
    EXPECT_EQ(c.pathBox.Text(), L"c:\\sky.bmp");
    c.OpenFolder(DirEntry(L"c:\\pics"));
    EXPECT_EQ(c.pathBox.Text(), L"c:\\pics") << "a folder change shows the folder";
    EXPECT_EQ(c.folderList.List, (std::vector<std::wstring>{L"c:\\", L"  pics", L"    old"}));
    EXPECT_EQ(c.folderList.ListIndex, 1);
    c.OnFileClick(FileEntry(L"moon.jpg"));
    EXPECT_EQ(c.pathBox.Text(), L"c:\\pics\\moon.jpg");
    // Back up through the folder above.
    c.OpenFolder(DirEntry(L"c:\\"));
    EXPECT_EQ(c.pathBox.Text(), L"c:\\");
}

TEST_F(ChooserTest, TheBoxsPatternIsAppliedOnEditAndOnEveryFolderChange) {
    PictureChooserForm& c = chooser();
    c.patternBox.Text = L"*.*";  // typed, its handler not yet run
    c.OpenFolder(DirEntry(L"c:\\pics"));
    EXPECT_EQ(c.fileList.List, (std::vector<std::wstring>{L"list.txt", L"moon.jpg", L"README", L"star.bmp"}));
    c.patternBox.Text = L"*.txt;*.bmp";
    c.OnPatternEdit();
    EXPECT_EQ(c.fileList.List, (std::vector<std::wstring>{L"list.txt", L"star.bmp"}));
    c.OnPatternPick(0);
    EXPECT_EQ(c.fileList.List, (std::vector<std::wstring>{L"moon.jpg", L"star.bmp"}));
}

TEST_F(ChooserTest, OkLoadsThenStoresAndAPathThatGivesNoPictureStoresNothing) {
    PictureChooserForm& c = chooser();
    c.OpenFolder(DirEntry(L"c:\\pics"));
    c.OnOk();  // the path box shows the folder
    EXPECT_EQ(fakes_.pictures.loads.back(), L"c:\\pics");
    EXPECT_FALSE(T1Stored());
    EXPECT_EQ(form().board.picture, nullptr);

    c.OnFileClick(FileEntry(L"moon.jpg"));
    c.OnOk();
    ASSERT_NE(form().board.picture, nullptr);
    EXPECT_EQ(T1(), L"c:\\pics\\moon.jpg");

    c.OnFileClick(FileEntry(L"star.bmp"));  // not a picture the loader takes
    c.OnOk();
    EXPECT_EQ(T1(), L"c:\\pics\\moon.jpg") << "stored nothing";
    EXPECT_EQ(static_cast<FakeImage*>(form().board.picture.get())->path, L"c:\\pics\\moon.jpg")
        << "kept the picture";
    EXPECT_TRUE(c.Loaded()) << "OK leaves the window open";
    EXPECT_TRUE(fakes_.messages.shown.empty()) << "and says nothing";
}

TEST_F(ChooserTest, ClearRemovesThePictureAndStoresAnEmptyPath) {
    PictureChooserForm& c = chooser();
    c.OnFileClick(FileEntry(L"sky.bmp"));
    c.OnOk();
    ASSERT_NE(form().board.picture, nullptr);
    c.OnClear();
    EXPECT_EQ(form().board.picture, nullptr);
    EXPECT_TRUE(T1Stored());
    EXPECT_EQ(T1(), L"");
    form().settings.RestoreStoredPicture();  // what the next start-up does
    EXPECT_EQ(form().board.picture, nullptr);
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChooserTest, AChoiceTheStoreRefusesIsShownButToldOnceAsNotKept) {
    PictureChooserForm& c = chooser();
    fakes_.settings.refuse = true;
    c.OnFileClick(FileEntry(L"sky.bmp"));
    c.OnOk();
    EXPECT_NE(form().board.picture, nullptr) << "shown for this run";
    c.OnClear();
    EXPECT_EQ(fakes_.messages.shown, std::vector<std::wstring>{kPictureUnsaved});
}

TEST_F(ChooserTest, ADriveThatIsNotReadyIsSkippedSilently) {
    PictureChooserForm& c = chooser();
    c.OpenFolder(DirEntry(L"c:\\pics"));
    c.ChooseDrive(2);  // d: has no disk
    EXPECT_EQ(c.folderList.Path, L"c:\\pics");
    EXPECT_EQ(c.driveList.Drive, L"c:\\");
    EXPECT_EQ(c.driveList.ListIndex, 1) << "the drive list shows the drive still open";
    EXPECT_EQ(c.pathBox.Text(), L"c:\\pics");
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(ChooserTest, ExitClosesAndTheNextOpeningRunsTheLoadAgain) {
    PictureChooserForm& c = chooser();
    c.OpenFolder(DirEntry(L"c:\\pics"));
    c.OnExit();
    EXPECT_FALSE(c.Loaded());
    form().board.backColor = 0x00123456;
    form().settings.backPictureItem.Click();
    EXPECT_TRUE(c.Loaded());
    EXPECT_EQ(c.BackColor, 0x00123456u);
    EXPECT_EQ(c.folderList.Path, L"c:\\");
}

TEST_F(ChooserTest, AGameStartClosesTheChooserAndTheAboutBox) {
    form().settings.aboutItem.Click();
    form().game.StartGame(GamePool::English);
    EXPECT_FALSE(chooser().Loaded());
    EXPECT_FALSE(form().settings.about.Loaded());
}

class HelpAboutTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(Load());
    }
    AboutForm& about() { return form().settings.about; }
    HallOfFameForm& hof() { return form().scores.hallOfFame; }
};

TEST_F(HelpAboutTest, HelpOpensThePageBesideTheProgram) {
    form().settings.helpItem.Click();
    EXPECT_EQ(fakes_.shell.opened, (std::vector<std::wstring>{L"C:\\Games\\Quorlax\\help.htm"}));
    EXPECT_TRUE(fakes_.messages.shown.empty());
}

TEST_F(HelpAboutTest, AMissingPageOrNoViewerIsNamedWithItsFolder) {
    fakes_.shell.result = ShellResult::NotFound;
    form().settings.helpItem.Click();
    fakes_.shell.result = ShellResult::NoProgram;
    form().settings.helpItem.Click();
    ASSERT_EQ(fakes_.messages.shown.size(), 2u);
    for (const auto& text : fakes_.messages.shown) {
        EXPECT_NE(text.find(L"help.htm"), std::wstring::npos) << text;
        EXPECT_NE(text.find(L"C:\\Games\\Quorlax"), std::wstring::npos) << text;
    }
    EXPECT_NE(fakes_.messages.shown[0], fakes_.messages.shown[1]);
}

TEST_F(HelpAboutTest, AboutShowsTheVersionAndClosesTheHallOfFame) {
    hof().RankingMenu();
    form().settings.aboutItem.Click();
    EXPECT_TRUE(about().Loaded());
    EXPECT_FALSE(hof().Loaded());
    EXPECT_EQ(about().versionLine.Caption(), std::wstring(L"V ") + L"" QUORLAX_VERSION_TEXT);
    EXPECT_EQ(about().BackColor, kDefaultBackColor);
    hof().RankingMenu();
    EXPECT_FALSE(about().Loaded()) << "the ranking menu closes About";
}

TEST_F(HelpAboutTest, OkClosesTheBoxAndTheHallOfFame) {
    form().settings.aboutItem.Click();
    hof().Load();
    about().OnOk();
    EXPECT_FALSE(about().Loaded());
    EXPECT_FALSE(hof().Loaded());
}

TEST_F(HelpAboutTest, ALinkOpensItsFileBesideTheProgramAndClosesTheBoxEvenWhenTheShellFails) {
    fakes_.shell.result = ShellResult::Failed;
    form().settings.aboutItem.Click();
    about().OnCodeTableLicence();
    EXPECT_EQ(fakes_.shell.opened, (std::vector<std::wstring>{L"C:\\Games\\Quorlax\\LICENSE.LGPL-3"}));
    EXPECT_FALSE(about().Loaded());
    EXPECT_TRUE(fakes_.messages.shown.empty()) << "the shell's result is not reported";
}

TEST_F(HelpAboutTest, GameOverClosesTheAboutBox) {
    form().game.StartGame(GamePool::English);
    form().settings.aboutItem.Click();
    form().game.livesLabel.SetCaption(L"0");
    EXPECT_FALSE(about().Loaded());
}

}  // namespace
}  // namespace quorlax::test
