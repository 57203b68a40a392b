// Typing by five-stroke codes without an input method, in a Chinese game and
// in practice, over the shipped codes file.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "form_fixture.h"
#include "platform/gbk.h"
#include "platform/random.h"
#include "practice/lessons.h"

namespace quorlax::test {
namespace {

std::string ShippedCodes() {
    std::ifstream in(QUORLAX_SOURCE_DIR "/data/wubi86-codes.txt", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class CodeModeTest : public PracticeFormTest {
protected:
    void SetUp() override {
        fakes_.files.chosen[L"C:\\Games\\Quorlax\\wubi86-codes.txt"] = ShippedCodes();
        PracticeFormTest::SetUp();
        form().settings.codeModeItem.Click();
    }
    // Keys as the box hands them on: what the code does not take, the box does.
    void Press(forms::TextBox& box, std::wstring_view keys) {
        for (wchar_t k : keys) {
            if (box.CharTyped && box.CharTyped(k)) continue;
            if (k == L'\b') {
                if (box.KeyDown) box.KeyDown(kKeyBackspace);
                std::wstring t = box.Text();
                if (!t.empty()) t.pop_back();
                box.SetText(t);
            } else {
                box.SetText(box.Text() + k);
            }
        }
    }
    void Practise(const char* utf8) {
        fakes_.files.chosen[L"C:\\t.txt"] = utf8;
        fakes_.dialogs.paths.push_back(L"C:\\t.txt");
        room().OnChosenPractice();
    }
    GameRoom& game() { return form().game; }
};

TEST_F(CodeModeTest, TheModeIsStoredAndDetachesTheInputMethodFromBothBoxes) {
    EXPECT_EQ(fakes_.settings.Get(L"register", L"wbsr"), L"1");
    EXPECT_FALSE(game().typingBox.InputMethod);
    EXPECT_FALSE(room().practiceBox.InputMethod);
    form().settings.codeModeItem.Click();
    EXPECT_EQ(fakes_.settings.Get(L"register", L"wbsr"), L"0");
    EXPECT_TRUE(room().practiceBox.InputMethod) << "given back when the mode is off";
}

TEST_F(CodeModeTest, FullShortAndWordCodesShootTheWordInAChineseGame) {
    for (const wchar_t* keys : {L"khk lgyi", L"k l ", L"khlg"}) {
        game().StartGame(GamePool::Chinese);
        int i = 0;
        for (const wchar_t* caption : {L"人民", L"中国", L"我们", L"世界", L"大学"})
            game().fallingLabels(++i).SetCaption(caption);
        Press(game().typingBox, keys);
        EXPECT_EQ(game().ShotColumn(), 2) << keys;
        EXPECT_EQ(game().typingBox.Text(), L"") << keys;
        EXPECT_EQ(game().codeLetters.Caption(), L"");
    }
    game().StartGame(GamePool::Chinese);
    Press(game().typingBox, L"kh");
    EXPECT_EQ(game().codeLetters.Caption(), L"kh") << "the letters so far beside the box";
    Press(game().typingBox, L"\b\b\b");
    EXPECT_EQ(game().codeLetters.Caption(), L"");

    game().StartGame(GamePool::English);
    Press(game().typingBox, L"kh");
    EXPECT_EQ(game().typingBox.Text(), L"kh") << "an English game takes its letters as they are";
}

TEST_F(CodeModeTest, PracticeJudgesEveryKeyAndTellsTheWrongOne) {
    Practise("\xE7\x8E\x8B\xE5\xB7\xA5");  // 王工
    Press(room().practiceBox, L"gggg");
    EXPECT_EQ(room().practiceBox.Text(), L"王");
    EXPECT_EQ(room().Run().Cell(1).back, CellBack::Window) << "王 marked correct";
    room().OnChartLinkClick();  // the radical chart shown
    Press(room().practiceBox, L"aaab");
    EXPECT_EQ(room().hintLine.Caption(), L"工 a / aaa / aaaa：第 4 键应为 a，按了 b");
    EXPECT_EQ(room().Run().Cell(2).back, CellBack::Wrong);
    EXPECT_TRUE(room().keyDue.Visible && room().keyPressed.Visible) << "both keys shown on the chart";
    EXPECT_LT(room().keyDue.Left, room().keyPressed.Left) << "A lies left of B on the chart";
    Press(room().practiceBox, L"bb");
    EXPECT_EQ(room().Run().Misses().at(L'工'), 1) << "counted once";
    Press(room().practiceBox, L"a");
    EXPECT_EQ(room().practiceBox.Text(), L"王工");
    EXPECT_EQ(room().Run().Cell(2).back, CellBack::Window);
    EXPECT_FALSE(room().keyDue.Visible);
    EXPECT_EQ(room().correctLabel.Caption(), L"2");

    // Every key went to the key record at the run's end; a wrong press
    // counts against the key the code wanted (a, not b).
    room().endItem.Click();
    const KeyRecord keys = KeyRecord::Parse(fakes_.keys.bytes).record;
    EXPECT_EQ(keys.Find('g')->attempts, 4);
    EXPECT_EQ(keys.Find('g')->wrong, 0);
    EXPECT_EQ(keys.Find('a')->attempts, 7);
    EXPECT_EQ(keys.Find('a')->wrong, 3);
    EXPECT_EQ(keys.Find('b')->attempts, 0);
    room().OnRecord();
    EXPECT_EQ(room().record.KeyRecordShown()->Find('a')->wrong, 3)
        << "the record window's keyboard shows them";
}

TEST_F(CodeModeTest, PunctuationKeysTypeTheChineseMarksOfAChosenText) {
    Practise("\xE7\x8E\x8B\xEF\xBC\x8C\xE2\x80\x9C\xE2\x80\x9D");  // 王，“”
    Press(room().practiceBox, L"gggg,\"\"");
    EXPECT_EQ(room().practiceBox.Text(), L"王，“”");
    EXPECT_EQ(room().correctLabel.Caption(), L"4");
}

std::wstring ShippedTable() {
    std::ifstream in(QUORLAX_SOURCE_DIR "/data/vbcx.dll", std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return JoinLines(DecodeGbk(bytes.str()));
}

TEST(LessonTest, BandsOpenOneAfterAnotherAsTheirCharactersMeetTheRule) {
    const FiveStrokeCodes codes = FiveStrokeCodes::Parse(ShippedCodes());
    const WordPool pool(L" 中国 人民 我们 世界 的 大学 ");
    const std::vector<Band> bands = MakeBands(ShippedTable(), &codes, pool);
    ASSERT_GE(bands.size(), 4u);
    EXPECT_EQ(bands[0].chars.substr(0, 5), L"王土大木工");
    EXPECT_EQ(bands[0].chars.size(), 25u);
    EXPECT_EQ(bands[1].chars.substr(0, 5), L"一地在要上") << "工 is a key name already";
    EXPECT_EQ(bands[2].chars.size(), 100u);
    std::wstring used = bands[2].chars.substr(0, 4);
    std::sort(used.begin(), used.end());
    std::wstring expected = L"们世界学";  // the pool's other characters, most used first
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(used, expected);
    size_t all = 0;
    for (const Band& b : bands) all += b.chars.size();
    EXPECT_EQ(all, 6763u) << "every character of the table, once";

    CharRecord record;
    const Day today = *ParseDay(L"2026-12-08");
    EXPECT_EQ(Standing(bands, record, 1000).band, 0u);
    for (wchar_t c : bands[0].chars) record.Apply(std::vector<Attempt>(3, {c, false, 900}), today, 1000);
    record.Apply(std::vector<Attempt>{{bands[0].chars[3], true, 900}}, today, 1000);
    LessonStanding standing = Standing(bands, record, 1000);
    EXPECT_EQ(standing.band, 0u) << "one character missed lately keeps the band";
    EXPECT_EQ(standing.notYet, 1u);
    record.Apply(std::vector<Attempt>(30, {bands[0].chars[3], false, 900}), today, 1000);
    standing = Standing(bands, record, 1000);
    EXPECT_EQ(standing.band, 1u);
    EXPECT_EQ(StandingLine(bands, standing, 1000).substr(0, 13), L"入门：第 2 段 一级简码");

    SeededRandom random(3);
    const std::wstring lesson = BuildLesson(bands, standing, record, 1000, {}, random);
    EXPECT_GE(lesson.size(), 406u);
    const std::wstring inPlay = bands[0].chars + bands[1].chars;
    EXPECT_EQ(lesson.find_first_not_of(inPlay), std::wstring::npos) << "only characters in play";
    for (size_t i = 1; i < lesson.size(); ++i) {
        EXPECT_NE(lesson[i], lesson[i - 1]);
    }
    EXPECT_NE(lesson.find(bands[1].chars[0]), std::wstring::npos) << "the newest band is practised";
    EXPECT_NE(lesson.find_first_of(bands[0].chars), std::wstring::npos)
        << "with the weakest of the band before";
}

}  // namespace
}  // namespace quorlax::test
