// The background picture chooser: browsing, the path rule, OK and clear.
#include "settings/picture_chooser_form.h"

#include <algorithm>
#include <cwctype>

#include "core/board.h"
#include "core/stored_names.h"

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

PictureChooserForm::PictureChooserForm(Board& board, Services& services)
    : board_(board), services_(services) {
    clearButton.Place(240, 3120, 765, 315);
    okButton.Place(240, 3480, 765, 315);
    exitButton.Place(240, 3840, 765, 315);
    clearButton.Caption = L"清除";
    okButton.Caption = L"确定";
    exitButton.Caption = L"退出";
    clearButton.Click = [this] { OnClear(); };
    okButton.Click = [this] { OnOk(); };
    exitButton.Click = [this] { OnExit(); };
    for (forms::CommandButton* b : {&clearButton, &okButton, &exitButton}) b->Font = {L"宋体", 9};
    okButton.Default = true;
    driveList.Place(1170, 90, 2835, 300);
    folderList.Place(1170, 420, 2835, 3030);
    fileList.Place(4110, 90, 2295, 3690);
    patternBox.Place(1170, 3480, 2835, 300);
    pathBox.Place(1170, 3840, 5235, 315);
    patternBox.Fill({kPicturePatterns, kAllFiles}, -1);
    patternBox.Text = kPicturePatterns;
}

void PictureChooserForm::OnLoad() {
    BackColor = board_.backColor;
    for (forms::CommandButton* b : {&clearButton, &okButton, &exitButton}) b->BackColor = BackColor;
    Show();  // placed topmost and shown

    std::vector<std::wstring> roots = services_.folders.Drives();
    std::vector<std::wstring> names;
    for (const auto& r : roots) names.push_back(r.substr(0, 2));
    driveList.Roots = roots;
    driveList.Fill(std::move(names), -1);
    driveList.Drive = kStartDrive;
    OnDriveChange();
    if (folderList.Path != kStartDrive && SetFolder(kStartDrive)) OnFolderChange();
    OnPatternPick(0);
}

void PictureChooserForm::ChooseDrive(int index) {
    if (index < 0 || index >= static_cast<int>(driveList.Roots.size())) return;
    driveList.Drive = driveList.Roots[static_cast<size_t>(index)];
    OnDriveChange();
}

void PictureChooserForm::OnDriveChange() {
    auto it = last_.find(driveList.Drive);
    const std::wstring folder = it != last_.end() ? it->second : driveList.Drive;
    bool opened = SetFolder(folder) || (folder != driveList.Drive && SetFolder(driveList.Drive));
    if (!opened) {
        // A drive that is not ready: stay where we were, without a word.
        driveList.Drive = DriveRoot(folderList.Path);
    } else {
        OnFolderChange();
    }
    auto at = std::find(driveList.Roots.begin(), driveList.Roots.end(), driveList.Drive);
    driveList.ListIndex = at == driveList.Roots.end() ? -1 : static_cast<int>(at - driveList.Roots.begin());
    Changed();
}

void PictureChooserForm::OpenFolder(int index) {
    if (index < 0 || index >= static_cast<int>(folderList.Paths.size())) return;
    if (SetFolder(folderList.Paths[static_cast<size_t>(index)])) OnFolderChange();
    Changed();
}

bool PictureChooserForm::SetFolder(const std::wstring& folder) {
    auto contents = services_.folders.List(folder);
    if (!contents) return false;
    contents_ = std::move(*contents);
    std::sort(contents_.folders.begin(), contents_.folders.end(), LessNoCase);
    std::sort(contents_.files.begin(), contents_.files.end(), LessNoCase);
    folderList.Path = folder;
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
    folderList.Paths = std::move(paths);
    folderList.Fill(std::move(entries), open);
    return true;
}

void PictureChooserForm::OnFolderChange() {
    pathBox.SetText(folderList.Path);
    fileList.Path = folderList.Path;
    fileList.Pattern = patternBox.Text;
    FillFiles();
}

void PictureChooserForm::FillFiles() {
    std::vector<std::wstring> shown;
    if (fileList.Path == folderList.Path)
        for (const auto& name : contents_.files)
            if (MatchesPattern(name, fileList.Pattern)) shown.push_back(name);
    fileList.FileName.clear();
    fileList.Fill(std::move(shown), -1);
}

void PictureChooserForm::OnPatternEdit() {
    fileList.Pattern = patternBox.Text;
    FillFiles();
    Changed();
}

void PictureChooserForm::OnPatternPick(int index) {
    // Choosing an entry applies it at once, as editing the box does.
    if (index < 0 || index >= static_cast<int>(patternBox.List.size())) return;
    patternBox.ListIndex = index;
    patternBox.Text = patternBox.List[static_cast<size_t>(index)];
    OnPatternEdit();
}

void PictureChooserForm::OnFileClick(int index) {
    if (index < 0 || index >= static_cast<int>(fileList.List.size())) return;
    fileList.ListIndex = index;
    fileList.FileName = fileList.List[static_cast<size_t>(index)];
    pathBox.SetText(JoinPath(fileList.Path, fileList.FileName));
    Changed();
}

void PictureChooserForm::OnOk() {
    // Loaded first, stored after: a path that gives no picture (a folder,
    // a missing file, no picture) changes nothing and says nothing.
    const std::wstring path = pathBox.Text();
    auto picture = services_.pictures.Load(path);
    if (!picture) return;
    board_.picture = std::move(picture);
    if (!services_.settings.Save(kChoicesSection, kPictureKey, path)) board_.TellOnce(kPictureUnsaved);
}

void PictureChooserForm::OnExit() { Unload(); }

void PictureChooserForm::OnClear() {
    board_.picture.reset();
    if (!services_.settings.Save(kChoicesSection, kPictureKey, L"")) board_.TellOnce(kPictureUnsaved);
}

}  // namespace quorlax
