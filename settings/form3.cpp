// The About box: its lines, its links and its OK button.
#include "settings/form3.h"

#include "app/form1.h"
#include "quorlax_version.h"
#include "settings/form4.h"

namespace quorlax {
namespace {

constexpr forms::Color kLinkText = 0x00FF0000;  // blue
constexpr forms::Color kLinkBack = 0x00C0C000;

void Line(forms::Label& l, float left, float top, float width, float height, const wchar_t* caption,
          forms::Font font = {}) {
    l.Place(left, top, width, height);
    l.Font = std::move(font);
    l.ForeColor = forms::kBlack;
    l.SetCaption(caption);
}

void LinkLine(forms::Label& l, float left, float top, float width, const wchar_t* caption) {
    Line(l, left, top, width, 210, caption);
    l.ForeColor = kLinkText;
    l.BackColor = kLinkBack;
    l.BackStyle = forms::BackStyle::Opaque;
}

}  // namespace

Form3::Form3(Form1& main, Services& services) : main_(main), services_(services) {
    forms::Font title{L"黑体", 36};
    title.Italic = true;
    Line(Label1, 360, 300, 4455, 825, L"Quorlax", title);
    forms::Font version{L"宋体", 14.25f, true};
    version.Italic = true;
    Line(Label4, 5040, 720, 1065, 435, L"V " QUORLAX_VERSION_TEXT, version);
    Line(Label7, 1200, 1500, 4575, 615, L"中文打字游戏：汉字、英文、数字三个字库", {L"宋体", 10.5f});
    Label7.ForeColor = forms::kRed;
    Line(Label2, 2520, 2280, 1935, 435, L"Quorlax 项目", {L"宋体", 12});
    Label2.ForeColor = forms::kYellow;
    Line(Label3, 180, 2940, 1275, 345, L"数据许可：");
    LinkLine(lblEmail, 1500, 3000, 2205, L"词库 Apache-2.0");
    LinkLine(Label6, 3900, 3000, 2310, L"编码表 LGPL-3.0");
    Line(Label5, 180, 3420, 1215, 285, L"数据来源：");
    LinkLine(lblWebPage, 1500, 3420, 2730, L"Rime 拼音与五笔 86 词典");
    Command1.Place(2970, 3780, 1305, 315);
    Command1.Caption = L"确  定";
    Command1.Font = {L"宋体", 9};
    Command1.Default = true;
    Command1.Click = [this] { Command1_Click(); };
    links_ = {
        {&lblEmail, L"LICENSE.Apache-2.0", L"点击查看词库数据的许可证全文"},
        {&Label6, L"LICENSE.LGPL-3", L"点击查看编码表数据的许可证全文"},
        {&lblWebPage, L"读我.txt", L"点击打开“读我.txt”，查看数据的来源与许可"},
    };
}

std::vector<const forms::Label*> Form3::Labels() const {
    return {&Label1, &Label4, &Label7, &Label2, &Label3, &lblEmail, &Label6, &Label5, &lblWebPage};
}

void Form3::Load() {
    if (loaded_) {
        if (OnFront) OnFront();
        return;
    }
    Form_Load();
}

void Form3::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    if (OnUnloaded) OnUnloaded();
}

void Form3::Form_Load() {
    loaded_ = true;
    BackColor = main_.BackColor;
    Command1.BackColor = BackColor;
    if (OnLoaded) OnLoaded();  // placed topmost and shown
}

void Form3::OpenLink(const Link& link) {
    // Whatever the shell makes of it, the box closes.
    services_.shell.Open(JoinPath(services_.shell.ProgramFolder(), link.file));
    Unload();
}

void Form3::lblEmail_Click() { OpenLink(links_[0]); }
void Form3::Label6_Click() { OpenLink(links_[1]); }
void Form3::lblWebPage_Click() { OpenLink(links_[2]); }

void Form3::Command1_Click() {
    Unload();
    main_.scores.form2.Unload();
}

}  // namespace quorlax
