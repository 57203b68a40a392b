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
constexpr float kGridRight = 11602;  // a cell whose Left passes this starts a new row

void Place(forms::Control& c, float left, float top, float width, float height) {
    c.Left = left;
    c.Top = top;
    c.Width = width;
    c.Height = height;
}

// A caption or value label of the statistics panel.
void PanelLabel(forms::Label& l, forms::Panel& panel, float left, float top, const wchar_t* caption,
                forms::Color color) {
    l.Container = &panel;
    Place(l, left, top, 1300, 360);
    l.Font = {L"宋体", 14.25f, true};
    l.ForeColor = color;
    l.SetCaption(caption);
}

void Item(forms::MenuItem& item, const wchar_t* name, const wchar_t* caption, const wchar_t* shortcut = L"") {
    item.Name = name;
    item.Caption = caption;
    item.Shortcut = shortcut;
}

}  // namespace

Form1::Form1(Services& services) : form2(*this, services.settings), services_(services) {
    BuildControls();
    BuildMenus();
}

void Form1::BuildControls() {
    for (int i = 1; i <= 5; ++i) {
        auto& l = Label(i);
        Place(l, kLabelLefts[i - 1], kLabelTops[i - 1], kLabelWidths[i - 1], 435);
        l.Alignment = forms::Alignment::Center;
        l.ForeColor = forms::kYellow;
        l.BackStyle = forms::BackStyle::Transparent;
        l.Font = {L"仿宋_GB2312", 21.75f};
        l.SetCaption(L"Label" + std::to_wstring(i));

        auto& shot = Image3(i);
        Place(shot, kShotLefts[i - 1], kShotRest, 480, 480);
        shot.Art = forms::Art::Shot;
    }
    Place(Image1, 0, kFloorRest, 12000, 90);
    Image1.Art = forms::Art::FloorLine;
    Place(Image4, 450, 3810, 480, 480);
    Image4.Art = forms::Art::HitFlash;
    Image4.Visible = false;
    Place(Image2, 870, 2300, 480, 480);
    Image2.Art = forms::Art::PracticeCursor;
    Image2.Visible = false;
    Place(Image5, 1200, 3450, 9315, 2895);
    Image5.Art = forms::Art::RadicalTable;
    Image5.Visible = false;

    Place(Label15, 2550, 2580, 6705, 1455);
    Label15.SetCaption(kGameOver);
    Label15.ForeColor = forms::kRed;
    Label15.Font = {L"黑体", 72};
    Label15.Alignment = forms::Alignment::Center;
    Place(Label13, 3000, 5550, 795, 285);
    Label13.Font = {L"宋体", 9};
    Label13.Visible = false;
    Place(Label19, 4140, 5340, 1155, 345);
    Label19.Visible = false;
    Place(Text2, 1140, 4290, 885, 405);
    Text2.Visible = false;
    Text2.SetText(L"Text2");
    Place(Text3, 1140, 5100, 885, 375);
    Text3.Visible = false;
    Text3.SetText(L"Text3");

    auto& cell = La(0);
    Place(cell, -310, 60, 400, 400);
    cell.Alignment = forms::Alignment::Center;
    cell.Font = {L"宋体", 18};
    cell.BackStyle = forms::BackStyle::Opaque;
    cell.BackColor = forms::kSystemWindow;
    cell.ForeColor = forms::kSystemWindowText;
    for (int i = 1; i <= kGridCells; ++i) La(i).Visible = false;  // created at load

    Place(Frame4, 0, 6480, 11835, 1455);
    Frame4.BackColor = kDefaultBackColor;
    Text1.Container = &Frame4;
    Place(Text1, 4860, 450, 1905, 435);
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

    Place(Frame3, 0, 6480, 11865, 1485);
    Frame3.BackColor = kDefaultBackColor;
    Frame3.Visible = false;
    Label22.Container = &Frame3;
    Place(Label22, 7000, 450, 3000, 400);
    Label22.Font = {L"楷体_GB2312", 14.25f};
    Label22.SetCaption(L"按F1查询编码");
    Place(Frame1, 2200, 2000, 7455, 3015);
    Frame1.Caption = L"连接";
    Frame1.Visible = false;

    // The reactions and handlers run inside every write, as the rules rely on.
    Label6.Change = [this] { Label6_Change(); };
    Label11.Change = [this] { Label11_Change(); };
    Text1.Change = [this] { Text1_Change(); };
    Timer1.Tick = [this] { Timer1_Timer(); };
    Timer2.Tick = [this] { Timer2_Timer(); };
    Timer6.Tick = [this] { Timer6_Timer(); };
}

void Form1::BuildMenus() {
    Item(mnuFile, L"mnuFile", L" 文 件");
    Item(mnuGame, L"mnuGame", L"游 戏");
    Item(s2, L"s2", L"汉字", L"Ctrl+H");
    Item(yw1, L"yw1", L"英文", L"Ctrl+Y");
    Item(sz1, L"sz1", L"数字", L"Ctrl+S");
    Item(wldz, L"wldz", L"网络对战");
    Item(mnuPractice, L"mnuPractice", L"练 习");
    Item(chi, L"chi", L"汉字", L"Ctrl+D");
    Item(zixuan, L"zixuan", L"选择", L"Ctrl+G");
    Item(mnuSettings, L"mnuSettings", L"设 置");
    Item(ys, L"ys", L"背景颜色", L"Ctrl+B");
    Item(tt, L"tt", L"背景图案", L"Ctrl+I");
    Item(wzys, L"wzys", L"文字颜色", L"Ctrl+J");
    Item(wzzt, L"wzzt", L"文字字体", L"Ctrl+K");
    Item(p1, L"p1", L"排 名");
    Item(exit, L"exit", L"退 出");
    mnuGame.Items = {&s2, &yw1, &sz1, &wldz};
    mnuPractice.Items = {&chi, &zixuan};
    mnuSettings.Items = {&ys, &tt, &wzys, &wzzt};
    mnuFile.Items = {&mnuGame, &mnuPractice, &mnuSettings, &p1, &exit};

    static const wchar_t* const kSpeedCaptions[] = {L"一速", L"二速", L"三速", L"四速", L"五速", L"六速",
                                                    L"七速", L"八速", L"九速", L"十速", L"飞速"};
    Item(s0, L"s0", L" 速 度");
    for (int i = 1; i <= 11; ++i) {
        Item(sd(i), (L"sd" + std::to_wstring(i)).c_str(), kSpeedCaptions[i - 1]);
        sd(i).Click = [this, i] { sd_Click(i); };
        s0.Items.push_back(&sd(i));
    }
    sd(11).Visible = false;  // the hidden "飞速"
    sd(11).Enabled = false;

    Item(sm1, L"sm1", L" 生 命 ");
    Item(wx1, L"wx1", L"无限制");
    sm1.Items = {&wx1};
    sm1.Enabled = false;  // stands greyed in the menu bar, as designed

    Item(bz1, L"bz1", L" 帮 助");
    Item(bang, L"bang", L"帮 助");
    Item(guanyu, L"guanyu", L"关 于");
    bz1.Items = {&bang, &guanyu};
    MenuBar = {&mnuFile, &s0, &sm1, &bz1};

    s2.Click = [this] { s2_Click(); };
    yw1.Click = [this] { yw1_Click(); };
    sz1.Click = [this] { sz1_Click(); };
    wx1.Click = [this] { wx1_Click(); };
    exit.Click = [this] { exit_Click(); };
    ys.Click = [this] { ys_Click(); };
    wzys.Click = [this] { wzys_Click(); };
    wzzt.Click = [this] { wzzt_Click(); };
    p1.Click = [this] { p1_Click(); };
}

bool Form1::Form_Load() {
    battleWins = 0;
    battleLosses = 0;
    typedPos = 1;
    xuantu();
    ApplyStoredAppearance();
    HallOfFame(services_.settings).StartupFill();
    if (!LoadDataFile(kWordPoolFile, charPool) || !LoadDataFile(kCodeTableFile, codeTable)) return false;
    pool_ = WordPool(charPool);
    if (!pool_.CanDrawWord()) {
        // Drawing would never find a word; say so once instead of hanging.
        services_.messages.Show(std::wstring(L"数据文件 ") + kWordPoolFile +
                                L" 中没有可抽取的词语（每个词语前面应有一个空格之类的单字节字符）。\n"
                                L"“汉字”游戏暂不可用。");
        s2.Enabled = false;
    }

    s0.Enabled = true;
    Label15.Visible = false;
    for (int i = 1; i <= 11; ++i) sd(i).Checked = (i == 1);
    Label13.SetCaption(L"1");
    Label9.SetCaption(L"0");
    Label16.SetCaption(L"0");
    form2.Unload();
    Label19.SetCaption(L"0");
    Label13.SetCaption(L"1");
    Visible = true;
    Label6.SetCaption(L"0");
    Timer1.SetEnabled(false);
    Label11.SetCaption(L"5");
    Timer1.SetInterval(0);
    for (auto& l : Label) {
        l.Top = kSpawnTop;
        l.Font.Size = 9;
    }
    Label6.SetCaption(L"0");
    Caption = kProductName;
    La(0).BackColor = BackColor;
    La(0).ForeColor = Label10.ForeColor;
    CreatePracticeGrid();
    return true;
}

void Form1::ApplyStoredAppearance() {
    // A hand-edited value that is no whole number counts as absent.
    auto background = ParseInt32(services_.settings.Get(kSectionRegister, L"ys1"));
    BackColor = background ? static_cast<forms::Color>(*background) : kDefaultBackColor;
    if (auto text = ParseInt32(services_.settings.Get(kSectionRegister, L"wz1"))) {
        for (auto& l : Label) l.ForeColor = static_cast<forms::Color>(*text);
        Label22.ForeColor = static_cast<forms::Color>(*text);
    }
    std::wstring face = services_.settings.Get(kSectionRegister, L"wzzt");
    if (!face.empty())
        for (forms::Label* l : FontTargets(false)) l->Font.Name = face;
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

void Form1::CreatePracticeGrid() {
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

void Form1::exit_Click() {
    form2.Unload();
    if (Unload) Unload();
}

}  // namespace quorlax
