// The practice room: the 406-cell grid, the practice panel, the cursor and
// the radical chart, and the practice menu with its two runs.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "core/board.h"
#include "forms/controls.h"
#include "platform/services.h"
#include "practice/history.h"
#include "practice/practice_run.h"
#include "practice/record_form.h"

namespace quorlax {

inline constexpr int kGridCells = 406;
inline constexpr wchar_t kShowChart[] = L"显示字根表";
inline constexpr wchar_t kHideChart[] = L"隐藏字根表";
inline constexpr wchar_t kCodeHintCaption[] = L"按F1查询编码";             // Label22 at each run's start
inline constexpr wchar_t kPracticeBoxTip[] = L"按F1可以查询字的五笔编码";  // Text4's tooltip
inline constexpr wchar_t kOpenPracticeTitle[] = L"选择练习文本";           // the open-file dialog's title
inline constexpr wchar_t kPracticeFilterName[] = L"*.TXT[文本文件]";
inline constexpr wchar_t kPracticeFilterPattern[] = L"*.txt";
inline constexpr forms::Color kPanelColor = 0x00FF8000;  // the practice panel and the link's background
inline constexpr forms::Color kLinkHoverColor = 0x00FFFF00;

class PracticeRoom : private IPracticeHost {
public:
    PracticeRoom(Board& board, Services& services, IHistoryFile& historyFile);
    PracticeRoom(const PracticeRoom&) = delete;
    PracticeRoom& operator=(const PracticeRoom&) = delete;

    forms::MenuItem mnuPractice;  // "练 习"
    forms::MenuItem chi;          // "汉字": practice on a text from the word pool
    forms::MenuItem zixuan;       // "选择": practice on a chosen text file
    forms::MenuItem cuozi;        // "错字": a drill on the most missed characters
    forms::MenuItem jilu;         // "记录": the practice record window
    forms::MenuItem codeHintItem; // 设置 › "错字提示编码": a missed cell shows its character's code

    forms::ControlArray<forms::Label, 0, kGridCells> La;  // the grid; La(0) is the template
    forms::Picture Image5;                                // the radical chart, over the lower rows
    forms::Picture Image2;                                // the practice cursor
    forms::Panel Frame3;                                  // the practice panel
    forms::Label Label33;                                 // "总字数："
    forms::Label Label34;                                 // characters typed
    forms::Label Label31;                                 // "正确数："
    forms::Label Label32;                                 // characters typed correctly
    forms::Label Label1;                                  // the link that shows or hides the chart
    forms::TextBox Text4;                                 // the practice box
    forms::Label Label22;                                 // code look-up result
    forms::Label Label40;                                 // "速  度："
    forms::Label Label39;                                 // practice speed, characters per minute
    forms::Label Label36;                                 // "字/分"
    forms::Label Label38;                                 // "正确率："
    forms::Label Label37;                                 // accuracy, "83 %"
    forms::Timer Timer3{300};                             // practice-cursor blink

    // `typedPos`: the cell of the last typed character (1 after start-up).
    std::int16_t typedPos() const { return run_.typedPos(); }
    const PracticeRun& Run() const { return run_; }
    // The practice record every finished run goes into.
    PracticeHistory& History() { return history_; }

    // --- start-up and the other activities ---
    // Start-up, once the data and the appearance are in: the stored code
    // hint, the grid laid out. False when the word pool can give no practice
    // text: 练习 › 汉字 is greyed, and start-up says so once.
    bool Load();
    // A game takes the play area: the run ends, chart and cursor hidden,
    // blinking off, and the record window, topmost over it, closes.
    void HideForGame();
    // Ends the current practice run, if any, and records it when a character
    // was typed in it: at every start, and when the window closes.
    void EndRun();
    // Every cell empty, see-through, in the window's colour (a game start).
    void ClearGrid();
    // The background colour command ran: every cell back on the new colour.
    void BackColorChanged();
    // The text colour command ran: every cell in the new colour, styles kept.
    void TextColorChanged();

    // --- handlers ---
    void chi_Click();
    void zixuan_Click();
    void cuozi_Click();
    void jilu_Click();
    void Text4_Change();
    void Text4_KeyDown(int keyCode);
    void Timer3_Timer();
    // The practice half of the one-second clock, after the elapsed seconds
    // were counted: the speed while a practice item is checked.
    void ClockTick(double seconds);
    void Label1_Click();
    void Label1_MouseMove();
    void Frame3_MouseMove();

private:
    // IPracticeHost: what the run asks of the window.
    bool BuiltInChecked() const override { return chi.Checked; }
    bool ChosenChecked() const override { return zixuan.Checked; }
    forms::Color WindowBackColor() const override;
    void AskRestart() override;
    void StartBuiltInRun() override;
    void ClearInput() override { Text4.SetText(L""); }
    void StopClock() override;
    std::uint64_t Milliseconds() override { return services_.clock.Milliseconds(); }

    void BuildPanel();
    // Lays the 406 cells out from the template, row by row.
    void CreatePracticeGrid();
    void OnCodeHint();
    // A game takes the play area: the panel and the code result go, the grid empties.
    void LeaveForGame(GamePool pool);
    // The 练习/汉字 steps on `text` (a drill's), or on a new built-in text.
    void StartGrid(RunKind kind, std::optional<std::wstring> text);
    // The weakest characters, the current run's misses counted in.
    std::vector<WeakChar> WeakestNow();
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
    RecordForm record;  // the record window 练习记录

private:
    bool runOpen_ = false;             // a run started and has not been recorded
    RunKind kind_ = RunKind::BuiltIn;  // what the open run practises
    bool drillShown_ = false;          // the grid's built-in text is a drill's
    std::wstring chosenName_;          // the chosen file's name, without its folder
    // The text colour of each plain cell. A chosen-text run keeps the
    // colours cells have, so cells never reset since start-up keep the
    // template's.
    std::array<forms::Color, kGridCells + 1> plainColor_{};
};

}  // namespace quorlax
