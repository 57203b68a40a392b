// The practice grid's cell states and the statistics read from them: the
// correct count, the accuracy and speed texts and when the clock stops.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "forms/controls.h"

namespace quorlax {

inline constexpr forms::Color kWrongBackColor = 0x000000FF;      // red
inline constexpr forms::Color kStartMarkBackColor = 0x00FF8080;  // light blue

// What a cell's background shows.
enum class CellBack : unsigned char {
    Window,     // the window background colour: plain or correct
    Wrong,      // red
    StartMark,  // light blue on cell 1 of a chosen-text run
};

// One grid cell. Background, font styles and text colour change separately
// (a wrong mark keeps the styles of an earlier correct one; the text colour
// command resets colours but keeps styles), so each has its own field.
struct PracticeCell {
    wchar_t ch = 0;                    // the caption's one character; 0 for an empty caption
    CellBack back = CellBack::Window;  // background
    bool styled = false;               // italic, underline and bold
    bool correctColor = false;         // text in the correct colour rather than the text colour
};

// How a cell is drawn, for the host that renders the grid.
struct CellLook {
    forms::Color back;  // background colour
    bool styled;        // italic, underline and bold
    forms::Color fore;  // text colour
};

// |0x7FFFFF − text| on the packed colour taken as a signed 32-bit number
// (0x00FFFF gives 0x7F0000). A system colour, whose result would not fit,
// keeps the text colour.
forms::Color CorrectTextColor(forms::Color text);

forms::Color CellBackColor(CellBack back, forms::Color windowBack);
CellLook LookOf(const PracticeCell& cell, forms::Color windowBack, forms::Color textColor);

// The correct count, rebuilt from the grid: cells 1..typedPos whose
// background equals the window background (plain cells among them count).
// `cells` holds cell 0 (the template) first; positions past its end count
// as not correct.
int CountCorrect(std::span<const PracticeCell> cells, int typedPos, forms::Color windowBack);

// The accuracy: correct / typed × 100 to the nearest integer, halves to
// even. Nothing when typed is 0: the panel keeps what it showed.
std::optional<int> AccuracyPercent(int correct, int typed);
// Its caption, the percent and " %" ("83 %").
std::optional<std::wstring> AccuracyText(int correct, int typed);

// The practice speed caption: typedCount / seconds × 60 characters per
// minute, to the nearest integer, halves to even. Nothing for 0 seconds.
std::optional<std::wstring> PracticeSpeedText(std::int32_t typedCount, double seconds);

// Whether an input change completes the run and stops the clock: a
// built-in-text run when the text's length (taken before the change) equals
// the typed count, a chosen-text run when the typed count equals
// `chosenLength`. Either check may hold when both items are checked.
bool RunComplete(bool builtInChecked, bool chosenChecked, std::int64_t modelLength, std::int32_t typedCount,
                 std::int32_t chosenLength);

}  // namespace quorlax
