// Form3, the About box as a portable object: the product name, the version,
// what the program is, and links to its licences and data notes. The Win32
// side (form3_win) shows it while it is loaded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "forms/controls.h"
#include "platform/services.h"

namespace quorlax {

class Form1;

inline constexpr wchar_t kAboutTitle[] = L"关于 Quorlax";

class Form3 {
public:
    Form3(Form1& main, Services& services);
    Form3(const Form3&) = delete;
    Form3& operator=(const Form3&) = delete;

    // --- the box's controls ---
    forms::Label Label1;            // "Quorlax", the product name
    forms::Label Label4;            // "V " and the version
    forms::Label Label7;            // what the program is (red)
    forms::Label Label2;            // the maker's line (yellow)
    forms::Label Label3;            // "数据许可："
    forms::Label lblEmail;          // link: the word pool's licence
    forms::Label Label6;            // link: the code table's licence
    forms::Label Label5;            // "数据来源："
    forms::Label lblWebPage;        // link: the read-me, which says where the data come from
    forms::CommandButton Command1;  // the OK button "确  定", the default
    forms::Color BackColor = forms::kSystemButtonFace;  // copied from the main window at load
    static constexpr float kWidth = 7410;               // client area, twips: every control shows
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

    bool Loaded() const { return loaded_; }
    // Loads (and so shows) the box; when it is loaded already, brings it to
    // the front.
    void Load();
    void Unload();

    // --- handlers ---
    void Form_Load();
    void lblEmail_Click();
    void Label6_Click();
    void lblWebPage_Click();
    void Command1_Click();

    // Host hooks: the real window follows the model.
    std::function<void()> OnLoaded;    // create, place topmost and show
    std::function<void()> OnUnloaded;  // destroy
    std::function<void()> OnFront;     // bring the shown box to the front

private:
    void OpenLink(const Link& link);

    Form1& main_;
    Services& services_;
    bool loaded_ = false;
    std::vector<Link> links_;
};

}  // namespace quorlax
