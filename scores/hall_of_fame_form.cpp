// The hall-of-fame window: loading, the ranking menu, name entry.
#include "scores/hall_of_fame_form.h"

#include "core/counters.h"
#include "platform/nearest.h"

namespace quorlax {
namespace {

constexpr float kCellWidth = 795, kCellHeight = 300;
constexpr float kRowTops[kRanks] = {1770, 2130, 2490, 2850, 3210};
constexpr float kColumnLefts[3][3] = {{210, 1050, 1890}, {3090, 3960, 4830}, {6030, 6900, 7770}};
constexpr float kHeadingLefts[3] = {720, 3600, 6510};
const wchar_t* const kheadings[3] = {L" 中    文", L" 英     文", L"  数    字"};
const wchar_t* const kcolumnHeads[3] = {L"名  次", L"得  分", L"姓  名"};
const wchar_t* const krankCaptions[kRanks] = {L"第一名", L"第二名", L"第三名", L"第四名", L"第五名"};

void Cell(forms::Label& l, float left, float top, float width, float height, const wchar_t* caption = L"") {
    l.Left = left;
    l.Top = top;
    l.Width = width;
    l.Height = height;
    l.Font = {L"宋体", 10.5f};
    l.ForeColor = forms::kBlack;
    l.SetCaption(caption);
}

}  // namespace

HallOfFameForm::HallOfFameForm(Board& board, ISettingsStore& store) : board_(board), table_(store) {
    Cell(title, 1650, 120, 5685, 525, kHallOfFameTitle);
    title.Font = {L"黑体", 21.75f};
    title.ForeColor = forms::kRed;
    for (int t = 0; t < 3; ++t) {
        Cell(headings[t], kHeadingLefts[t], 1020, 1425, 315, kheadings[t]);
        headings[t].Font = {L"黑体", 12};
        for (int c = 0; c < 3; ++c)
            Cell(columnHeads[t][c], kColumnLefts[t][c], 1410, kCellWidth, kCellHeight, kcolumnHeads[c]);
        for (int r = 0; r < kRanks; ++r) {
            Cell(rankCaptions[t][r], kColumnLefts[t][0], kRowTops[r], kCellWidth, kCellHeight,
                 krankCaptions[r]);
            Cell(scoreCells[t][r], kColumnLefts[t][1], kRowTops[r], kCellWidth, kCellHeight);
            Cell(nameCells[t][r], kColumnLefts[t][2], kRowTops[r], kCellWidth, kCellHeight);
            scoreCells[t][r].ForeColor = nameCells[t][r].ForeColor = 0x00800000;
        }
    }
    nameBox.Left = 3750;
    nameBox.Top = 3630;
    nameBox.Width = 1305;
    nameBox.Height = 315;
    nameBox.MaxLength = kNameMaxLength;
    nameBox.Font = {L"宋体", 10.5f};
    nameBox.SetText(kNameBoxInitial);
    okButton.Place(3780, 3960, 1305, 315);
    okButton.Caption = L"确  定";
    okButton.Font = nameBox.Font;
    okButton.Default = true;
    okButton.Click = [this] { OnOk(); };
}

void HallOfFameForm::Load() {
    if (Loaded()) return;
    OnLoad();
}

void HallOfFameForm::OnLoad() {
    entry_pending_ = false;
    nameBox.SetText(kNameBoxInitial);
    FillChineseInterleaved();
    Fill(GamePool::English);
    Fill(GamePool::Digits);
    Show();  // placed topmost and shown
    nameBox.Visible = false;
    Changed();
}

void HallOfFameForm::FillChineseInterleaved() {
    for (int r = 1; r <= kRanks; ++r) {
        scoreCells[0][r - 1].SetCaption(table_.ScoreText(GamePool::Chinese, r));
        nameCells[0][r - 1].SetCaption(table_.Name(GamePool::Chinese, r));
    }
}

void HallOfFameForm::Fill(GamePool pool) {
    const int t = TableIndex(pool);
    for (int r = 1; r <= kRanks; ++r) scoreCells[t][r - 1].SetCaption(table_.ScoreText(pool, r));
    for (int r = 1; r <= kRanks; ++r) nameCells[t][r - 1].SetCaption(table_.Name(pool, r));
}

void HallOfFameForm::RankingMenu() {
    Load();
    board_.closeAsked(ToolWindow::About);
    FillChineseInterleaved();
    Changed();
}

void HallOfFameForm::ShowNameBox() {
    Load();
    nameBox.Visible = true;
    entry_pending_ = true;
    if (OnFocusName) OnFocusName();
    Changed();
}

void HallOfFameForm::OnNameBoxLostFocus() {
    // One game over enters its total once, however often the box loses
    // the focus afterwards.
    if (!entry_pending_) return;
    entry_pending_ = false;
    const GameStanding game = board_.standing();
    if (!game.pool) return;
    if (game.lives != 0) return;  // a new game has begun since
    table_.Insert(*game.pool, game.total, nameBox.Text());
    if (table_.WriteFailed()) board_.TellOnce(kHallOfFameUnsaved);
}

void HallOfFameForm::OnOk() {
    nameBox.Visible = false;
    Unload();
}

}  // namespace quorlax
