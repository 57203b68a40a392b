// The files practice keeps for its player: the history of runs, the
// per-character record, the per-key record. Each is one file, rewritten only
// through a new one that is put in its place, with the old one kept beside
// it, a pending file for what could not be written when the program ended,
// and a backup a clearing moves it to. Portable: the Win32 side is record_file_win.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quorlax {

inline constexpr std::uint64_t kRecordReadLimit = 32ull << 20;  // a larger file is read from its tail

// The names of one record's files, all in the same folder.
struct RecordFileNames {
    const wchar_t* file;     // the record
    const wchar_t* old;      // the record before its last rewrite
    const wchar_t* pending;  // what could not be written at exit
    const wchar_t* backup;   // where clearing moves the record
};

inline constexpr RecordFileNames kHistoryFiles{L"practice-history.tsv", L"practice-history.old.tsv",
                                               L"practice-history.pending.tsv", L"practice-history.bak"};
inline constexpr RecordFileNames kCharRecordFiles{L"practice-chars.tsv", L"practice-chars.old.tsv",
                                                  L"practice-chars.pending.tsv", L"practice-chars.bak"};
inline constexpr RecordFileNames kKeyRecordFiles{L"practice-keys.tsv", L"practice-keys.old.tsv",
                                                 L"practice-keys.pending.tsv", L"practice-keys.bak"};

// A record file of the player's, in their own folder (%APPDATA%\Quorlax on
// Windows; tests use a double), with the files beside it that its names
// give. No call throws.
struct IRecordFile {
    virtual ~IRecordFile() = default;
    struct Bytes {
        bool ok = false;        // false: the file exists but cannot be read
        bool fromTail = false;  // the file was larger than the limit: these are its last bytes
        std::string bytes;      // empty when there is no file yet
    };
    // The whole file, or its last `limit` bytes.
    virtual Bytes Read(std::uint64_t limit) = 0;
    // Appends in one write, creating the folder and the file (with `header`
    // first) when missing; false when nothing was written. A last line cut
    // short gets its line end first.
    virtual bool Append(std::string_view header, std::string_view lines) = 0;
    // Writes `bytes` as a new file, keeps the old one as names.old (in
    // place of an older one), then puts the new one in place of the old
    // atomically; false leaves the old file as it was.
    virtual bool Replace(std::string_view bytes) = 0;
    // Moves the file aside as the backup (an older backup is replaced);
    // false leaves it in place.
    virtual bool MoveAside() = 0;
    // The pending file beside the record (names.pending): what could not
    // be written when the program ended. Read whole; appended as
    // Append does; removed (true when it is gone).
    virtual Bytes ReadPending() = 0;
    virtual bool AppendPending(std::string_view header, std::string_view lines) = 0;
    virtual bool RemovePending() = 0;
    // The folder the files are in, as a message names it; empty when unknown.
    virtual std::wstring Folder() = 0;
};

// The player's practice files: the history of runs and the per-character record.
struct PracticeFiles {
    IRecordFile& history;
    IRecordFile& chars;
    IRecordFile& keys;
};

}  // namespace quorlax
