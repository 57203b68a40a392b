// AboutForm, the About box as a portable object: the product name, the version,
// what the program is, and links to its licences and data notes. The Win32
// side (about_window_win) shows it while it is loaded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/controls.h"
#include "platform/services.h"

namespace quorlax {

class Board;

inline constexpr wchar_t kAboutTitle[] = L"关于 Quorlax";

class AboutForm final : public forms::ToolForm {
public:
    AboutForm(Board& board, Services& services);

    // --- the box's controls ---
    forms::Label productLine;              // "Quorlax", the product name
    forms::Label versionLine;              // "V " and the version
    forms::Label descriptionLine;          // what the program is (red)
    forms::Label makerLine;                // the maker's line (yellow)
    forms::Label licenceCaption;           // "数据许可："
    forms::Label wordPoolLicenceLink;      // link: the word pool's licence
    forms::Label codeTableLicenceLink;     // link: the code table's licence
    forms::Label sourceCaption;            // "数据来源："
    forms::Label readMeLink;               // link: the read-me, which says where the data come from
    forms::CommandButton okButton;         // the OK button "确  定", the default
    static constexpr float kWidth = 7410;  // client area, twips: every control shows
    static constexpr float kHeight = 4380;

    // A link line: what it opens (a file beside the program) and its tooltip.
    struct Link {
        forms::Label* label;
        const wchar_t* file;
        const wchar_t* tip;
    };
    const std::vector<Link>& Links() const { return links_; }
    // Every label, for painting.
    std::vector<const forms::Label*> Labels() const;

    // --- handlers ---
    void OnLoad() override;
    void OnWordPoolLicence();
    void OnCodeTableLicence();
    void OnReadMe();
    void OnOk();

private:
    void OpenLink(const Link& link);

    Board& board_;
    Services& services_;
    std::vector<Link> links_;
};

}  // namespace quorlax
