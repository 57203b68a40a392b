// The platform services the game rules need, as small interfaces. The Win32
// program supplies the real ones (services_win.h); tests supply doubles.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/controls.h"

namespace quorlax {

// Uniform values in [0, 1).
struct IRandom {
    virtual ~IRandom() = default;
    virtual double Next() = 0;
};

// Modal message boxes with an OK button and the program's title.
struct IMessageBox {
    virtual ~IMessageBox() = default;
    virtual void Show(std::wstring_view text) = 0;
};

// The outcome of reading a data file beside the program.
struct DataFile {
    bool ok = false;
    std::wstring text;    // decoded from GBK, line ends kept
    std::wstring folder;  // where the file was looked for
};

struct IDataFiles {
    virtual ~IDataFiles() = default;
    virtual DataFile Read(std::wstring_view name) = 0;
};

// Per-user text values by section and key; an absent key reads as "".
struct ISettingsStore {
    virtual ~ISettingsStore() = default;
    virtual std::wstring Get(std::wstring_view section, std::wstring_view key) = 0;
    virtual void Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) = 0;
};

// Plays the hit sound from its beginning, cutting off one still playing,
// without waiting. A missing or broken sound file plays nothing.
struct ISound {
    virtual ~ISound() = default;
    virtual void PlayHit() = 0;
};

// The battle connection as the game rules see it: messages to the peer.
struct IBattleLink {
    virtual ~IBattleLink() = default;
    virtual void Send(std::string_view message) = 0;
};

// The standard colour and font dialogs. Cancel gives nullopt.
struct IDialogs {
    virtual ~IDialogs() = default;
    virtual std::optional<forms::Color> PickColor(std::wstring_view title, forms::Color initial) = 0;
    virtual std::optional<std::wstring> PickFont(std::wstring_view title, const forms::Font& initial) = 0;
};

// Loads BMP, JPEG and GIF pictures; null when the file is missing or no picture.
struct IPictures {
    virtual ~IPictures() = default;
    virtual std::shared_ptr<forms::Image> Load(std::wstring_view path) = 0;
};

// What became of a request to open a file or a link.
enum class ShellResult { Opened, NotFound, NoProgram, Failed };

// Opens files and links with their default program, without waiting.
struct IShell {
    virtual ~IShell() = default;
    // The folder the program runs from, without a trailing backslash.
    virtual std::wstring ProgramFolder() = 0;
    virtual ShellResult Open(std::wstring_view target) = 0;
};

// What one folder holds, by name; hidden and system entries left out.
struct FolderContents {
    std::vector<std::wstring> folders;
    std::vector<std::wstring> files;
};

// The drives and folders the picture chooser browses.
struct IFolders {
    virtual ~IFolders() = default;
    // The roots of the drives, such as c:\ (lower-case letters), in drive order.
    virtual std::vector<std::wstring> Drives() = 0;
    // nullopt when the folder cannot be read (a drive not ready, a folder gone).
    virtual std::optional<FolderContents> List(std::wstring_view folder) = 0;
};

struct Services {
    IRandom& random;
    IMessageBox& messages;
    IDataFiles& files;
    ISettingsStore& settings;
    ISound& sound;
    IBattleLink& battle;
    IDialogs& dialogs;
    IPictures& pictures;
    IShell& shell;
    IFolders& folders;
};

}  // namespace quorlax
