// The practice room in the form: the two starts with their panel, menu and
// clock steps, the grid's labels showing the run (an input-method word
// included), the chosen file's failures, the F1 look-up, the speed a run is
// recorded with, the chart link and the pool check at start-up.
#include <algorithm>
#include <set>

#include "form_fixture.h"
#include "practice/stats.h"

namespace quorlax::test {
namespace {

class PracticeRoomTest : public PracticeFormTest {
protected:
    void ChooseFile(const std::wstring& path, std::string bytes) {
        fakes_.files.chosen[path] = std::move(bytes);
        fakes_.dialogs.paths.push_back(path);
        room().OnChosenPractice();
    }
    const forms::Label& Cell(int i) { return room().cells(i); }
    std::vector<RunRecord> Recorded() { return ParseHistory(fakes_.history.bytes, false).runs; }
};

TEST_F(PracticeRoomTest, TheBuiltInStartShowsThePanelAndFillsTheGrid) {
    form().game.StartGame(GamePool::English);
    room().OnBuiltInPractice();
    EXPECT_TRUE(room().panel.Visible);
    EXPECT_FALSE(form().game.statsPanel.Visible);
    EXPECT_TRUE(room().codeLabel.Visible);
    EXPECT_TRUE(room().builtInItem.Checked);
    EXPECT_FALSE(form().game.englishGameItem.Checked || room().chosenItem.Checked);
    EXPECT_EQ(form().board.ElapsedSeconds(), 0);
    EXPECT_TRUE(form().board.clock.Enabled());
    EXPECT_TRUE(room().cursorBlink.Enabled());
    EXPECT_FALSE(form().game.fallTimer.Enabled());
    for (int i = 1; i <= 5; ++i) EXPECT_FALSE(form().game.fallingLabels(i).Visible);
    const std::wstring& text = room().Run().practiceText();
    ASSERT_GE(text.size(), 406u);
    for (int i = 1; i <= 406; ++i) {
        ASSERT_EQ(Cell(i).Caption(), text.substr(static_cast<size_t>(i) - 1, 1)) << i;
        ASSERT_EQ(Cell(i).BackStyle, forms::BackStyle::Opaque);
        ASSERT_EQ(Cell(i).ForeColor, forms::kYellow) << "the text colour of Label(1)";
    }
    EXPECT_FLOAT_EQ(room().cursor.Left, 90 - 20);
    EXPECT_FLOAT_EQ(room().cursor.Top, 60 - 20);
    room().OnCursorBlink();
    EXPECT_TRUE(room().cursor.Visible) << "the blink shows the hidden cursor";
    room().OnCursorBlink();
    EXPECT_FALSE(room().cursor.Visible);
}

// A cell typed right is drawn bold, slanted and underlined: while a run is
// open the window is asked to make the grid's characters in that face ahead,
// each once, a slice at each tick; a run's end takes the request back.
TEST_F(PracticeRoomTest, AnOpenRunHasItsCharactersPreparedInTheTypedLookAhead) {
    forms::Scene& scene = form().board.scene;
    room().OnBuiltInPractice();
    ASSERT_TRUE(scene.prepareTimer.Enabled());
    room().endItem.Click();
    EXPECT_FALSE(scene.prepareTimer.Enabled()) << "the run's end takes the request back";

    room().OnBuiltInPractice();
    ASSERT_TRUE(scene.prepareTimer.Enabled()) << "what was taken back is asked again";
    EXPECT_FALSE(scene.TakePrepareSlice(1000)) << "nothing before a tick";
    scene.prepareTimer.Tick();
    const auto first = scene.TakePrepareSlice(3);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->first.Name, Cell(1).Font.Name);
    EXPECT_TRUE(first->first.Bold && first->first.Italic && first->first.Underline);
    std::wstring asked = first->second;
    while (scene.prepareTimer.Enabled()) {
        scene.prepareTimer.Tick();
        asked += scene.TakePrepareSlice(3)->second;
    }
    std::wstring grid;
    for (int i = 1; i <= 406; ++i) grid += Cell(i).Caption();
    for (wchar_t c : grid) ASSERT_TRUE(c <= L' ' || std::count(asked.begin(), asked.end(), c) == 1) << "once each";
    EXPECT_EQ(asked.size(), std::set<wchar_t>(asked.begin(), asked.end()).size());

    room().OnBuiltInPractice();  // a new text: only what was not made before
    scene.prepareTimer.Tick();
    if (auto next = scene.TakePrepareSlice(1000)) {
        for (wchar_t c : next->second) EXPECT_EQ(asked.find(c), std::wstring::npos);
    }
}

TEST_F(PracticeRoomTest, TheCellsShowCorrectWrongAndRestoredLooks) {
    room().OnBuiltInPractice();
    Key(room().Run().Caption(1)[0]);
    Key(L'x');
    EXPECT_TRUE(Cell(1).Font.Bold && Cell(1).Font.Italic && Cell(1).Font.Underline);
    EXPECT_EQ(Cell(1).ForeColor, 0x7F0000u) << "|0x7FFFFF − yellow|";
    EXPECT_EQ(Cell(1).BackColor, kDefaultBackColor);
    EXPECT_EQ(Cell(2).BackColor, kWrongBackColor);
    EXPECT_FALSE(Cell(2).Font.Bold);
    EXPECT_EQ(room().typedLabel.Caption(), L"2");
    EXPECT_EQ(room().correctLabel.Caption(), L"1");
    EXPECT_EQ(room().accuracyLabel.Caption(), L"50 %");
    EXPECT_FLOAT_EQ(room().cursor.Left, 90 + 2 * 400 - 20) << "the cursor on cell 3";

    Backspace();  // cells 2 and 3 plain; cell 1 compared again
    EXPECT_EQ(Cell(2).BackColor, kDefaultBackColor);
    EXPECT_EQ(Cell(2).ForeColor, forms::kYellow);
    EXPECT_TRUE(Cell(1).Font.Bold);
    EXPECT_EQ(room().correctLabel.Caption(), L"1");
    EXPECT_EQ(room().accuracyLabel.Caption(), L"100 %");

    // The text colour command: correct cells lose their colour, keep styles.
    fakes_.dialogs.colors.push_back(0x00FF8000);
    form().settings.OnTextColor();
    EXPECT_EQ(Cell(1).ForeColor, 0x00FF8000u);
    EXPECT_TRUE(Cell(1).Font.Italic);
    Key(L'y');
    EXPECT_EQ(Cell(2).BackColor, kWrongBackColor);
    fakes_.dialogs.colors.push_back(0x00008000);
    form().settings.OnBackColor();
    EXPECT_EQ(Cell(2).BackColor, 0x00008000u) << "the background command clears the wrong mark";
}

TEST_F(PracticeRoomTest, AWordCommittedAtOnceMarksCountsAndRecordsEachCharacter) {
    ChooseFile(L"C:\\texts\\words.txt", "\xE7\x8E\x8B\xE4\xB8\xAD\xE5\xA4\xA7\xE5\xAD\xA6");  // 王中大学
    room().practiceBox.SetText(L"王");
    room().practiceBox.SetText(L"王伟大");  // the input method's word, one change
    EXPECT_EQ(Cell(2).BackColor, kWrongBackColor);
    EXPECT_TRUE(Cell(3).Font.Underline);
    EXPECT_EQ(room().typedLabel.Caption(), L"3");
    EXPECT_EQ(room().correctLabel.Caption(), L"2");
    EXPECT_EQ(room().accuracyLabel.Caption(), L"67 %");
    EXPECT_FLOAT_EQ(room().cursor.Left, 90 + 3 * 400 - 20) << "the cursor on cell 4";
    room().EndRun();
    const std::vector<RunRecord> runs = Recorded();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].typed, 3);
    EXPECT_EQ(runs[0].correct, 2);
    EXPECT_EQ(runs[0].accuracy, 67);
    EXPECT_EQ(runs[0].misses, (std::vector<Miss>{{L'中', 1}}));
}

TEST_F(PracticeRoomTest, ARunIsRecordedWithTheSpeedOfItsTypingTimeWhileThePanelKeepsItsOwn) {
    room().OnBuiltInPractice();
    fakes_.clock.now = 7000;
    Key(room().Run().Caption(1)[0]);
    fakes_.clock.now = 7500;
    Key(room().Run().Caption(2)[0]);
    for (int i = 0; i < 3; ++i) form().board.OnClockTick();
    EXPECT_EQ(room().speedLabel.Caption(), L"40") << "the panel: 2 characters in 3 seconds";
    fakes_.clock.now = 60000;
    room().OnBuiltInPractice();  // a minute in the record window or away changes nothing
    const std::vector<RunRecord> runs = Recorded();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].speed, 120) << "2 characters, the second half a second after the first";
    EXPECT_EQ(runs[0].seconds, 3);
}

TEST_F(PracticeRoomTest, TheClockShowsThePracticeSpeedWhileAPracticeItemIsChecked) {
    room().OnBuiltInPractice();
    for (int i = 1; i <= 3; ++i) Key(room().Run().Caption(i)[0]);
    form().board.OnClockTick();
    EXPECT_EQ(form().board.ElapsedSeconds(), 1);
    EXPECT_EQ(room().speedLabel.Caption(), L"180");
    form().board.OnClockTick();
    EXPECT_EQ(room().speedLabel.Caption(), L"90");
    EXPECT_EQ(form().game.speedLabel.Caption(), L"0") << "no game speed without a game";
}

TEST_F(PracticeRoomTest, AChosenFileFillsTheGridAndStopsTheClockWhenTyped) {
    ChooseFile(L"C:\\texts\\three.txt", "ab\ncd\r\nef");
    EXPECT_EQ(fakes_.dialogs.titles.back(), kOpenPracticeTitle);
    EXPECT_EQ(fakes_.dialogs.filters.back(), L"*.TXT[文本文件]|*.txt");
    EXPECT_TRUE(room().chosenItem.Checked);
    EXPECT_FALSE(room().builtInItem.Checked);
    EXPECT_EQ(room().Run().chosenLength(), 6);
    EXPECT_EQ(Cell(6).Caption(), L"f");
    EXPECT_EQ(Cell(7).Caption(), L"");
    EXPECT_EQ(Cell(1).BackColor, kStartMarkBackColor);
    EXPECT_FALSE(room().cursorBlink.Enabled()) << "a chosen run does not blink the cursor";
    EXPECT_TRUE(form().board.clock.Enabled());
    for (wchar_t c : std::wstring(L"abcde")) Key(c);
    EXPECT_TRUE(form().board.clock.Enabled());
    Key(L'!');
    EXPECT_FALSE(form().board.clock.Enabled()) << "the whole file typed, right or wrong";
    EXPECT_EQ(room().accuracyLabel.Caption(), L"83 %");
}

TEST_F(PracticeRoomTest, AFileThatCannotBeReadIsNamedAndTheGridKeepsItsText) {
    ChooseFile(L"C:\\texts\\first.txt", "\xEF\xBB\xBF\xE4\xB8\xAD\xE6\x96\x87");  // UTF-8 "中文"
    ASSERT_EQ(Cell(1).Caption(), L"中");
    fakes_.dialogs.paths.push_back(L"C:\\texts\\gone.txt");
    room().OnChosenPractice();
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"C:\\texts\\gone.txt"), std::wstring::npos);
    EXPECT_EQ(Cell(2).Caption(), L"文") << "the grid keeps its captions";
    EXPECT_TRUE(room().chosenItem.Checked);
    EXPECT_EQ(Cell(1).BackColor, kStartMarkBackColor);
    EXPECT_EQ(room().typedLabel.Caption(), L"0");

    room().OnBuiltInPractice();
    fakes_.dialogs.paths.push_back(std::nullopt);  // cancel
    room().OnChosenPractice();
    EXPECT_TRUE(room().builtInItem.Checked) << "the menu checks stay as they were";
    EXPECT_FALSE(room().chosenItem.Checked);
    EXPECT_EQ(Cell(1).Caption(), room().Run().practiceText().substr(0, 1));
    EXPECT_EQ(fakes_.messages.shown.size(), 1u) << "a cancel says nothing";
}

TEST_F(PracticeRoomTest, EachRunStartsWithTheCodeHintsCaption) {
    ChooseFile(L"C:\\t.txt", "\xD6\xD0");  // GBK 中
    room().OnPracticeBoxKey(kKeyF1);
    ASSERT_EQ(room().codeLabel.Caption(), L"中：khk ");
    ChooseFile(L"C:\\t.txt", "\xD6\xD0");
    EXPECT_EQ(room().codeLabel.Caption(), L"按F1查询编码");
    room().OnPracticeBoxKey(kKeyF1);
    room().OnBuiltInPractice();
    EXPECT_EQ(room().codeLabel.Caption(), L"按F1查询编码");
}

TEST_F(PracticeRoomTest, F1ShowsTheNextCharactersCode) {
    ChooseFile(L"C:\\t.txt",
               "\xD6\xD0"
               "a\xB9\xFA");  // GBK "中a国"
    EXPECT_EQ(room().codeLabel.Caption(), L"按F1查询编码");
    room().OnPracticeBoxKey(kKeyF1);
    EXPECT_EQ(room().codeLabel.Caption(), L"中：khk ");
    Key(L'中');
    room().OnPracticeBoxKey(kKeyF1);
    EXPECT_EQ(room().codeLabel.Caption(), L"中：khk ") << "a letter is not looked up";
    Key(L'a');
    room().OnPracticeBoxKey(kKeyF1);
    EXPECT_EQ(room().codeLabel.Caption(), L"国：lgyi");
}

TEST_F(PracticeRoomTest, TheLinkTogglesTheChartAndLightsUnderTheMouse) {
    room().OnBuiltInPractice();
    EXPECT_FALSE(room().radicalChart.Visible);
    room().OnChartLinkClick();
    EXPECT_TRUE(room().radicalChart.Visible);
    EXPECT_EQ(room().chartLink.Caption(), kHideChart);
    room().OnChartLinkHover();
    EXPECT_EQ(room().chartLink.BackColor, kLinkHoverColor);
    room().OnPanelHover();
    EXPECT_EQ(room().chartLink.BackColor, kPanelColor);
    form().game.StartGame(GamePool::Digits);  // a game hides the chart but leaves the caption
    EXPECT_FALSE(room().radicalChart.Visible);
    EXPECT_FALSE(room().panel.Visible);
    EXPECT_FALSE(room().cursorBlink.Enabled());
    EXPECT_EQ(Cell(1).Caption(), L"");
    room().OnChartLinkClick();
    EXPECT_FALSE(room().radicalChart.Visible);
    EXPECT_EQ(room().chartLink.Caption(), kShowChart);
}

TEST_F(PracticeRoomTest, ThePasteLimitKeepsTheRestartAt406) {
    room().OnBuiltInPractice();
    EXPECT_EQ(room().practiceBox.MaxLength, 406);
    const std::wstring first = room().Run().practiceText();
    room().practiceBox.SetText(std::wstring(406, L'x'));
    ASSERT_EQ(fakes_.messages.shown, std::vector<std::wstring>{kRestartPrompt});
    EXPECT_EQ(room().practiceBox.Text(), L"");
    EXPECT_EQ(room().typedLabel.Caption(), L"0");
    EXPECT_EQ(form().board.ElapsedSeconds(), 0);
    EXPECT_EQ(Cell(406).BackColor, kDefaultBackColor) << "the 406th character is never compared";
}

class PracticePoolTest : public FormTest {};

TEST_F(PracticePoolTest, APoolTooShortForPracticeGreysTheCommandAndSaysSoOnce) {
    fakes_.files.files[L"vbyx.dll"] = L" 中国 人民 我们 世界 的 ";  // 16 characters
    ASSERT_TRUE(Load());
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"练习"), std::wstring::npos);
    EXPECT_FALSE(form().practice.builtInItem.Enabled);
    EXPECT_TRUE(form().game.chineseGameItem.Enabled) << "games can still draw words";
    const int before = random().taken;
    form().practice.OnBuiltInPractice();  // reached by the restart at 406 all the same
    EXPECT_EQ(random().taken, before) << "no pick, no endless loop";
    EXPECT_TRUE(form().practice.Run().practiceText().empty());
    EXPECT_EQ(form().practice.cells(1).Caption(), L"");
}

TEST_F(PracticePoolTest, AnEmptyPoolIsOneMessageForGameAndPractice) {
    fakes_.files.files[L"vbyx.dll"] = L"";
    ASSERT_TRUE(Load());
    ASSERT_EQ(fakes_.messages.shown.size(), 1u);
    EXPECT_NE(fakes_.messages.shown[0].find(L"练习"), std::wstring::npos);
    EXPECT_FALSE(form().game.chineseGameItem.Enabled);
    EXPECT_FALSE(form().practice.builtInItem.Enabled);
}

}  // namespace
}  // namespace quorlax::test
