// The background picture chooser: browsing, the path rule, OK and clear.
#include "settings/form4.h"

#include <algorithm>
#include <cwctype>

#include "app/form1.h"

namespace quorlax {
namespace {

constexpr wchar_t kIndent[] = L"  ";  // one folder level in the folder list

wchar_t Lower(wchar_t c) { return static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c))); }

bool LessNoCase(const std::wstring& a, const std::wstring& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](wchar_t x, wchar_t y) { return Lower(x) < Lower(y); });
}

// * and ? over the whole name, letters in any case.
bool Wildcard(std::wstring_view name, std::wstring_view pattern) {
    size_t n = 0, p = 0, star = std::wstring_view::npos, resume = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == L'?' || Lower(pattern[p]) == Lower(name[n]))) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == L'*') {
            star = p++;
            resume = n;
        } else if (star != std::wstring_view::npos) {
            p = star + 1;
            n = ++resume;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == L'*') ++p;
    return p == pattern.size();
}

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && s.front() == L' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == L' ') s.remove_suffix(1);
    return s;
}

}  // namespace

std::wstring JoinPath(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path + std::wstring(name);
}

bool MatchesPattern(std::wstring_view name, std::wstring_view patterns) {
    if (Trim(patterns).empty()) return true;
    while (true) {
        size_t cut = patterns.find(L';');
        std::wstring_view one = Trim(patterns.substr(0, cut));
        if (!one.empty()) {
            if (Wildcard(name, one)) return true;
            // As on the command line, "name.*" takes a name without a dot.
            if (one.size() >= 2 && one.substr(one.size() - 2) == L".*" &&
                name.find(L'.') == std::wstring_view::npos && Wildcard(name, one.substr(0, one.size() - 2)))
                return true;
        }
        if (cut == std::wstring_view::npos) return false;
        patterns.remove_prefix(cut + 1);
    }
}

std::wstring DriveRoot(std::wstring_view path) {
    if (path.size() >= 2 && path[1] == L':') return std::wstring{Lower(path[0]), L':', L'\\'};
    return {};
}

void ListControl::Fill(std::vector<std::wstring> entries, int selected) {
    List = std::move(entries);
    ListIndex = selected;
    ++Version;
}

Form4::Form4(Form1& main, Services& services) : main_(main), services_(services) {
    Command3.Place(240, 3120, 765, 315);
    Command1.Place(240, 3480, 765, 315);
    Command2.Place(240, 3840, 765, 315);
    Command3.Caption = L"清除";
    Command1.Caption = L"确定";
    Command2.Caption = L"退出";
    Command3.Click = [this] { Command3_Click(); };
    Command1.Click = [this] { Command1_Click(); };
    Command2.Click = [this] { Command2_Click(); };
    for (forms::CommandButton* b : {&Command3, &Command1, &Command2}) b->Font = {L"宋体", 9};
    Command1.Default = true;
    Drive1.Place(1170, 90, 2835, 300);
    Dir1.Place(1170, 420, 2835, 3030);
    File1.Place(4110, 90, 2295, 3690);
    Combo1.Place(1170, 3480, 2835, 300);
    Text2.Place(1170, 3840, 5235, 315);
    Combo1.Fill({kPicturePatterns, kAllFiles}, -1);
    Combo1.Text = kPicturePatterns;
}

void Form4::Load() {
    if (loaded_) {
        if (OnFront) OnFront();
        return;
    }
    Form_Load();
}

void Form4::Unload() {
    if (!loaded_) return;
    loaded_ = false;
    if (OnUnloaded) OnUnloaded();
}

void Form4::Form_Load() {
    loaded_ = true;
    BackColor = main_.BackColor;
    for (forms::CommandButton* b : {&Command3, &Command1, &Command2}) b->BackColor = BackColor;
    if (OnLoaded) OnLoaded();  // placed topmost and shown

    std::vector<std::wstring> roots = services_.folders.Drives();
    std::vector<std::wstring> names;
    for (const auto& r : roots) names.push_back(r.substr(0, 2));
    Drive1.Roots = roots;
    Drive1.Fill(std::move(names), -1);
    Drive1.Drive = kStartDrive;
    Drive1_Change();
    if (Dir1.Path != kStartDrive && SetFolder(kStartDrive)) Dir1_Change();
    Combo1_Click(0);
}

void Form4::ChooseDrive(int index) {
    if (index < 0 || index >= static_cast<int>(Drive1.Roots.size())) return;
    Drive1.Drive = Drive1.Roots[static_cast<size_t>(index)];
    Drive1_Change();
}

void Form4::Drive1_Change() {
    auto it = last_.find(Drive1.Drive);
    const std::wstring folder = it != last_.end() ? it->second : Drive1.Drive;
    bool opened = SetFolder(folder) || (folder != Drive1.Drive && SetFolder(Drive1.Drive));
    if (!opened) {
        // A drive that is not ready: stay where we were, without a word.
        Drive1.Drive = DriveRoot(Dir1.Path);
    } else {
        Dir1_Change();
    }
    auto at = std::find(Drive1.Roots.begin(), Drive1.Roots.end(), Drive1.Drive);
    Drive1.ListIndex = at == Drive1.Roots.end() ? -1 : static_cast<int>(at - Drive1.Roots.begin());
    Changed();
}

void Form4::OpenFolder(int index) {
    if (index < 0 || index >= static_cast<int>(Dir1.Paths.size())) return;
    if (SetFolder(Dir1.Paths[static_cast<size_t>(index)])) Dir1_Change();
    Changed();
}

bool Form4::SetFolder(const std::wstring& folder) {
    auto contents = services_.folders.List(folder);
    if (!contents) return false;
    contents_ = std::move(*contents);
    std::sort(contents_.folders.begin(), contents_.folders.end(), LessNoCase);
    std::sort(contents_.files.begin(), contents_.files.end(), LessNoCase);
    Dir1.Path = folder;
    last_[DriveRoot(folder)] = folder;

    // The open folder with every folder above it, each one level deeper,
    // then its subfolders one level deeper still.
    std::vector<std::wstring> entries, paths;
    std::wstring root = DriveRoot(folder);
    entries.push_back(root);
    paths.push_back(root);
    std::wstring path = root, indent;
    for (size_t start = root.size(); start < folder.size();) {
        size_t end = folder.find(L'\\', start);
        if (end == std::wstring::npos) end = folder.size();
        std::wstring name = folder.substr(start, end - start);
        indent += kIndent;
        path = JoinPath(path, name);
        entries.push_back(indent + name);
        paths.push_back(path);
        start = end + 1;
    }
    const int open = static_cast<int>(entries.size()) - 1;
    indent += kIndent;
    for (const auto& name : contents_.folders) {
        entries.push_back(indent + name);
        paths.push_back(JoinPath(folder, name));
    }
    Dir1.Paths = std::move(paths);
    Dir1.Fill(std::move(entries), open);
    return true;
}

void Form4::Dir1_Change() {
    Text2.SetText(Dir1.Path);
    File1.Path = Dir1.Path;
    File1.Pattern = Combo1.Text;
    FillFiles();
}

void Form4::FillFiles() {
    std::vector<std::wstring> shown;
    if (File1.Path == Dir1.Path)
        for (const auto& name : contents_.files)
            if (MatchesPattern(name, File1.Pattern)) shown.push_back(name);
    File1.FileName.clear();
    File1.Fill(std::move(shown), -1);
}

void Form4::Combo1_Change() {
    File1.Pattern = Combo1.Text;
    FillFiles();
    Changed();
}

void Form4::Combo1_Click(int index) {
    // Choosing an entry applies it at once, as editing the box does.
    if (index < 0 || index >= static_cast<int>(Combo1.List.size())) return;
    Combo1.ListIndex = index;
    Combo1.Text = Combo1.List[static_cast<size_t>(index)];
    Combo1_Change();
}

void Form4::File1_Click(int index) {
    if (index < 0 || index >= static_cast<int>(File1.List.size())) return;
    File1.ListIndex = index;
    File1.FileName = File1.List[static_cast<size_t>(index)];
    Text2.SetText(JoinPath(File1.Path, File1.FileName));
    Changed();
}

void Form4::Command1_Click() {
    // Loaded first, stored after: a path that gives no picture (a folder,
    // a missing file, no picture) changes nothing and says nothing.
    const std::wstring path = Text2.Text();
    auto picture = services_.pictures.Load(path);
    if (!picture) return;
    main_.Picture = std::move(picture);
    if (!services_.settings.Save(kSectionRegister, L"t1", path)) main_.ReportUnsaved(kPictureUnsaved);
}

void Form4::Command2_Click() { Unload(); }

void Form4::Command3_Click() {
    main_.Picture.reset();
    if (!services_.settings.Save(kSectionRegister, L"t1", L"")) main_.ReportUnsaved(kPictureUnsaved);
}

void Form4::Changed() {
    if (OnChanged) OnChanged();
}

}  // namespace quorlax
