// PictureChooserForm, the background picture chooser as a portable object: the drive,
// folder and file lists, the pattern box, the path box and the buttons
// 清除, 确定 and 退出. The Win32 side (picture_chooser_window_win) shows it while it is loaded.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "forms/controls.h"
#include "platform/services.h"

namespace quorlax {

class Board;

inline constexpr wchar_t kChooserTitle[] = L"背景图案";
inline constexpr wchar_t kStartDrive[] = L"c:\\";              // where the chooser opens
inline constexpr wchar_t kPicturePatterns[] = L"*.bmp;*.jpg";  // the first pattern entry
inline constexpr wchar_t kAllFiles[] = L"*.*";
inline constexpr wchar_t kPictureUnsaved[] = L"背景图案的选择无法保存，下次启动时不会保留。游戏继续。";

// The path of a file in a folder: no second backslash after a drive root.
std::wstring JoinPath(std::wstring_view folder, std::wstring_view name);
// True when the name matches one of the ";"-separated patterns (* and ?,
// letters in any case; "x.*" also takes names without an extension). An
// empty pattern takes every name.
bool MatchesPattern(std::wstring_view name, std::wstring_view patterns);
// The root of the drive a path lies on ("c:\pics" gives "c:\"), lower case.
std::wstring DriveRoot(std::wstring_view path);

// A list control: its entries and the selected one. Version changes
// whenever the entries do, so the host refills only then.
struct ListControl : forms::Control {
    std::vector<std::wstring> List;  // the entries shown
    int ListIndex = -1;              // the selected entry, -1 for none
    std::uint64_t Version = 0;       // bumped with every new List
    void Fill(std::vector<std::wstring> entries, int selected);
};

// The drive list.
struct DriveListBox : ListControl {
    std::wstring Drive;               // the chosen drive's root, "c:\"
    std::vector<std::wstring> Roots;  // the root of each entry
};

// The folder list: the open folder with the folders above it, then its
// subfolders, one indented entry each.
struct DirListBox : ListControl {
    std::wstring Path;                // the open folder
    std::vector<std::wstring> Paths;  // the folder of each entry
};

// The file list: the files of a folder that match the pattern.
struct FileListBox : ListControl {
    std::wstring Path;      // the folder listed
    std::wstring Pattern;   // ";"-separated patterns
    std::wstring FileName;  // the clicked file, or empty
};

// An editable box with a list of suggestions.
struct ComboBox : ListControl {
    std::wstring Text;  // the text in the box
};

class PictureChooserForm final : public forms::ToolForm {
public:
    PictureChooserForm(Board& board, Services& services);

    // --- the window's controls ---
    forms::CommandButton clearButton;      // "清除"
    forms::CommandButton okButton;         // "确定", the default
    forms::CommandButton exitButton;       // "退出"
    DriveListBox driveList;                // the drives
    DirListBox folderList;                 // the folders
    FileListBox fileList;                  // the files of the folder matching the pattern
    ComboBox patternBox;                   // the pattern, with "*.bmp;*.jpg" and "*.*"
    forms::TextBox pathBox;                // the path: the folder, then the chosen file
    static constexpr float kWidth = 7620;  // client area, twips
    static constexpr float kHeight = 4770;

    // --- handlers ---
    void OnLoad() override;
    void OnDriveChange();   // after driveList.Drive changed
    void OnFolderChange();  // after folderList.Path changed
    void OnPatternEdit();   // after the user edited patternBox.Text
    void OnPatternPick(int index);
    void OnFileClick(int index);
    void OnOk();
    void OnExit();
    void OnClear();

    // The user chose drive entry `index` or opened folder entry `index`.
    void ChooseDrive(int index);
    void OpenFolder(int index);

private:
    // Lists `folder` and makes it the open folder; false, changing nothing,
    // when it cannot be read.
    bool SetFolder(const std::wstring& folder);
    void FillFiles();

    Board& board_;
    Services& services_;
    FolderContents contents_;                    // what the open folder holds
    std::map<std::wstring, std::wstring> last_;  // the folder last open on each drive
};

}  // namespace quorlax
