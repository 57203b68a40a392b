// The platform services the game rules need, as small interfaces. The Win32
// program supplies the real ones (services_win.h); tests supply doubles.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/look.h"

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
    // True when the value was stored; false when the store refused it (a
    // key denied by policy, say).
    virtual bool Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) = 0;
};

// Plays the hit sound from its beginning, cutting off one still playing,
// without waiting. A missing or broken sound file plays nothing.
struct ISound {
    virtual ~ISound() = default;
    virtual void PlayHit() = 0;
};

// What the battle connection tells the battle room, always on the thread
// that drives the link, from its own event handling (never inside a call).
struct IBattleEvents {
    virtual ~IBattleEvents() = default;
    // Hosting: a peer connected and the link now talks to it. The link
    // still listens until StopListening: a newer connection replaces this one.
    virtual void LinkAccepted() = 0;
    // Joining: the connection to the host is up.
    virtual void LinkConnected() = 0;
    // Joining by host name: the name was looked up; if found, connecting has begun.
    virtual void LinkLookedUp(bool found) = 0;
    // Bytes from the peer, as they came: a read may hold several messages or
    // part of one.
    virtual void LinkReceived(std::string_view bytes) = 0;
    // The peer closed the connection; what it sent before came first. Sends
    // fail from now on. A peer closing before StopListening leaves the link
    // listening.
    virtual void LinkClosed() = 0;
};

// How hosting began.
enum class ListenResult {
    Listening,  // waiting for a peer
    PortInUse,  // another program holds the port
    Failed,     // the network refused for another reason
};

// How joining began.
enum class JoinStart {
    Connecting,  // the address is known; the outcome comes as an event (or never)
    LookingUp,   // a host name is being looked up; LinkLookedUp follows
    BadAddress,  // the text is no address to connect to
};

// The battle connection: one TCP connection to one peer, driven by the
// battle room. Nothing blocks; outcomes come back through IBattleEvents.
struct IBattleLink {
    virtual ~IBattleLink() = default;
    // Where events go; null stops them.
    virtual void SetEvents(IBattleEvents* events) = 0;
    // Closes what is open and listens on `port` on every IPv4 interface.
    virtual ListenResult Listen(std::uint16_t port) = 0;
    // Hosting: the accepted peer is the one; nobody else gets in.
    virtual void StopListening() = 0;
    // Hosting: drops the accepted peer (it never joined) and goes on
    // listening on the same port.
    virtual void DropPeer() = 0;
    // Closes what is open and connects to `host` (dotted IPv4 or a host
    // name) on `port`, from any free local port.
    virtual JoinStart Connect(std::wstring_view host, std::uint16_t port) = 0;
    // One message, its bytes only; false when it could not be sent (no
    // connection, or the peer has closed it).
    virtual bool Send(std::string_view message) = 0;
    // Closes the connection or stops listening; nothing more is reported.
    virtual void Close() = 0;
    // The address a peer on the network would join: the first IPv4 address
    // that is not a loopback one, else "127.0.0.1".
    virtual std::wstring LocalAddress() = 0;
};

// The standard colour, font and open-file dialogs. Cancel gives nullopt.
struct IDialogs {
    virtual ~IDialogs() = default;
    virtual std::optional<Color> PickColor(std::wstring_view title, Color initial) = 0;
    virtual std::optional<std::wstring> PickFont(std::wstring_view title, const Font& initial) = 0;
    // The full path of an existing file, offered through one filter entry:
    // its description and its pattern ("*.txt").
    virtual std::optional<std::wstring> OpenFile(std::wstring_view title, std::wstring_view filter_name,
                                                 std::wstring_view pattern) = 0;
};

// Loads BMP, JPEG and GIF pictures; null when the file is missing or no picture.
struct IPictures {
    virtual ~IPictures() = default;
    virtual std::shared_ptr<Image> Load(std::wstring_view path) = 0;
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

// A monotonic clock, for spans of time (never the time of day).
struct IClock {
    virtual ~IClock() = default;
    // Milliseconds since some fixed moment; never decreases.
    virtual std::uint64_t Milliseconds() = 0;
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
    IClock& clock;
};

}  // namespace quorlax
