// The platform services the game rules need, as small interfaces. The Win32
// program supplies the real ones (services_win.h); tests supply doubles.
#pragma once

#include <string>
#include <string_view>

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

struct Services {
    IRandom& random;
    IMessageBox& messages;
    IDataFiles& files;
    ISettingsStore& settings;
    ISound& sound;
    IBattleLink& battle;
};

}  // namespace quorlax
