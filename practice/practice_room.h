// The practice room: the 406-cell grid, the practice panel, the cursor and
// the radical chart, and the practice menu.
#pragma once

#include <cstdint>

#include "forms/controls.h"

namespace quorlax {

class Form1;

inline constexpr int kGridCells = 406;

class PracticeRoom {
public:
    explicit PracticeRoom(Form1& form);
    PracticeRoom(const PracticeRoom&) = delete;
    PracticeRoom& operator=(const PracticeRoom&) = delete;

    forms::MenuItem mnuPractice;  // "练 习"
    forms::MenuItem chi;          // "汉字": practice on a text from the word pool
    forms::MenuItem zixuan;       // "选择": practice on a chosen text file

    forms::ControlArray<forms::Label, 0, kGridCells> La;  // the grid; La(0) is the template
    forms::Picture Image5;                                // the radical chart, over the lower rows
    forms::Picture Image2;                                // the practice cursor
    forms::Panel Frame3;                                  // the practice panel
    forms::Label Label22;                                 // code look-up result
    forms::Timer Timer3{300};                             // practice-cursor blink
    std::int16_t typedPos = 1;                            // practice position

    // Lays the 406 cells out from the template, row by row.
    void CreatePracticeGrid();
    // A game takes the play area: chart and cursor hidden, blinking off.
    void HideForGame();
    // Every cell empty, see-through, in the window's colour.
    void ClearGrid(forms::Color back_color);
};

}  // namespace quorlax
