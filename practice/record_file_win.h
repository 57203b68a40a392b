// A record file of the player's on Windows, in %APPDATA%\Quorlax.
#pragma once

#include <cstdint>
#include <limits>
#include <string>

#include "practice/record_file.h"

namespace quorlax::win {

class RecordFileWin final : public IRecordFile {
public:
    // `folder` empty: %APPDATA%\Quorlax, looked up on first use.
    explicit RecordFileWin(const RecordFileNames& names, std::wstring folder = {})
        : names_(names), folder_(std::move(folder)) {}
    Bytes Read(std::uint64_t limit) override;
    bool Append(std::string_view header, std::string_view lines) override;
    bool Replace(std::string_view bytes) override;
    bool MoveAside() override;
    Bytes ReadPending() override;
    bool AppendPending(std::string_view header, std::string_view lines) override;
    bool RemovePending() override;
    std::wstring Folder() override { return FolderPath(); }
    // The record's full path (empty when the profile folder is unknown).
    std::wstring Path();
    // A rewrite's new file takes no more than this many bytes, as on a full
    // disk (for tests).
    void SetRewriteRoom(std::uint64_t bytes) { rewrite_room_ = bytes; }

private:
    const std::wstring& FolderPath();
    // The file of this name in the folder; empty when the folder is unknown.
    std::wstring PathOf(const wchar_t* name);
    RecordFileNames names_;
    std::wstring folder_;
    bool looked_up_ = false;
    std::uint64_t rewrite_room_ = std::numeric_limits<std::uint64_t>::max();
};

}  // namespace quorlax::win
