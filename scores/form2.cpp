// The hall-of-fame window: loading, the ranking menu, name entry.
#include "scores/form2.h"

#include "app/counters.h"
#include "app/form1.h"
#include "platform/nearest.h"

namespace quorlax {
namespace {

constexpr float kCellWidth = 795, kCellHeight = 300;
constexpr float kRowTops[kRanks] = {1770, 2130, 2490, 2850, 3210};
constexpr float kColumnLefts[3][3] = {{210, 1050, 1890}, {3090, 3960, 4830}, {6030, 6900, 7770}};
constexpr float kHeadingLefts[3] = {720, 3600, 6510};
const wchar_t* const kHeadings[3] = {L" 中    文", L" 英     文", L"  数    字"};
const wchar_t* const kColumnHeads[3] = {L"名  次", L"得  分", L"姓  名"};
const wchar_t* const kRankCaptions[kRanks] = {L"第一名", L"第二名", L"第三名", L"第四名", L"第五名"};

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

Form2::Form2(Form1& main, ISettingsStore& store) : main_(main), table_(store) {
    Cell(Title, 1650, 120, 5685, 525, kHallOfFameTitle);
    Title.Font = {L"黑体", 21.75f};
    Title.ForeColor = forms::kRed;
    for (int t = 0; t < 3; ++t) {
        Cell(Headings[t], kHeadingLefts[t], 1020, 1425, 315, kHeadings[t]);
        Headings[t].Font = {L"黑体", 12};
        for (int c = 0; c < 3; ++c)
            Cell(ColumnHeads[t][c], kColumnLefts[t][c], 1410, kCellWidth, kCellHeight, kColumnHeads[c]);
        for (int r = 0; r < kRanks; ++r) {
            Cell(RankCaptions[t][r], kColumnLefts[t][0], kRowTops[r], kCellWidth, kCellHeight,
                 kRankCaptions[r]);
            Cell(ScoreCells[t][r], kColumnLefts[t][1], kRowTops[r], kCellWidth, kCellHeight);
            Cell(NameCells[t][r], kColumnLefts[t][2], kRowTops[r], kCellWidth, kCellHeight);
            ScoreCells[t][r].ForeColor = NameCells[t][r].ForeColor = 0x00800000;
        }
    }
    Text1.Left = 3750;
    Text1.Top = 3630;
    Text1.Width = 1305;
    Text1.Height = 315;
    Text1.MaxLength = kNameMaxLength;
    Text1.Font = {L"宋体", 10.5f};
    Text1.SetText(kNameBoxInitial);
    Command1.Place(3780, 3960, 1305, 315);
    Command1.Caption = L"确  定";
    Command1.Font = Text1.Font;
    Command1.Default = true;
    Command1.Click = [this] { Command1_Click(); };
}

void Form2::Load() {
    if (loaded_) return;
    Form_Load();
}

void Form2::Form_Load() {
    loaded_ = true;
    entry_pending_ = false;
    Text1.SetText(kNameBoxInitial);
    FillChineseInterleaved();
    Fill(Pool::English);
    Fill(Pool::Digits);
    if (OnLoaded) OnLoaded();  // placed topmost and shown
    Text1.Visible = false;
    if (OnChanged) OnChanged();
}

void Form2::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    entry_pending_ = false;
    if (OnUnloaded) OnUnloaded();
}

void Form2::FillChineseInterleaved() {
    for (int r = 1; r <= kRanks; ++r) {
        ScoreCells[0][r - 1].SetCaption(table_.ScoreText(Pool::Chinese, r));
        NameCells[0][r - 1].SetCaption(table_.Name(Pool::Chinese, r));
    }
}

void Form2::Fill(Pool pool) {
    const int t = TableIndex(pool);
    for (int r = 1; r <= kRanks; ++r) ScoreCells[t][r - 1].SetCaption(table_.ScoreText(pool, r));
    for (int r = 1; r <= kRanks; ++r) NameCells[t][r - 1].SetCaption(table_.Name(pool, r));
}

void Form2::RankingMenu() {
    Load();
    main_.appearance.form3.Unload();
    FillChineseInterleaved();
    if (OnChanged) OnChanged();
}

void Form2::ShowNameBox() {
    Load();
    Text1.Visible = true;
    entry_pending_ = true;
    if (OnFocusName) OnFocusName();
    if (OnChanged) OnChanged();
}

void Form2::Text1_LostFocus() {
    // One game over enters its total once, however often the box loses
    // the focus afterwards.
    if (!entry_pending_) return;
    entry_pending_ = false;
    if (main_.yw1.Checked) InsertInto(Pool::English);
    if (main_.sz1.Checked) InsertInto(Pool::Digits);
    if (main_.s2.Checked) InsertInto(Pool::Chinese);
}

void Form2::InsertInto(Pool pool) {
    if (CounterValue(main_.Label11.Caption()) != 0) return;  // a new game has begun since
    table_.Insert(pool, main_.scores.GameTotal(), Text1.Text());
    if (table_.WriteFailed()) main_.ReportUnsaved(kHallOfFameUnsaved);
}

void Form2::Command1_Click() {
    Text1.Visible = false;
    Unload();
}

}  // namespace quorlax
