// Appearance: the stored background picture and the three dialog commands.
#include "app/counters.h"
#include "app/form1.h"

namespace quorlax {
namespace {

constexpr wchar_t kColorDialogTitle[] = L"Background...";
constexpr wchar_t kFontDialogTitle[] = L"字体";
constexpr forms::Color kNoChoice = forms::kBlack;  // black counts as no choice

}  // namespace

void Form1::xuantu() {
    std::wstring path = services_.settings.Get(kSectionRegister, L"t1");
    if (path.empty()) {
        Picture.reset();
        return;
    }
    // A missing or broken file changes nothing and says nothing.
    if (auto picture = services_.pictures.Load(path)) Picture = std::move(picture);
}

std::vector<forms::Label*> Form1::FontTargets(bool whole_grid) {
    std::vector<forms::Label*> targets;
    for (auto& l : Label) targets.push_back(&l);
    for (forms::Label* l :
         {&Label6, &Label7, &Label8, &Label9, &Label10, &Label11, &Label16, &Label17, &Label14, &Label22})
        targets.push_back(l);
    targets.push_back(&La(0));
    if (whole_grid)
        for (int i = 1; i <= kGridCells; ++i) targets.push_back(&La(i));
    return targets;
}

void Form1::ys_Click() {
    auto color = services_.dialogs.PickColor(kColorDialogTitle, BackColor);
    if (color && *color != kNoChoice) {
        BackColor = *color;
        services_.settings.Save(kSectionRegister, L"ys1", CounterText(static_cast<std::int32_t>(BackColor)));
    }
    for (auto& cell : La) cell.BackColor = BackColor;
}

void Form1::wzys_Click() {
    auto color = services_.dialogs.PickColor(kColorDialogTitle, Label(1).ForeColor);
    if (!color || *color == kNoChoice) return;
    for (auto& l : Label) l.ForeColor = *color;
    Label22.ForeColor = *color;
    for (auto& cell : La) cell.ForeColor = *color;
    services_.settings.Save(kSectionRegister, L"wz1",
                            CounterText(static_cast<std::int32_t>(Label(1).ForeColor)));
}

void Form1::wzzt_Click() {
    auto face = services_.dialogs.PickFont(kFontDialogTitle, Label(1).Font);
    if (!face || face->empty()) return;
    for (forms::Label* l : FontTargets(true)) l->Font.Name = *face;
    services_.settings.Save(kSectionRegister, L"wzzt", Label(1).Font.Name);
}

void Form1::p1_Click() { form2.RankingMenu(); }

}  // namespace quorlax
