// The practice run: cell looks and statistics, the input change against the
// grid (a word committed at once judged character by character), Backspace,
// the restart at 406 characters, chosen-text runs and the typing speed.
#include "practice/practice_run.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>

namespace quorlax {
namespace {

constexpr forms::Color kBack = 0x00FF8000;

// The window around a run, as the main window drives it: an input box whose
// clearing runs the change handler only when the text changes, menu checks,
// the restart box and the clock.
struct FakeHost final : IPracticeHost {
    bool BuiltInChecked() const override { return builtInItem; }
    bool ChosenChecked() const override { return chosenItem; }
    forms::Color WindowBackColor() const override { return back; }
    void AskRestart() override { ++prompts; }
    void StartBuiltInRun() override {
        // What the room records of the run this restart ends.
        endedTyped = run.Typed();
        endedCorrect = run.Correct();
        endedMisses = run.Misses();
        clock = true;
        run.StartBuiltIn(*this, texts.empty() ? std::wstring() : texts.front());
        if (!texts.empty()) texts.pop_front();
        builtInItem = true;
        chosenItem = false;
    }
    void ClearInput() override {
        if (box.empty()) return;
        box.clear();
        run.InputChanged(*this, box);
    }
    void StopClock() override { clock = false; }
    std::uint64_t Milliseconds() override { return now; }

    void Type(std::wstring_view s) {
        for (wchar_t c : s) {
            box.push_back(c);
            run.InputChanged(*this, box);
        }
    }
    // A word the input method commits: one change adding all of it.
    void Commit(std::wstring_view word) {
        box += word;
        run.InputChanged(*this, box);
    }
    void Backspace() {
        run.KeyDown(*this, kKeyBackspace);
        box.pop_back();
        run.InputChanged(*this, box);
    }
    void StartChosen(const std::wstring& text) {
        clock = false;
        run.BeginChosen(*this);
        run.ShowChosenText(text);
        builtInItem = false;
        chosenItem = true;
        clock = true;
        run.MarkStart();
    }

    PracticeRun run;
    std::wstring box;
    std::deque<std::wstring> texts;  // the built-in texts the next starts get
    bool builtInItem = false, chosenItem = false, clock = false;
    forms::Color back = kBack;
    int prompts = 0;
    std::uint64_t now = 0;  // the millisecond clock
    int endedTyped = -1, endedCorrect = -1;
    std::map<wchar_t, int> endedMisses;
};

std::wstring Text(size_t n, wchar_t first = L'一') {
    std::wstring s;
    for (size_t i = 0; i < n; ++i) s.push_back(static_cast<wchar_t>(first + i % 50));
    return s;
}

TEST(PracticeStatsTest, CorrectColourAccuracyAndSpeed) {
    EXPECT_EQ(CorrectTextColor(0x00FFFF), 0x7F0000u);
    EXPECT_EQ(CorrectTextColor(0xFF8000), 0x7F8001u);
    EXPECT_EQ(CorrectTextColor(0x80000008), 0x80000008u) << "a system colour has no correct colour";
    EXPECT_EQ(AccuracyText(5, 6), L"83 %");
    EXPECT_EQ(AccuracyText(1, 8), L"12 %") << "12.5 rounds to even";
    EXPECT_EQ(AccuracyText(3, 8), L"38 %") << "37.5 rounds to even";
    EXPECT_EQ(AccuracyText(4, 4), L"100 %");
    EXPECT_EQ(AccuracyText(0, 0), std::nullopt);
    EXPECT_EQ(PracticeSpeedText(45, 30), L"90");
    EXPECT_EQ(PracticeSpeedText(10, 7), L"86");
    EXPECT_EQ(PracticeSpeedText(5, 0), std::nullopt);
    EXPECT_TRUE(RunComplete(false, true, 999, 50, 50));
    EXPECT_FALSE(RunComplete(false, true, 50, 50, 49));
    EXPECT_TRUE(RunComplete(true, false, 50, 50, 0));
    EXPECT_FALSE(RunComplete(false, false, 50, 50, 50));
}

TEST(PracticeStatsTest, CorrectCountComparesBackgroundColours) {
    std::vector<PracticeCell> cells(5);
    cells[2].back = CellBack::Wrong;
    cells[3].back = CellBack::StartMark;
    EXPECT_EQ(CountCorrect(cells, 4, kBack), 2);
    EXPECT_EQ(CountCorrect(cells, 2, kBack), 1);
    EXPECT_EQ(CountCorrect(cells, 4, kWrongBackColor), 3) << "a red window hides the wrong marks";
    EXPECT_EQ(CountCorrect(cells, 99, kBack), 2) << "no count past the grid";
}

TEST(PracticeRunTest, EachChangeComparesTheNewestCharacter) {
    FakeHost h;
    h.texts = {L"中国人民" + Text(500)};
    h.StartBuiltInRun();
    EXPECT_EQ(h.run.typedPos(), 0) << "clearing an empty box still runs the change";
    EXPECT_EQ(h.run.CursorCell(), 1);
    EXPECT_EQ(h.run.Caption(1), L"中");
    h.Type(L"中x");
    EXPECT_TRUE(h.run.Cell(1).styled);
    EXPECT_EQ(LookOf(h.run.Cell(1), kBack, 0xFF8000).fore, 0x7F8001u);
    EXPECT_EQ(h.run.Cell(2).back, CellBack::Wrong);
    EXPECT_EQ(h.run.CursorCell(), 3);
    EXPECT_EQ(h.run.TypedCaption(), L"2");
    EXPECT_EQ(h.run.CorrectCaption(), L"1");
    EXPECT_EQ(h.run.AccuracyCaption(), L"50 %");
    EXPECT_EQ(h.run.typedCount(), 2);

    h.box = L"中国人民";  // two more at once, over a wrong one left as it was
    h.run.InputChanged(h, h.box);
    EXPECT_EQ(h.run.Cell(2).back, CellBack::Wrong) << "only the added characters are compared";
    EXPECT_TRUE(h.run.Cell(3).styled);
    EXPECT_TRUE(h.run.Cell(4).styled);
    EXPECT_EQ(h.run.CorrectCaption(), L"3");
}

TEST(PracticeRunTest, AWordCommittedAtOnceIsJudgedAsIfEachCharacterWasTypedAlone) {
    // Over 王中大学, 王 and then the word 伟大: 中's cell is wrong.
    FakeHost words, keys;
    for (FakeHost* h : {&words, &keys}) {
        h->texts = {L"王中大学" + Text(500)};
        h->StartBuiltInRun();
    }
    words.Commit(L"王");
    words.Commit(L"伟大");
    keys.Type(L"王伟大");
    EXPECT_EQ(words.run.Cell(2).back, CellBack::Wrong);
    EXPECT_TRUE(words.run.Cell(3).styled);
    EXPECT_EQ(words.run.CorrectCaption(), L"2");
    EXPECT_EQ(words.run.AccuracyCaption(), L"67 %");
    EXPECT_EQ(words.run.Misses(), (std::map<wchar_t, int>{{L'中', 1}}));
    EXPECT_EQ(words.run.TurnedWrong(), 2) << "the code hint's character";
    // Exactly as the keys one by one.
    for (int i = 0; i <= kPracticeCells; ++i) {
        EXPECT_EQ(words.run.Cell(i).back, keys.run.Cell(i).back) << i;
        EXPECT_EQ(words.run.Cell(i).styled, keys.run.Cell(i).styled) << i;
    }
    EXPECT_EQ(words.run.CursorCell(), keys.run.CursorCell());

    // A word that reaches the 406th cell: the characters before it count in
    // the run the restart ends; the 406th is never compared.
    FakeHost end;
    const std::wstring text = Text(500);
    end.texts = {text, Text(500, L'乙')};
    end.StartBuiltInRun();
    end.Type(text.substr(0, 403));
    end.Commit(L"#" + text.substr(404, 1) + L"#");
    EXPECT_EQ(end.prompts, 1);
    EXPECT_EQ(end.endedTyped, 405);
    EXPECT_EQ(end.endedCorrect, 404);
    EXPECT_EQ(end.endedMisses, (std::map<wchar_t, int>{{text[403], 1}}));
    EXPECT_EQ(end.run.typedPos(), 0);
    EXPECT_TRUE(end.run.Misses().empty()) << "the new run starts clean";
}

TEST(PracticeRunTest, TheTypingSpeedRunsFromTheFirstCharacterTypedToTheLast) {
    FakeHost h;
    h.texts = {Text(500), Text(500)};
    h.now = 5000;  // idle time before the first key does not count
    h.StartBuiltInRun();
    h.Type(L"x");
    EXPECT_EQ(h.run.TypingSpeed(), 0) << "one change is no span of time";
    h.now = 5500;
    h.Type(L"y");
    EXPECT_EQ(h.run.TypingSpeed(), 120) << "two characters in the first second";
    h.now = 9000;
    h.Backspace();
    EXPECT_EQ(h.run.TypingSpeed(), 120) << "an erasure types nothing";
    h.now = 9500;
    h.Commit(L"abc");  // 3 characters gained since the first, in 4.5 s
    EXPECT_EQ(h.run.TypingSpeed(), 40);
    h.now = 60000;
    EXPECT_EQ(h.run.TypingSpeed(), 40) << "idle time after the last key does not count";

    h.StartBuiltInRun();
    EXPECT_EQ(h.run.TypingSpeed(), 0);
    h.Commit(L"中国");
    h.now += 2000;
    h.Commit(L"人民");  // two words two seconds apart: a character a second
    EXPECT_EQ(h.run.TypingSpeed(), 60);
}

TEST(PracticeRunTest, EachCharacterTypedIsAnAttemptWithItsShareOfTheTime) {
    FakeHost h;
    h.texts = {L"王中大学国人"};
    h.StartBuiltInRun();
    h.Type(L"王");  // the first of the run: no time
    h.now = 700;
    h.Type(L"x");  // 中 missed
    h.now = 900;
    h.Backspace();
    h.now = 1000;
    h.Type(L"中");  // since the last character typed, the erasure in between
    h.now = 2000;
    h.Commit(L"大学");  // a word: the second shared evenly
    h.now = 13001;
    h.Type(L"国");  // after a pause of more than ten seconds: no time
    const std::vector<Attempt> expected{{L'王', false, -1},  {L'中', true, 700},   {L'中', false, 300},
                                        {L'大', false, 500}, {L'学', false, 500}, {L'国', false, -1}};
    EXPECT_EQ(h.run.Attempts(), expected);
    h.StartBuiltInRun();
    EXPECT_TRUE(h.run.Attempts().empty());
}

TEST(PracticeRunTest, BackspaceRestoresTwoCellsAndTheNextChangeMarksAgain) {
    FakeHost h;
    h.texts = {L"中国人民" + Text(500)};
    h.StartBuiltInRun();
    h.Type(L"中国x");
    h.Backspace();
    EXPECT_EQ(h.run.Cell(3).back, CellBack::Window);
    EXPECT_EQ(h.run.Cell(4).back, CellBack::Window);
    EXPECT_FALSE(h.run.Cell(3).styled);
    EXPECT_TRUE(h.run.Cell(2).styled) << "the change after the key marks the new last cell";
    EXPECT_EQ(h.run.CursorCell(), 3);
    h.Type(L"人");
    EXPECT_TRUE(h.run.Cell(3).styled);
    EXPECT_EQ(h.run.AccuracyCaption(), L"100 %");

    h.Type(L"xy");  // then overtyping the two wrong ones with one leaves cell 5 red
    h.box = L"中国人z";
    h.run.InputChanged(h, h.box);
    ASSERT_EQ(h.run.Cell(5).back, CellBack::Wrong);
    h.Backspace();
    EXPECT_EQ(h.run.Cell(4).back, CellBack::Window);
    EXPECT_EQ(h.run.Cell(5).back, CellBack::Window);

    for (int i = 0; i < 3; ++i) h.Backspace();
    EXPECT_EQ(h.run.typedPos(), 0);
    EXPECT_EQ(h.run.TypedCaption(), L"0");
    EXPECT_EQ(h.run.CorrectCaption(), L"0");
    EXPECT_EQ(h.run.AccuracyCaption(), L"100 %") << "0 / 0 leaves the accuracy as it was";
    EXPECT_EQ(h.run.CursorCell(), 1);
    EXPECT_FALSE(h.run.Cell(1).styled);

    h.Type(L"x");
    h.builtInItem = false;  // no practice item: the key restores nothing
    h.run.KeyDown(h, kKeyBackspace);
    EXPECT_EQ(h.run.Cell(1).back, CellBack::Wrong);
}

TEST(PracticeRunTest, TheRestartAt406NeverComparesThe406thCharacter) {
    FakeHost h;
    const std::wstring first = Text(500), second = Text(500, L'乙');
    h.texts = {first, second};
    h.StartBuiltInRun();
    h.Type(first.substr(0, 405));
    ASSERT_EQ(h.run.CorrectCaption(), L"405");
    h.Type(L"x");  // wrong, but never compared
    EXPECT_EQ(h.prompts, 1);
    EXPECT_EQ(h.run.practiceText(), second);
    EXPECT_EQ(h.run.Caption(406), second.substr(405, 1));
    EXPECT_EQ(h.run.Cell(406).back, CellBack::Window);
    EXPECT_FALSE(h.run.Cell(405).styled);
    EXPECT_TRUE(h.box.empty());
    EXPECT_EQ(h.run.typedPos(), 0);
    EXPECT_EQ(h.run.typedCount(), 0);
    EXPECT_EQ(h.run.TypedCaption(), L"0");
    EXPECT_EQ(h.run.CorrectCaption(), L"0");
    EXPECT_EQ(h.run.AccuracyCaption(), L"100 %");
    EXPECT_EQ(h.run.CursorCell(), 1);
    EXPECT_TRUE(h.clock);

    h.box = Text(450);  // a paste past the end restarts too, within the grid
    h.run.InputChanged(h, h.box);
    EXPECT_EQ(h.prompts, 2);
    EXPECT_EQ(h.run.typedPos(), 0);
}

TEST(PracticeRunTest, AChosenTextStopsTheClockAtItsLengthAndEndsAt406) {
    FakeHost h;
    h.StartChosen(Text(50));
    EXPECT_EQ(h.run.chosenLength(), 50);
    EXPECT_EQ(h.run.Cell(1).back, CellBack::StartMark);
    EXPECT_EQ(h.run.Caption(51), L"");
    h.Type(Text(49));
    EXPECT_TRUE(h.clock);
    h.Type(L"x");
    EXPECT_FALSE(h.clock);
    EXPECT_EQ(h.run.CorrectCaption(), L"49");
    h.Type(L"y");
    EXPECT_EQ(h.run.Cell(51).back, CellBack::Wrong) << "typing on still counts";
    EXPECT_EQ(h.run.AccuracyCaption(), L"96 %");

    // Cancelling the next choice empties the text but keeps grid and length.
    h.run.BeginChosen(h);
    EXPECT_EQ(h.run.chosenText(), L"");
    EXPECT_EQ(h.run.chosenLength(), 50);
    EXPECT_EQ(h.run.Caption(50), Text(50).substr(49));
    EXPECT_TRUE(h.run.Cell(1).styled) << "a chosen start keeps the looks";
    EXPECT_EQ(h.run.Cell(51).back, CellBack::Window);

    h.texts = {Text(500, L'乙')};
    h.StartChosen(Text(600));
    h.Type(Text(406));
    EXPECT_EQ(h.prompts, 1);
    EXPECT_TRUE(h.builtInItem);
    EXPECT_FALSE(h.chosenItem);
}

TEST(PracticeRunTest, OtherActivitiesResetTheGrid) {
    FakeHost h;
    h.texts = {L"中国" + Text(500)};
    h.StartBuiltInRun();
    h.Type(L"中x");
    h.run.ResetTextColors();
    EXPECT_TRUE(h.run.Cell(1).styled);
    EXPECT_EQ(LookOf(h.run.Cell(1), kBack, 0x00FFFF).fore, 0x00FFFFu);
    h.run.ResetBackgrounds();
    EXPECT_EQ(h.run.Cell(2).back, CellBack::Window);
    EXPECT_EQ(h.run.CorrectCaption(), L"1") << "counts change with the next input only";
    h.run.ClearForGame();
    EXPECT_FALSE(h.run.Opaque());
    EXPECT_EQ(h.run.Caption(1), L"");
}

}  // namespace
}  // namespace quorlax
