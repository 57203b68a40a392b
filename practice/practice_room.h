// The practice room: the 406-cell grid, the practice panel, the cursor and
// the radical chart, and the practice menu with its two runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/board.h"
#include "core/code_composer.h"
#include "forms/controls.h"
#include "platform/services.h"
#include "practice/drill.h"
#include "practice/history.h"
#include "practice/learning.h"
#include "practice/lessons.h"
#include "practice/practice_run.h"
#include "practice/record_form.h"
#include "practice/run_card.h"

namespace quorlax {

inline constexpr int kGridCells = 406;
inline constexpr wchar_t kShowChart[] = L"显示字根表";
inline constexpr wchar_t kHideChart[] = L"隐藏字根表";
inline constexpr wchar_t kCodeHintCaption[] = L"按F1查询编码";             // codeLabel at each run's start
inline constexpr wchar_t kPracticeBoxTip[] = L"按F1可以查询字的五笔编码";  // practiceBox's tooltip
inline constexpr wchar_t kOpenPracticeTitle[] = L"选择练习文本";           // the open-file dialog's title
inline constexpr wchar_t kPracticeFilterName[] = L"*.TXT[文本文件]";
inline constexpr wchar_t kPracticeFilterPattern[] = L"*.txt";
inline constexpr forms::Color kPanelColor = 0x00FF8000;  // the practice panel and the link's background
inline constexpr forms::Color kLinkHoverColor = 0x00FFFF00;

class PracticeRoom : private IPracticeHost {
public:
    PracticeRoom(Board& board, Services& services, PracticeFiles files);
    PracticeRoom(const PracticeRoom&) = delete;
    PracticeRoom& operator=(const PracticeRoom&) = delete;

    forms::MenuItem practiceMenu;  // "练 习"
    forms::MenuItem builtInItem;   // "汉字": practice on a text from the word pool
    forms::MenuItem chosenItem;    // "选择": practice on a chosen text file
    forms::MenuItem drillItem;     // "错字": a drill on the most missed characters
    forms::MenuItem recordItem;    // "记录": the practice record window
    forms::MenuItem endItem;       // "结束": ends the run, with its card; greyed with no run open
    forms::MenuItem lessonItem;    // "入门": a lesson of the band of characters reached
    forms::MenuItem codeHintItem;  // 设置 › "错字提示编码": a missed cell shows its character's code

    forms::ControlArray<forms::Label, 0, kGridCells> cells;  // the grid; cells(0) is the template
    forms::Picture radicalChart;                             // the radical chart, over the lower rows
    forms::Picture keyDue;          // typing by codes: the key due, framed on the chart after a wrong key
    forms::Picture keyPressed;      // ... and the key pressed instead
    forms::Picture cursor;          // the practice cursor
    forms::Panel panel;             // the practice panel
    forms::Label typedCaption;      // "总字数："
    forms::Label typedLabel;        // characters typed
    forms::Label correctCaption;    // "正确数："
    forms::Label correctLabel;      // characters typed correctly
    forms::Label chartLink;         // the link that shows or hides the chart
    forms::TextBox practiceBox;     // the practice box
    forms::Label codeLabel;         // code look-up result
    forms::Label speedCaption;      // "速  度："
    forms::Label speedLabel;        // practice speed, characters per minute
    forms::Label speedUnit;         // "字/分"
    forms::Label accuracyCaption;   // "正确率："
    forms::Label accuracyLabel;     // accuracy, "83 %"
    forms::Label hintLine;          // typing by codes: what a wrong key should have been
    forms::Timer cursorBlink{300};  // practice-cursor blink

    // `typedPos`: the cell of the last typed character (1 after start-up).
    std::int16_t typedPos() const { return run_.typedPos(); }
    const PracticeRun& Run() const { return run_; }
    // The practice record every finished run goes into.
    PracticeHistory& History() { return history_; }
    // Whether a run is open (started and not yet recorded).
    bool RunOpen() const { return runOpen_; }

    // --- start-up and the other activities ---
    // Start-up, once the data and the appearance are in: the stored code
    // hint, the grid laid out. False when the word pool can give no practice
    // text: 练习 › 汉字 is greyed, and start-up says so once.
    bool Load();
    // A game takes the play area: the run ends, chart and cursor hidden,
    // blinking off, and the record window, topmost over it, closes.
    void HideForGame();
    // Ends the current practice run, if any, and records it when a character
    // was typed in it: at every start, and when the window closes. With
    // `card`, a run recorded shows its card.
    void EndRun(bool card = false);
    // Every cell empty, see-through, in the window's colour (a game start).
    void ClearGrid();
    // The background colour command ran: every cell back on the new colour.
    void BackColorChanged();
    // The text colour command ran: every cell in the new colour, styles kept.
    void TextColorChanged();

    // --- handlers ---
    void OnBuiltInPractice();
    void OnChosenPractice();
    void OnDrill();
    void OnRecord();
    void OnPracticeBoxChange();
    void OnPracticeBoxKey(int keyCode);
    // Typing by codes: a character key before the box takes it; true when
    // the code took it.
    bool OnPracticeBoxChar(wchar_t key);
    void OnCursorBlink();
    // The practice half of the one-second clock, after the elapsed seconds
    // were counted: the speed while a practice item is checked.
    void ClockTick(double seconds);
    void OnChartLinkClick();
    void OnChartLinkHover();
    void OnPanelHover();
    // 练习 › 结束: the run ends, shows its card, and no other starts.
    void OnEnd();
    // 练习 › 入门: a lesson of the newest band in play.
    void OnLesson();
    // Where the lessons stand, as the record window shows it.
    std::wstring LessonLine();
    // A key or a click while the card is shown closes it; a click on its
    // drill line drills the run's misses.
    void OnCardKey();
    void OnCardClick(bool onDrillLink);

private:
    // IPracticeHost: what the run asks of the window.
    bool BuiltInChecked() const override { return builtInItem.Checked; }
    bool ChosenChecked() const override { return chosenItem.Checked; }
    forms::Color WindowBackColor() const override;
    void AskRestart() override;
    void StartBuiltInRun() override;
    void ClearInput() override { practiceBox.SetText(L""); }
    void StopClock() override;
    std::uint64_t Milliseconds() override { return services_.clock.Milliseconds(); }

    void BuildPanel();
    // Lays the 406 cells out from the template, row by row.
    void CreatePracticeGrid();
    void OnCodeHint();
    // A game takes the play area: the panel and the code result go, the grid empties.
    void LeaveForGame(GamePool pool);
    // The 练习/汉字 steps on `text` (a drill's), or on a new built-in text.
    // The card of the run just ended stays with `keepCard`.
    void StartGrid(RunKind kind, std::optional<std::wstring> text, bool keepCard = false);
    // A drill of `picks`, or false when there is nothing to drill.
    bool StartDrill(std::span<const DrillPick> picks, bool keepCard = false);
    void SetRunOpen(bool open);
    // Typing by codes.
    void OnCodeMode(bool on);
    void ShowPending();
    void KeyWrong(int cell, wchar_t key, const FiveStrokeCodes& codes);
    void NoteKey(int cell, wchar_t key, bool right, std::uint64_t now, const FiveStrokeCodes& codes);
    void HideKeyMarks();
    // The text the grid expects from cell `from` on, up to four characters.
    std::wstring ExpectedFrom(int from) const;
    void HideCard();
    // The current run as it would be recorded now.
    RunRecord CurrentRecord() const;
    // The text a chosen file gives, or nothing on cancel or a file that
    // cannot be read (the user is told which).
    std::optional<std::wstring> ChooseText();
    // Brings the grid, the cursor and the panel's counts up to the run.
    void Render();

    Board& board_;
    Services& services_;
    PracticeRun run_;
    std::wstring lastWord_;  // `lastWord`: the word last appended to a built-in text
    PracticeHistory history_;

public:
    Learning learning;  // the per-character record, the target speed
    RecordForm record;  // the record window 练习记录
    RunCardPanel card;  // the card at a run's end

private:
    bool runOpen_ = false;                 // a run started and has not been recorded
    RunKind kind_ = RunKind::BuiltIn;      // what the open run practises
    bool drillShown_ = false;              // the grid's built-in text is a drill's
    std::wstring chosenName_;              // the chosen file's name, without its folder
    std::vector<std::wstring> poolWords_;  // the pool's words, for drills; made on first use
    std::vector<Band> bands_;              // the lessons' bands; made on first use
    const std::vector<Band>& Bands();
    void StartLesson(bool keepCard);
    const std::vector<std::wstring>& Words();
    CodeComposer composer_;             // typing by codes: the code being typed
    std::uint64_t codeStarted_ = 0;     // when its first key came
    std::uint64_t lastKeyAt_ = 0;       // when the run's last code key came; 0 before its first
    std::vector<KeyPress> keyPresses_;  // the open run's code keys, for the key record
    // The text colour of each plain cell. A chosen-text run keeps the
    // colours cells have, so cells never reset since start-up keep the
    // template's.
    std::array<forms::Color, kGridCells + 1> plainColor_{};
};

}  // namespace quorlax
