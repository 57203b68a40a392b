// A practice run as a small state machine over the 406 grid cells: the
// starts, the input change that compares each newly typed character with its
// cell, Backspace restoring cells, and the restart after 406 characters. It
// holds the run's state and the captions of the practice panel; the window
// that shows it renders cells and captions from here after each call and
// supplies what lives elsewhere (menu checks, the message box, the clocks)
// through IPracticeHost.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "forms/controls.h"
#include "practice/char_record.h"
#include "practice/chosen_text.h"
#include "practice/stats.h"

namespace quorlax {

inline constexpr int kKeyBackspace = 8;
inline constexpr int kKeyF1 = 112;
inline constexpr wchar_t kRestartPrompt[] = L"重新开始？";

// What a run asks of its window. Calls come in the middle of a run's
// operations and may re-enter it (clearing the input box runs InputChanged
// nested), so the run reads its own state afresh after each of them.
struct IPracticeHost {
    virtual ~IPracticeHost() = default;
    virtual bool BuiltInChecked() const = 0;           // 练习/汉字 (`builtInItem`) is checked
    virtual bool ChosenChecked() const = 0;            // 练习/选择 (`chosenItem`) is checked
    virtual forms::Color WindowBackColor() const = 0;  // the window background colour
    // Shows kRestartPrompt with an OK button only; returns when it closes.
    virtual void AskRestart() = 0;
    // The whole 练习/汉字 command: seeds, builds a text and calls StartBuiltIn
    // (with the empty text when the pool gives none; the restart comes here
    // even while the command is greyed).
    virtual void StartBuiltInRun() = 0;
    // Empties the input box `practiceBox`; its change handler calls InputChanged
    // with the empty text before this returns. A box that was empty already
    // need not call it: the run then handles the clearing change itself.
    virtual void ClearInput() = 0;
    virtual void StopClock() = 0;  // stops the one-second clock
    // A monotonic clock in milliseconds, read as characters are typed.
    virtual std::uint64_t Milliseconds() = 0;
};

class PracticeRun {
public:
    // --- starts; the host does the window's own steps around these ---

    // The run's part of the 练习/汉字 command, after the host has seeded the
    // random generator, shown the practice panel, set the elapsed time to 0,
    // started the clock and the cursor blink and built `text`: every cell's
    // text colour and styles reset, `practiceText` := text, `typedCount` := 0,
    // the input cleared (nested InputChanged), the grid filled and made
    // opaque on the window background, the cursor on cell 1. The host then
    // hides the falling labels and sets the menu checks.
    void StartBuiltIn(IPracticeHost& host, std::wstring text);

    // The first part of the 练习/选择 command, after the host has shown the
    // panel and stopped the clocks: `typedCount` := 0, the input cleared,
    // cells 1..406 opaque on the window background, `chosenText` emptied.
    // Cell looks are not reset: they keep the last run's until typed over.
    void BeginChosen(IPracticeHost& host);
    // When the user picked a file: `chosenText` and `chosenLength` from it,
    // the grid captions from its first 406 characters. The host sets the
    // menu checks. Not called on cancel: the grid keeps its captions.
    void ShowChosenText(std::wstring text);
    // The last step of 练习/选择, after the host has restarted the clock:
    // cell 1 gets the light-blue start mark.
    void MarkStart();

    // --- events ---

    // Every change of `practiceBox`, with its whole new text. A change that adds
    // several characters at once (a word the input method commits, a paste)
    // is handled as if each had been typed alone: first the box's shorter
    // texts that end in each added character but the last, then the whole
    // box, each as the steps below; so each added character is compared
    // with its own cell and counted.
    //
    // Steps in order: `typedCount` and `typedPos` := the length (typedPos at
    // most 406); at 406 the host asks to restart, starts a built-in run and
    // clears the input, and the handling goes on with the empty box, so the
    // 406th character is never compared; with `builtInItem` checked, or `chosenItem`
    // and typedPos ≤ 406, the text's last character (none when empty) is
    // compared with cell typedPos (cell 0 has an empty caption): equal marks
    // the cell correct, else wrong, and the cursor moves to cell
    // typedPos + 1; the correct count and accuracy are rebuilt from the grid
    // (the accuracy keeps its text when nothing is typed); the clock stops
    // when the run is complete (RunComplete); `typedCount` := the length
    // again.
    void InputChanged(IPracticeHost& host, std::wstring_view box);
    // A key pressed in `practiceBox`, before the text changes. Backspace, with a
    // practice item checked and typedPos ≠ 0, restores cells typedPos and
    // typedPos + 1 to plain; the change that follows marks the new last
    // cell again. F1 (kKeyF1) is the host's: it looks up Caption(typedPos + 1).
    void KeyDown(IPracticeHost& host, int keyCode);
    // Typing by codes: a key that took the code off course for cell `cell`
    // turns it red and counts one miss of its character, however many wrong
    // keys follow before the cell is typed.
    void KeyMissed(int cell);
    // Typing by codes: the time from the first key of the code the next
    // change commits to its last; its characters share it.
    void SetKeyTime(int ms) { keyMs_ = ms; }

    // --- what other activities do to the grid ---

    // A game start: cells 1..406 empty, on the window background, transparent.
    void ClearForGame();
    // A background colour command: every cell back on the window colour,
    // which clears wrong and start marks.
    void ResetBackgrounds();
    // A text colour command: every cell in the text colour; styles stay.
    void ResetTextColors();

    // --- state ---

    const PracticeCell& Cell(int i) const { return cells_.at(static_cast<size_t>(i)); }  // 0..406
    std::span<const PracticeCell> Cells() const { return cells_; }
    // Cell i's caption; empty for an empty cell and outside 0..406.
    std::wstring Caption(int i) const;
    bool Opaque() const { return opaque_; }                  // cells 1..406 paint their background
    int CursorCell() const { return cursorCell_; }           // cell the cursor `cursor` marks; 0 before any
    std::int16_t typedPos() const { return typedPos_; }      // `typedPos`: index of the last typed cell
    std::int32_t typedCount() const { return typedCount_; }  // `typedCount`: characters typed, for the speed
    const std::wstring& practiceText() const { return practiceText_; }  // `practiceText`: the built-in text
    const std::wstring& chosenText() const { return chosenText_; }  // `chosenText`: the chosen file's text
    std::int32_t chosenLength() const { return chosenLength_; }     // `chosenLength`: its length
    const std::wstring& TypedCaption() const { return typedCaption_; }        // `typedLabel`
    const std::wstring& CorrectCaption() const { return correctCaption_; }    // `correctLabel`
    const std::wstring& AccuracyCaption() const { return accuracyCaption_; }  // `accuracyLabel`
    // The same three as numbers, as the panel shows them: 总字数, 正确数 and
    // 正确率 in percent (0 until something is typed).
    int Typed() const { return typed_; }
    int Correct() const { return correct_; }
    int Accuracy() const { return accuracy_; }
    // The speed in characters per minute over the run's typing time: the
    // characters the box gained from the first change that typed something
    // to the last one, over the time between them (nearest, halves to even);
    // 0 before a second such change.
    int TypingSpeed() const { return typingSpeed_; }
    // Since the last start: each expected character typed wrong, with how
    // many times. A character counts when it is newly typed (the box grew,
    // or its last character was replaced) and its cell, which holds one,
    // turns out wrong; the compare after a Backspace counts nothing.
    const std::map<wchar_t, int>& Misses() const { return misses_; }
    // Since the last start: every expected character newly typed, in order,
    // missed or not, with its time: from the character typed before it (a
    // word committed at once shares that time evenly among its characters);
    // none for the first of the run or after a pause over kLongestGapMs.
    const std::vector<Attempt>& Attempts() const { return attempts_; }
    // Whether any character was typed since the last start.
    bool AnyTyped() const { return anyTyped_; }
    // The last cell the last input change turned red; 0 when it turned none.
    int TurnedWrong() const { return turnedWrong_; }

private:
    // Clears the input box so that exactly one input change with the empty
    // box runs, whether or not the box was empty.
    void ClearBox(IPracticeHost& host);
    // One character typed alone, or the whole box: the steps InputChanged
    // describes, on `box`. Only the whole box's step reads the clock.
    void Step(IPracticeHost& host, std::wstring_view box, bool whole);
    void NoteTyping(std::uint64_t now, size_t length);
    void FillCaptions(std::wstring_view text);
    void MarkCorrect(int i);
    void RestorePlain(int i);
    void ResetTally();

    std::array<PracticeCell, kPracticeCells + 1> cells_{};  // cell 0 is the template
    bool opaque_ = false;
    int cursorCell_ = 0;
    std::int16_t typedPos_ = 1;  // 1 after start-up
    std::int32_t typedCount_ = 0;
    std::wstring practiceText_;
    std::wstring chosenText_;
    std::int32_t chosenLength_ = 0;
    std::wstring typedCaption_ = L"0";
    std::wstring correctCaption_ = L"0";
    std::wstring accuracyCaption_ = L"0";
    int typed_ = 0, correct_ = 0, accuracy_ = 0;
    unsigned changes_ = 0;  // input changes handled, to see whether a clear ran one
    std::map<wchar_t, int> misses_;
    bool anyTyped_ = false;
    size_t lastLength_ = 0;  // the box's length and last character at the last change
    wchar_t lastChar_ = 0;
    int turnedWrong_ = 0;
    bool typing_ = false;        // a change typed something since the last start
    std::uint64_t firstAt_ = 0;  // when it came, and the box's length after it
    size_t firstLength_ = 0;
    int typingSpeed_ = 0;
    std::vector<Attempt> attempts_;
    bool timed_ = false;            // a character was typed since the last start, at typedAt_
    std::uint64_t typedAt_ = 0;
    int share_ = -1;                // each character's time in the change being handled
    int keyMs_ = -1;                // the code's keys' time for the next change
    int keyShare_ = -1;             // each character's share of it in the change being handled
    int keyMissed_ = 0;             // the cell a wrong key counted a miss for
};

}  // namespace quorlax
