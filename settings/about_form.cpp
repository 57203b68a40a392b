// The About box: its lines, its links and its OK button.
#include "settings/about_form.h"

#include "core/board.h"
#include "quorlax_version.h"
#include "settings/picture_chooser_form.h"

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

AboutForm::AboutForm(Board& board, Services& services) : board_(board), services_(services) {
    forms::Font title{L"黑体", 36};
    title.Italic = true;
    Line(productLine, 360, 300, 4455, 825, L"Quorlax", title);
    forms::Font version{L"宋体", 14.25f, true};
    version.Italic = true;
    Line(versionLine, 5040, 720, 1065, 435, L"V " QUORLAX_VERSION_TEXT, version);
    Line(descriptionLine, 1200, 1500, 4575, 615, L"中文打字游戏：汉字、英文、数字三个字库", {L"宋体", 10.5f});
    descriptionLine.ForeColor = forms::kRed;
    Line(makerLine, 2520, 2280, 1935, 435, L"Quorlax 项目", {L"宋体", 12});
    makerLine.ForeColor = forms::kYellow;
    Line(licenceCaption, 180, 2940, 1275, 345, L"数据许可：");
    LinkLine(wordPoolLicenceLink, 1500, 3000, 2205, L"词库 Apache-2.0");
    LinkLine(codeTableLicenceLink, 3900, 3000, 2310, L"编码表 LGPL-3.0");
    Line(sourceCaption, 180, 3420, 1215, 285, L"数据来源：");
    LinkLine(readMeLink, 1500, 3420, 2730, L"Rime 拼音与五笔 86 词典");
    okButton.Place(2970, 3780, 1305, 315);
    okButton.Caption = L"确  定";
    okButton.Font = {L"宋体", 9};
    okButton.Default = true;
    okButton.Click = [this] { OnOk(); };
    links_ = {
        {&wordPoolLicenceLink, L"LICENSE.Apache-2.0", L"点击查看词库数据的许可证全文"},
        {&codeTableLicenceLink, L"LICENSE.LGPL-3", L"点击查看编码表数据的许可证全文"},
        {&readMeLink, L"读我.txt", L"点击打开“读我.txt”，查看数据的来源与许可"},
    };
}

std::vector<const forms::Label*> AboutForm::Labels() const {
    return {&productLine,         &versionLine,          &descriptionLine, &makerLine, &licenceCaption,
            &wordPoolLicenceLink, &codeTableLicenceLink, &sourceCaption,   &readMeLink};
}

void AboutForm::OnLoad() {
    BackColor = board_.backColor;
    okButton.BackColor = BackColor;
    Show();  // placed topmost and shown
}

void AboutForm::OpenLink(const Link& link) {
    // Whatever the shell makes of it, the box closes.
    services_.shell.Open(JoinPath(services_.shell.ProgramFolder(), link.file));
    Unload();
}

void AboutForm::OnWordPoolLicence() { OpenLink(links_[0]); }
void AboutForm::OnCodeTableLicence() { OpenLink(links_[1]); }
void AboutForm::OnReadMe() { OpenLink(links_[2]); }

void AboutForm::OnOk() {
    Unload();
    board_.closeAsked(ToolWindow::HallOfFame);
}

}  // namespace quorlax
