// Form1: the design of its controls and menus, start-up and shut-down.
#include "app/form1.h"

#include "app/counters.h"
#include "platform/gbk.h"

namespace quorlax {
namespace {

constexpr float kLabelLefts[] = {525, 2715, 5085, 7350, 10035};
constexpr float kLabelTops[] = {-300, -330, -330, -360, -330};
constexpr float kLabelWidths[] = {1365, 1365, 1365, 1350, 1350};
constexpr float kShotLefts[] = {900, 3120, 5490, 7740, 10410};

// A caption or value label of the statistics panel.
void PanelLabel(forms::Label& l, forms::Panel& panel, float left, float top, const wchar_t* caption,
                forms::Color color) {
    l.Container = &panel;
    l.Place(left, top, 1300, 360);
    l.Font = {L"宋体", 14.25f, true};
    l.ForeColor = color;
    l.SetCaption(caption);
}

}  // namespace

Form1::Form1(Services& services)
    : appearance(*this, services),
      practice(*this, services),
      battle(*this, services),
      scores(*this, services),
      services_(services) {
    BuildControls();
    BuildMenus();
}

void Form1::BuildControls() {
    for (int i = 1; i <= 5; ++i) {
        auto& l = Label(i);
        l.Place(kLabelLefts[i - 1], kLabelTops[i - 1], kLabelWidths[i - 1], 435);
        l.Alignment = forms::Alignment::Center;
        l.ForeColor = forms::kYellow;
        l.BackStyle = forms::BackStyle::Transparent;
        l.Font = {L"仿宋_GB2312", 21.75f};
        l.SetCaption(L"Label" + std::to_wstring(i));

        auto& shot = Image3(i);
        shot.Place(kShotLefts[i - 1], kShotRest, 480, 480);
        shot.Art = forms::Art::Shot;
    }
    Image1.Place(0, kFloorRest, 12000, 90);
    Image1.Art = forms::Art::FloorLine;
    Image4.Place(450, 3810, 480, 480);
    Image4.Art = forms::Art::HitFlash;
    Image4.Visible = false;

    Label15.Place(2550, 2580, 6705, 1455);
    Label15.SetCaption(kGameOver);
    Label15.ForeColor = forms::kRed;
    Label15.Font = {L"黑体", 72};
    Label15.Alignment = forms::Alignment::Center;
    Label13.Place(3000, 5550, 795, 285);
    Label13.Font = {L"宋体", 9};
    Label13.Visible = false;
    Label19.Place(4140, 5340, 1155, 345);
    Label19.Visible = false;
    Text2.Place(1140, 4290, 885, 405);
    Text2.Visible = false;
    Text2.SetText(L"Text2");
    Text3.Place(1140, 5100, 885, 375);
    Text3.Visible = false;
    Text3.SetText(L"Text3");

    Frame4.Place(0, 6480, 11835, 1455);
    Frame4.BackColor = kDefaultBackColor;
    Text1.Container = &Frame4;
    Text1.Place(4860, 450, 1905, 435);
    Text1.BackColor = kDefaultBackColor;
    Text1.ForeColor = forms::kYellow;
    Text1.Font = {L"宋体", 18};
    Text1.MaxLength = 10;
    PanelLabel(Label7, Frame4, 450, 300, L"得  分：", forms::kWhite);
    PanelLabel(Label6, Frame4, 1710, 300, L"0", forms::kYellow);
    PanelLabel(Label17, Frame4, 480, 690, L"附加分：", forms::kWhite);
    PanelLabel(Label16, Frame4, 1710, 720, L"0", forms::kYellow);
    PanelLabel(Label8, Frame4, 8730, 300, L"速度：", forms::kWhite);
    PanelLabel(Label9, Frame4, 9660, 300, L"0", forms::kYellow);
    PanelLabel(Label14, Frame4, 10410, 300, L"字/分", forms::kWhite);
    PanelLabel(Label10, Frame4, 8730, 690, L"生命：", forms::kWhite);
    PanelLabel(Label11, Frame4, 9660, 690, L"5", forms::kYellow);
    Label9.Width = Label11.Width = 750;

    // The reactions and handlers run inside every write, as the rules rely on.
    Label6.Change = [this] { scores.Label6_Change(); };
    Label11.Change = [this] { scores.Label11_Change(); };
    Text1.Change = [this] { Text1_Change(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
    Timer6.Tick = [this] { Timer6_Timer(); };
}

void Form1::BuildMenus() {
    mnuFile.Define(L"mnuFile", L" 文 件");
    mnuGame.Define(L"mnuGame", L"游 戏");
    s2.Define(L"s2", L"汉字", L"Ctrl+H");
    yw1.Define(L"yw1", L"英文", L"Ctrl+Y");
    sz1.Define(L"sz1", L"数字", L"Ctrl+S");
    exit.Define(L"exit", L"退 出");
    mnuGame.Items = {&s2, &yw1, &sz1, &battle.wldz};
    mnuFile.Items = {&mnuGame, &practice.mnuPractice, &appearance.mnuSettings, &scores.p1, &exit};

    static const wchar_t* const kSpeedCaptions[] = {L"一速", L"二速", L"三速", L"四速", L"五速", L"六速",
                                                    L"七速", L"八速", L"九速", L"十速", L"飞速"};
    s0.Define(L"s0", L" 速 度");
    for (int i = 1; i <= 11; ++i) {
        sd(i).Define((L"sd" + std::to_wstring(i)).c_str(), kSpeedCaptions[i - 1]);
        sd(i).Click = [this, i] { sd_Click(i); };
        s0.Items.push_back(&sd(i));
    }
    sd(11).Visible = false;  // the hidden "飞速"
    sd(11).Enabled = false;

    sm1.Define(L"sm1", L" 生 命 ");
    wx1.Define(L"wx1", L"无限制");
    sm1.Items = {&wx1};
    sm1.Enabled = false;  // stands greyed in the menu bar, as designed

    bz1.Define(L"bz1", L" 帮 助");
    bz1.Items = {&appearance.bang, &appearance.guanyu};
    MenuBar = {&mnuFile, &s0, &sm1, &bz1};

    s2.Click = [this] { s2_Click(); };
    yw1.Click = [this] { yw1_Click(); };
    sz1.Click = [this] { sz1_Click(); };
    wx1.Click = [this] { wx1_Click(); };
    exit.Click = [this] { exit_Click(); };
}

bool Form1::Form_Load() {
    if (SetupSkin) SetupSkin();
    battle.battleWins = 0;
    battle.battleLosses = 0;
    appearance.xuantu();
    appearance.ApplyStored();
    HallOfFame(services_.settings).StartupFill();
    if (!LoadDataFile(kWordPoolFile, charPool) || !LoadDataFile(kCodeTableFile, codeTable)) return false;
    pool_ = WordPool(charPool);
    // Drawing would never find a word, or a practice text never be built:
    // say so once instead of hanging, and grey what cannot work.
    const bool practice_ok = practice.CheckPool(pool_);
    if (!pool_.CanDrawWord()) {
        services_.messages.Show(std::wstring(L"数据文件 ") + kWordPoolFile +
                                L" 中没有可抽取的词语（每个词语前面应有一个空格之类的单字节字符）。\n"
                                L"“汉字”游戏暂不可用。" +
                                (practice_ok ? L"" : L"\n“练习 › 汉字”也不可用。"));
        s2.Enabled = false;
    } else if (!practice_ok) {
        services_.messages.Show(std::wstring(L"数据文件 ") + kWordPoolFile +
                                L" 太短（不足 30 个字）或其中没有可抽取的词语，无法生成练习文本。\n"
                                L"“练习 › 汉字”暂不可用；“练习 › 选择”仍可使用。");
    }

    s0.Enabled = true;
    Label15.Visible = false;
    for (int i = 1; i <= 11; ++i) sd(i).Checked = (i == 1);
    Label9.SetCaption(L"0");
    Label16.SetCaption(L"0");
    scores.form2.Unload();
    appearance.CloseWindows();
    Label19.SetCaption(L"0");
    Label13.SetCaption(L"1");
    Visible = true;
    // The score is written once: its reaction only moves a raised floor line,
    // and at start-up the line lies at rest. The designed Timer1 runs at
    // 100 ms; it is both stopped and left without an interval until a game
    // applies the chosen speed.
    Label6.SetCaption(L"0");
    Timer1.SetEnabled(false);
    Label11.SetCaption(L"5");
    Timer1.SetInterval(0);
    for (auto& l : Label) {
        l.Top = kSpawnTop;
        l.Font.Size = 9;
    }
    Caption = kProductName;
    practice.La(0).BackColor = BackColor;
    practice.La(0).ForeColor = Label10.ForeColor;
    practice.CreatePracticeGrid();
    return true;
}

bool Form1::LoadDataFile(const wchar_t* name, std::wstring& target) {
    DataFile file = services_.files.Read(name);
    if (!file.ok) {
        services_.messages.Show(std::wstring(L"无法读取数据文件 ") + name +
                                L"。\n它应当放在这个文件夹里：\n" + file.folder +
                                L"\n\n请重新安装 Quorlax。程序将退出。");
        return false;
    }
    target = JoinLines(file.text);
    return true;
}

std::vector<forms::Timer*> Form1::Timers() {
    return {&Timer1, &Timer2, &practice.Timer3, &battle.Timer4, &battle.Timer5, &Timer6, &battle.JoinLimit};
}

void Form1::ReportUnsaved(std::wstring_view message) {
    for (const auto& told : unsaved_told_)
        if (told == message) return;
    unsaved_told_.emplace_back(message);
    services_.messages.Show(message);
}

void Form1::exit_Click() {
    scores.form2.Unload();
    appearance.CloseWindows();
    if (Unload) Unload();
}

}  // namespace quorlax
