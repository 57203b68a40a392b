// The practice room: its controls and the grid layout.
#include "practice/practice_room.h"

#include "app/form1.h"

namespace quorlax {
namespace {

constexpr float kGridRight = 11602;  // a cell whose Left passes this starts a new row

}  // namespace

PracticeRoom::PracticeRoom(Form1& form)
    : La(form.scene, forms::Layer::Grid, forms::kFontSetting | forms::kColorSetting),
      Image5(form.scene, forms::Layer::Grid),
      Image2(form.scene, forms::Layer::Grid),
      Frame3(form.scene, forms::Layer::Panel),
      Label22(form.scene, forms::Layer::PanelContent, forms::kFontSetting | forms::kColorSetting) {
    mnuPractice.Define(L"mnuPractice", L"练 习");
    chi.Define(L"chi", L"汉字", L"Ctrl+D");
    zixuan.Define(L"zixuan", L"选择", L"Ctrl+G");
    mnuPractice.Items = {&chi, &zixuan};

    auto& cell = La(0);
    cell.Place(-310, 60, 400, 400);
    cell.Alignment = forms::Alignment::Center;
    cell.Font = {L"宋体", 18};
    cell.BackStyle = forms::BackStyle::Opaque;
    cell.BackColor = forms::kSystemWindow;
    cell.ForeColor = forms::kSystemWindowText;
    for (int i = 1; i <= kGridCells; ++i) La(i).Visible = false;  // created at load

    Image5.Place(1200, 3450, 9315, 2895);
    Image5.Art = forms::Art::RadicalTable;
    Image5.Visible = false;
    Image2.Place(870, 2300, 480, 480);
    Image2.Art = forms::Art::PracticeCursor;
    Image2.Visible = false;

    Frame3.Place(0, 6480, 11865, 1485);
    Frame3.BackColor = kDefaultBackColor;
    Frame3.Visible = false;
    Label22.Container = &Frame3;
    Label22.Place(7000, 450, 3000, 400);
    Label22.Font = {L"楷体_GB2312", 14.25f};
    Label22.SetCaption(L"按F1查询编码");
}

void PracticeRoom::CreatePracticeGrid() {
    auto& tmpl = La(0);
    for (int i = 1; i <= kGridCells; ++i) {
        auto& cell = La(i);
        auto& prev = La(i - 1);
        cell.Left = tmpl.Left;
        cell.Top = tmpl.Top;
        cell.Width = tmpl.Width;
        cell.Height = tmpl.Height;
        cell.Font = tmpl.Font;
        cell.ForeColor = tmpl.ForeColor;
        cell.BackColor = tmpl.BackColor;
        cell.BackStyle = tmpl.BackStyle;
        cell.Alignment = tmpl.Alignment;
        cell.Container = tmpl.Container;
        cell.SetCaption(L"");
        cell.Left = prev.Left + prev.Width;
        cell.Visible = true;
        if (cell.Left > kGridRight && cell.Top == prev.Top) {
            tmpl.Top += tmpl.Height + 50;
            cell.Left = tmpl.Left + tmpl.Width;
            cell.Top = tmpl.Top;
        }
    }
}

void PracticeRoom::HideForGame() {
    Image5.Visible = false;
    Image2.Visible = false;
    Timer3.SetEnabled(false);
}

void PracticeRoom::ClearGrid(forms::Color back_color) {
    for (int i = 1; i <= kGridCells; ++i) {
        auto& cell = La(i);
        cell.SetCaption(L"");
        cell.BackColor = back_color;
        cell.BackStyle = forms::BackStyle::Transparent;
    }
}

}  // namespace quorlax
