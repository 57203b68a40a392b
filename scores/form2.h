// Form2, the hall-of-fame window "    英   雄   榜" as a portable object: the
// three tables, the name box and its confirmation, the OK button. The Win32
// side (form2_win) creates the real window while the form is loaded.
#pragma once

#include <functional>
#include <string>

#include "forms/controls.h"
#include "scores/hall_of_fame.h"

namespace quorlax {

class Form1;

inline constexpr wchar_t kHallOfFameTitle[] = L"    英   雄   榜";
inline constexpr wchar_t kNameBoxInitial[] = L"姓名";
inline constexpr int kNameMaxLength = 12;  // characters a player may type as a name
inline constexpr wchar_t kHallOfFameUnsaved[] = L"英雄榜无法保存，这次的成绩没有记下。游戏继续。";

class Form2 {
public:
    Form2(Form1& main, ISettingsStore& store);
    Form2(const Form2&) = delete;
    Form2& operator=(const Form2&) = delete;

    // --- the window's controls ---
    forms::Label Title;                    // "    英   雄   榜"
    forms::Label Headings[3];              // " 中    文", " 英     文", "  数    字"
    forms::Label ColumnHeads[3][3];        // "名  次", "得  分", "姓  名" per table
    forms::Label RankCaptions[3][kRanks];  // "第一名".."第五名" per table
    forms::Label ScoreCells[3][kRanks];    // the stored scores, per pool and rank
    forms::Label NameCells[3][kRanks];     // the stored names, per pool and rank
    forms::TextBox Text1;                  // the name box
    forms::CommandButton Command1;         // the OK button "确  定", the default
    static constexpr float kWidth = 8700;  // twips the content needs
    static constexpr float kHeight = 4400;

    bool Loaded() const { return loaded_; }
    // The first access loads the window; loading shows it.
    void Load();
    void Unload();

    // --- handlers ---
    void Form_Load();
    void Text1_LostFocus();
    void Command1_Click();

    // Used by the main window: the ranking menu, and the game over.
    void RankingMenu();
    void ShowNameBox();

    // Host hooks: the real window follows the model.
    std::function<void()> OnLoaded;     // create and show the window
    std::function<void()> OnUnloaded;   // destroy it
    std::function<void()> OnFocusName;  // give the name box the keyboard focus
    std::function<void()> OnChanged;    // repaint

private:
    void Fill(Pool pool);
    void FillChineseInterleaved();
    void InsertInto(Pool pool);

    Form1& main_;
    HallOfFame table_;
    bool loaded_ = false;
    bool entry_pending_ = false;  // a game over entitles one insertion
};

// The table's column index of a pool: Chinese left, English middle, digits right.
inline int TableIndex(Pool pool) { return pool == Pool::Chinese ? 0 : pool == Pool::English ? 1 : 2; }

}  // namespace quorlax
