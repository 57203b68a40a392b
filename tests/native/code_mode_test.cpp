// Typing by five-stroke codes without an input method, in a Chinese game and
// in practice, over the shipped codes file.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "form_fixture.h"

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
}

}  // namespace
}  // namespace quorlax::test
