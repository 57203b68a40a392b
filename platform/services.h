// The platform services the game rules need, as small interfaces. The Win32
// program supplies the real ones (services_win.h); tests supply doubles.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

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

// The bytes of a file the user chose, read whole.
struct FileBytes {
    enum class Status { Ok, TooLarge, Unreadable };
    Status status = Status::Unreadable;
    std::string bytes;  // empty unless Ok
};

struct IDataFiles {
    virtual ~IDataFiles() = default;
    virtual DataFile Read(std::wstring_view name) = 0;
    // Reads any file by its full path; one larger than `limit` bytes is
    // refused before any of it is read.
    virtual FileBytes ReadBytes(std::wstring_view path, std::uint64_t limit) = 0;
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

// The standard colour, font and open-file dialogs. Cancel gives nullopt.
struct IDialogs {
    virtual ~IDialogs() = default;
    virtual std::optional<forms::Color> PickColor(std::wstring_view title, forms::Color initial) = 0;
    virtual std::optional<std::wstring> PickFont(std::wstring_view title, const forms::Font& initial) = 0;
    // The full path of an existing file, offered through one filter entry:
    // its description and its pattern ("*.txt").
    virtual std::optional<std::wstring> OpenFile(std::wstring_view title, std::wstring_view filter_name,
                                                 std::wstring_view pattern) = 0;
};

// Loads BMP and JPEG pictures; null when the file is missing or no picture.
struct IPictures {
    virtual ~IPictures() = default;
    virtual std::shared_ptr<forms::Image> Load(std::wstring_view path) = 0;
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
};

}  // namespace quorlax
