// The hall-of-fame window "    英   雄   榜" as a portable object: the
// three tables, the name box and its confirmation, the OK button. The Win32
// side (hall_of_fame_window_win) creates the real window while the form is loaded.
#pragma once

#include <functional>
#include <string>

#include "core/board.h"
#include "forms/controls.h"
#include "scores/hall_of_fame.h"

namespace quorlax {

inline constexpr wchar_t kHallOfFameTitle[] = L"    英   雄   榜";
inline constexpr wchar_t kNameBoxInitial[] = L"姓名";
inline constexpr int kNameMaxLength = 12;  // characters a player may type as a name
inline constexpr wchar_t kHallOfFameUnsaved[] = L"英雄榜无法保存，这次的成绩没有记下。游戏继续。";

class HallOfFameForm final : public forms::ToolForm {
public:
    HallOfFameForm(Board& board, ISettingsStore& store);

    // --- the window's controls ---
    forms::Label title;                    // "    英   雄   榜"
    forms::Label headings[3];              // " 中    文", " 英     文", "  数    字"
    forms::Label columnHeads[3][3];        // "名  次", "得  分", "姓  名" per table
    forms::Label rankCaptions[3][kRanks];  // "第一名".."第五名" per table
    forms::Label scoreCells[3][kRanks];    // the stored scores, per pool and rank
    forms::Label nameCells[3][kRanks];     // the stored names, per pool and rank
    forms::TextBox nameBox;
    forms::CommandButton okButton;         // "确  定", the default
    static constexpr float kWidth = 8700;  // twips the content needs
    static constexpr float kHeight = 4400;

    // The first access loads the window; loading shows it.
    void Load();

    // --- handlers ---
    void OnLoad() override;
    void OnNameBoxLostFocus();
    void OnOk();

    // The ranking menu, and a game total good enough for the table.
    void RankingMenu();
    void ShowNameBox();

    std::function<void()> OnFocusName;  // the window gives the name box the keyboard focus

private:
    void OnUnload() override { entry_pending_ = false; }
    void Fill(GamePool pool);
    void FillChineseInterleaved();

    Board& board_;
    HallOfFame table_;
    bool entry_pending_ = false;  // a game over entitles one insertion
};

// The table's column index of a pool: Chinese left, English middle, digits right.
inline int TableIndex(GamePool pool) {
    return pool == GamePool::Chinese ? 0 : pool == GamePool::English ? 1 : 2;
}

}  // namespace quorlax
