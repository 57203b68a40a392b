// Appearance: the stored background picture and the three dialog commands.
#include "settings/appearance.h"

#include "app/counters.h"
#include "app/form1.h"

namespace quorlax {
namespace {

constexpr wchar_t kColorDialogTitle[] = L"Background...";
constexpr wchar_t kFontDialogTitle[] = L"字体";
constexpr forms::Color kNoChoice = forms::kBlack;  // black counts as no choice

}  // namespace

AppearanceRoom::AppearanceRoom(Form1& form, Services& services)
    : form3(form, services), form4(form, services), form_(form), services_(services) {
    mnuSettings.Define(L"mnuSettings", L"设 置");
    ys.Define(L"ys", L"背景颜色", L"Ctrl+B");
    tt.Define(L"tt", L"背景图案", L"Ctrl+I");
    wzys.Define(L"wzys", L"文字颜色", L"Ctrl+J");
    wzzt.Define(L"wzzt", L"文字字体", L"Ctrl+K");
    tsbm.Define(L"tsbm", L"错字提示编码");
    mnuSettings.Items = {&ys, &tt, &wzys, &wzzt, &tsbm};
    tsbm.Click = [this] { tsbm_Click(); };
    ys.Click = [this] { ys_Click(); };
    wzys.Click = [this] { wzys_Click(); };
    wzzt.Click = [this] { wzzt_Click(); };
    tt.Click = [this] { tt_Click(); };
    bang.Define(L"bang", L"帮 助");
    guanyu.Define(L"guanyu", L"关 于");
    bang.Click = [this] { bang_Click(); };
    guanyu.Click = [this] { guanyu_Click(); };
}

void AppearanceRoom::xuantu() {
    std::wstring path = services_.settings.Get(kSectionRegister, L"t1");
    if (path.empty()) {
        form_.Picture.reset();
        return;
    }
    // A missing or broken file changes nothing and says nothing.
    if (auto picture = services_.pictures.Load(path)) form_.Picture = std::move(picture);
}

void AppearanceRoom::ApplyStored() {
    // A hand-edited value that is no whole number counts as absent.
    auto background = ParseInt32(services_.settings.Get(kSectionRegister, L"ys1"));
    form_.BackColor = background ? static_cast<forms::Color>(*background) : kDefaultBackColor;
    // The grid is made later from its template, which takes the colours of
    // the panel; reaching it here changes nothing that stays.
    if (auto text = ParseInt32(services_.settings.Get(kSectionRegister, L"wz1")))
        for (forms::Label* l : form_.scene.Reached(forms::kColorSetting))
            l->ForeColor = static_cast<forms::Color>(*text);
    std::wstring face = services_.settings.Get(kSectionRegister, L"wzzt");
    if (!face.empty())
        for (forms::Label* l : form_.scene.Reached(forms::kFontSetting)) l->Font.Name = face;
    tsbm.Checked = services_.settings.Get(kSectionRegister, kCodeHintKey) == L"1";
}

void AppearanceRoom::ys_Click() {
    auto color = services_.dialogs.PickColor(kColorDialogTitle, form_.BackColor);
    if (color && *color != kNoChoice) {
        form_.BackColor = *color;
        Store(L"ys1", CounterText(static_cast<std::int32_t>(form_.BackColor)));
    }
    form_.practice.BackColorChanged();
}

void AppearanceRoom::wzys_Click() {
    auto color = services_.dialogs.PickColor(kColorDialogTitle, form_.Label(1).ForeColor);
    if (!color || *color == kNoChoice) return;
    for (forms::Label* l : form_.scene.Reached(forms::kColorSetting)) l->ForeColor = *color;
    form_.practice.TextColorChanged();
    Store(L"wz1", CounterText(static_cast<std::int32_t>(form_.Label(1).ForeColor)));
}

void AppearanceRoom::wzzt_Click() {
    auto face = services_.dialogs.PickFont(kFontDialogTitle, form_.Label(1).Font);
    if (!face || face->empty()) return;
    for (forms::Label* l : form_.scene.Reached(forms::kFontSetting)) l->Font.Name = *face;
    Store(L"wzzt", form_.Label(1).Font.Name);
}

void AppearanceRoom::tsbm_Click() {
    tsbm.Checked = !tsbm.Checked;
    Store(kCodeHintKey, tsbm.Checked ? L"1" : L"0");
}

void AppearanceRoom::Store(std::wstring_view key, std::wstring_view value) {
    // The choice holds for this run either way; the player learns, once,
    // that it will not outlive it.
    if (!services_.settings.Save(kSectionRegister, key, value)) form_.ReportUnsaved(kAppearanceUnsaved);
}

void AppearanceRoom::tt_Click() { form4.Load(); }

void AppearanceRoom::bang_Click() {
    // Opened with the system's viewer for web pages; the game goes on.
    const std::wstring folder = services_.shell.ProgramFolder();
    const std::wstring file = kHelpFile;
    switch (services_.shell.Open(JoinPath(folder, kHelpFile))) {
        case ShellResult::Opened: return;
        case ShellResult::NotFound:
            services_.messages.Show(L"找不到帮助文件 " + file + L"。\n它应当放在这个文件夹里：\n" + folder);
            return;
        case ShellResult::NoProgram:
            services_.messages.Show(L"无法打开帮助文件 " + file +
                                    L"：这台电脑上没有可以打开网页的程序。\n文件在这个文件夹里：\n" + folder);
            return;
        case ShellResult::Failed:
            services_.messages.Show(L"无法打开帮助文件 " + file + L"。\n文件在这个文件夹里：\n" + folder);
            return;
    }
}

void AppearanceRoom::guanyu_Click() {
    form3.Load();
    form_.scores.form2.Unload();
}

void AppearanceRoom::CloseWindows() {
    form3.Unload();
    form4.Unload();
}

}  // namespace quorlax
