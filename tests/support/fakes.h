// Test doubles for the platform services.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "forms/controls.h"
#include "platform/services.h"
#include "practice/history.h"

namespace quorlax::test {

// Hands out a fixed sequence and counts what was taken; running dry fails
// the test instead of inventing values.
class SequenceRandom final : public IRandom {
public:
    SequenceRandom() = default;
    SequenceRandom(std::initializer_list<double> values) : values_(values) {}
    void Push(double v) { values_.push_back(v); }
    void Push(std::initializer_list<double> vs) { values_.insert(values_.end(), vs); }
    // Once set, an empty sequence cycles through these values.
    void SetFallback(std::vector<double> cycle) { fallback_ = std::move(cycle); }
    double Next() override {
        ++taken;
        if (values_.empty()) {
            if (fallback_.empty()) throw std::logic_error("random sequence ran dry");
            return fallback_[next_fallback_++ % fallback_.size()];
        }
        double v = values_.front();
        values_.pop_front();
        return v;
    }
    size_t Left() const { return values_.size(); }
    int taken = 0;

private:
    std::deque<double> values_;
    std::vector<double> fallback_;
    size_t next_fallback_ = 0;
};

struct RecordingMessages final : IMessageBox {
    void Show(std::wstring_view text) override {
        shown.emplace_back(text);
        if (on_show) on_show();
    }
    std::vector<std::wstring> shown;
    std::function<void()> on_show;  // runs while the "box" is up, as its message loop would
};

// Data files beside the program by name; chosen files by path, as bytes.
struct FakeFiles final : IDataFiles {
    DataFile Read(std::wstring_view name) override {
        DataFile f;
        f.folder = L"C:\\Games\\Quorlax";
        auto it = files.find(std::wstring(name));
        if (it != files.end()) {
            f.ok = true;
            f.text = it->second;
        }
        return f;
    }
    FileBytes ReadBytes(std::wstring_view path, std::uint64_t limit) override {
        FileBytes f;
        auto it = chosen.find(std::wstring(path));
        if (it == chosen.end()) return f;
        if (it->second.size() > limit) {
            f.status = FileBytes::Status::TooLarge;
            return f;
        }
        f.status = FileBytes::Status::Ok;
        f.bytes = it->second;
        return f;
    }
    std::map<std::wstring, std::wstring> files;
    std::map<std::wstring, std::string> chosen;  // readable files anywhere; others fail
};

struct MemorySettings final : ISettingsStore {
    std::wstring Get(std::wstring_view section, std::wstring_view key) override {
        auto it = values.find({std::wstring(section), std::wstring(key)});
        return it == values.end() ? std::wstring() : it->second;
    }
    bool Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) override {
        if (refuse) return false;
        values[{std::wstring(section), std::wstring(key)}] = std::wstring(value);
        return true;
    }
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values;
    bool refuse = false;  // refuses every write, as a key denied by policy does
};

struct CountingSound final : ISound {
    void PlayHit() override { ++plays; }
    int plays = 0;
};

// A battle link that records what the room asks of it and answers from a
// script; a test plays the peer through `events`.
struct RecordingBattle final : IBattleLink {
    void SetEvents(IBattleEvents* e) override { events = e; }
    ListenResult Listen(std::uint16_t port) override {
        calls.push_back("listen " + std::to_string(port));
        return listen_result;
    }
    JoinStart Connect(std::wstring_view host, std::uint16_t port) override {
        calls.push_back("connect " + std::string(host.begin(), host.end()) + " " + std::to_string(port));
        return join_start;
    }
    bool Send(std::string_view message) override {
        sent.emplace_back(message);
        if (on_send) on_send();
        return send_ok;
    }
    void StopListening() override { calls.push_back("stop listening"); }
    void DropPeer() override { calls.push_back("drop peer"); }
    void Close() override { calls.push_back("close"); }
    std::wstring LocalAddress() override { return local_address; }

    IBattleEvents* events = nullptr;  // the room, once it is built
    std::vector<std::string> sent;
    std::function<void()> on_send;  // lets a test look at the game as a message leaves
    // "listen 5238", "stop listening", "drop peer", "connect HOST 5238" (ASCII hosts), "close"
    std::vector<std::string> calls;
    ListenResult listen_result = ListenResult::Listening;
    JoinStart join_start = JoinStart::Connecting;
    bool send_ok = true;
    std::wstring local_address = L"192.168.1.20";
};

// Answers the colour, font and open-file dialogs from a script; records the
// titles and the filters offered.
struct ScriptedDialogs final : IDialogs {
    std::optional<forms::Color> PickColor(std::wstring_view title, forms::Color) override {
        titles.emplace_back(title);
        auto answer = colors.empty() ? std::nullopt : colors.front();
        if (!colors.empty()) colors.pop_front();
        return answer;
    }
    std::optional<std::wstring> PickFont(std::wstring_view title, const forms::Font&) override {
        titles.emplace_back(title);
        auto answer = fonts.empty() ? std::nullopt : fonts.front();
        if (!fonts.empty()) fonts.pop_front();
        return answer;
    }
    std::optional<std::wstring> OpenFile(std::wstring_view title, std::wstring_view filter_name,
                                         std::wstring_view pattern) override {
        titles.emplace_back(title);
        filters.push_back(std::wstring(filter_name) + L"|" + std::wstring(pattern));
        auto answer = paths.empty() ? std::nullopt : paths.front();
        if (!paths.empty()) paths.pop_front();
        return answer;
    }
    std::deque<std::optional<forms::Color>> colors;
    std::deque<std::optional<std::wstring>> fonts;
    std::deque<std::optional<std::wstring>> paths;  // open-file answers
    std::vector<std::wstring> titles;
    std::vector<std::wstring> filters;
};

struct FakeImage final : forms::Image {
    explicit FakeImage(std::wstring p) : path(std::move(p)) {}
    int Width() const override { return 640; }
    int Height() const override { return 480; }
    std::wstring path;
};

// Pictures that "exist" are the paths listed; everything else fails to load.
struct FakePictures final : IPictures {
    std::shared_ptr<forms::Image> Load(std::wstring_view path) override {
        loads.emplace_back(path);
        for (const auto& p : existing)
            if (p == path) return std::make_shared<FakeImage>(p);
        return nullptr;
    }
    std::vector<std::wstring> existing;
    std::vector<std::wstring> loads;
};

// Records what the program asks the shell to open; answers with `result`.
struct RecordingShell final : IShell {
    std::wstring ProgramFolder() override { return folder; }
    ShellResult Open(std::wstring_view target) override {
        opened.emplace_back(target);
        return result;
    }
    std::wstring folder = L"C:\\Games\\Quorlax";
    ShellResult result = ShellResult::Opened;
    std::vector<std::wstring> opened;
};

// A file system of folders given by path; any other folder cannot be read.
struct FakeFolders final : IFolders {
    std::vector<std::wstring> Drives() override { return drives; }
    std::optional<FolderContents> List(std::wstring_view folder) override {
        listed.emplace_back(folder);
        auto it = folders.find(std::wstring(folder));
        if (it == folders.end()) return std::nullopt;
        return it->second;
    }
    std::vector<std::wstring> drives;
    std::map<std::wstring, FolderContents> folders;
    std::vector<std::wstring> listed;
};

// The practice record in memory; a test makes any call fail.
struct MemoryRecordFile final : IRecordFile {
    Bytes Read(std::uint64_t limit) override {
        ++reads;
        if (fail_read) return {};
        Bytes b{true, bytes.size() > limit, bytes};
        if (b.fromTail) b.bytes = bytes.substr(bytes.size() - limit);
        return b;
    }
    bool Append(std::string_view header, std::string_view lines) override {
        if (fail_write) return false;
        if (bytes.empty()) bytes = header;
        if (bytes.back() != '\n') bytes += '\n';  // as the real file: a cut-short line gets its end
        bytes += lines;
        return true;
    }
    bool Replace(std::string_view b) override {
        if (fail_write || fail_replace) return false;
        old = std::move(bytes);
        bytes = b;
        ++replaced;
        return true;
    }
    bool MoveAside() override {
        if (fail_write) return false;
        backup = std::move(bytes);
        bytes.clear();
        return true;
    }
    Bytes ReadPending() override { return {!fail_pending, false, pending}; }
    bool AppendPending(std::string_view header, std::string_view lines) override {
        if (fail_pending) return false;
        if (pending.empty()) pending = header;
        pending += lines;
        return true;
    }
    bool RemovePending() override {
        if (fail_pending) return false;
        pending.clear();
        return true;
    }
    std::wstring Folder() override { return folder; }
    std::string bytes;  // the file; empty when there is none
    std::string backup;
    std::string old;      // the file before the last rewrite
    std::string pending;  // the pending file; empty when there is none
    std::wstring folder = L"C:\\Users\\player\\AppData\\Roaming\\Quorlax";
    bool fail_read = false;
    bool fail_write = false;    // appends, rewrites and moves fail (a locked file)
    bool fail_replace = false;  // rewrites fail (held without delete sharing)
    bool fail_pending = false;  // the pending file cannot be read or written
    int reads = 0;
    int replaced = 0;
};

// A clock that moves only when a test moves it.
struct ManualClock final : IClock {
    std::uint64_t Milliseconds() override { return now; }
    std::uint64_t now = 0;
};

// Everything a Program needs, with a small valid word pool and code table.
struct FakeServices {
    SequenceRandom random;
    RecordingMessages messages;
    FakeFiles files;
    MemorySettings settings;
    CountingSound sound;
    RecordingBattle battle;
    ScriptedDialogs dialogs;
    FakePictures pictures;
    RecordingShell shell;
    FakeFolders folders;
    MemoryRecordFile history;
    MemoryRecordFile chars;
    MemoryRecordFile keys;
    PracticeFiles practiceFiles{history, chars, keys};
    ManualClock clock;
    Services services{random, messages, files, settings, sound, battle, dialogs, pictures, shell, folders, clock};

    FakeServices() {
        // Long enough for a practice text (30 characters) as well as for games.
        files.files[L"vbyx.dll"] =
            L" 中国 人民 我们 世界\r\n 中国 人民 我们 世界\r\n 中国 人民 我们 世界 的\r\n";
        files.files[L"vbcx.dll"] = L"中khk 国lgyi\r\n";
    }
};

}  // namespace quorlax::test
