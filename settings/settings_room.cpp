// The settings room: the stored appearance, the three dialog commands, help
// and About.
#include "settings/settings_room.h"

#include "core/counters.h"
#include "core/stored_names.h"

namespace quorlax {
namespace {

constexpr wchar_t kColorDialogTitle[] = L"Background...";
constexpr wchar_t kFontDialogTitle[] = L"字体";
constexpr forms::Color kNoChoice = forms::kBlack;  // black counts as no choice

}  // namespace

SettingsRoom::SettingsRoom(Board& board, Services& services)
    : about(board, services), pictureChooser(board, services), board_(board), services_(services) {
    backColorItem.Define(L"背景颜色", L"Ctrl+B");
    backPictureItem.Define(L"背景图案", L"Ctrl+I");
    textColorItem.Define(L"文字颜色", L"Ctrl+J");
    textFontItem.Define(L"文字字体", L"Ctrl+K");
    helpItem.Define(L"帮 助");
    aboutItem.Define(L"关 于");
    codeModeItem.Define(L"五笔编码输入", L"Ctrl+W");
    codeModeItem.Click = [this] { OnCodeMode(); };
    backColorItem.Click = [this] { OnBackColor(); };
    textColorItem.Click = [this] { OnTextColor(); };
    textFontItem.Click = [this] { OnTextFont(); };
    backPictureItem.Click = [this] { OnBackPicture(); };
    helpItem.Click = [this] { OnHelp(); };
    aboutItem.Click = [this] { OnAbout(); };

    board_.gameStarting.Listen([this](GamePool) {
        RestoreStoredPicture();
        CloseWindows();
    });
    board_.gameEnding.Listen([this] { about.Unload(); });
    board_.closeAsked.Listen([this](ToolWindow window) {
        if (window == ToolWindow::About) about.Unload();
    });
}

void SettingsRoom::Load() {
    RestoreStoredPicture();
    // A hand-edited value that is no whole number counts as absent.
    auto background = ParseInt32(services_.settings.Get(kChoicesSection, kBackColorKey));
    board_.backColor = background ? static_cast<forms::Color>(*background) : kDefaultBackColor;
    if (auto text = ParseInt32(services_.settings.Get(kChoicesSection, kTextColorKey)))
        for (forms::Label* l : board_.scene.Reached(forms::kColorSetting))
            l->ForeColor = static_cast<forms::Color>(*text);
    std::wstring face = services_.settings.Get(kChoicesSection, kTextFontKey);
    if (!face.empty())
        for (forms::Label* l : board_.scene.Reached(forms::kFontSetting)) l->Font.Name = face;
    // Anything but a clean "1" leaves the code mode off.
    codeModeItem.Checked = services_.settings.Get(kChoicesSection, kCodeModeKey) == L"1";
    board_.SetCodeMode(codeModeItem.Checked);
}

void SettingsRoom::OnCodeMode() {
    codeModeItem.Checked = !codeModeItem.Checked;
    board_.SetCodeMode(codeModeItem.Checked);
    Store(kCodeModeKey, codeModeItem.Checked ? L"1" : L"0");
}

void SettingsRoom::RestoreStoredPicture() {
    std::wstring path = services_.settings.Get(kChoicesSection, kPictureKey);
    if (path.empty()) {
        board_.picture.reset();
        return;
    }
    // A missing or broken file changes nothing and says nothing.
    if (auto picture = services_.pictures.Load(path)) board_.picture = std::move(picture);
}

void SettingsRoom::OnBackColor() {
    auto color = services_.dialogs.PickColor(kColorDialogTitle, board_.backColor);
    if (color && *color != kNoChoice) {
        board_.backColor = *color;
        Store(kBackColorKey, CounterText(static_cast<std::int32_t>(board_.backColor)));
    }
    board_.backColorChanged();
}

void SettingsRoom::OnTextColor() {
    auto color = services_.dialogs.PickColor(kColorDialogTitle, board_.TextColor());
    if (!color || *color == kNoChoice) return;
    for (forms::Label* l : board_.scene.Reached(forms::kColorSetting)) l->ForeColor = *color;
    board_.textColorChanged();
    Store(kTextColorKey, CounterText(static_cast<std::int32_t>(board_.TextColor())));
}

void SettingsRoom::OnTextFont() {
    auto face = services_.dialogs.PickFont(kFontDialogTitle, board_.TextFont());
    if (!face || face->empty()) return;
    for (forms::Label* l : board_.scene.Reached(forms::kFontSetting)) l->Font.Name = *face;
    Store(kTextFontKey, board_.TextFont().Name);
}

void SettingsRoom::Store(std::wstring_view key, std::wstring_view value) {
    // The choice holds for this run either way; the player learns, once,
    // that it will not outlive it.
    if (!services_.settings.Save(kChoicesSection, key, value)) board_.TellOnce(kAppearanceUnsaved);
}

void SettingsRoom::OnBackPicture() { pictureChooser.LoadOrFront(); }

void SettingsRoom::OnHelp() {
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

void SettingsRoom::OnAbout() {
    about.LoadOrFront();
    board_.closeAsked(ToolWindow::HallOfFame);
}

void SettingsRoom::CloseWindows() {
    about.Unload();
    pictureChooser.Unload();
}

}  // namespace quorlax
