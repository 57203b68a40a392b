// The practice record's file on Windows: %APPDATA%\Quorlax\practice-history.tsv.
#pragma once

#include <string>

#include "practice/history.h"

namespace quorlax::win {

class HistoryFileWin final : public IHistoryFile {
public:
    // `folder` empty: %APPDATA%\Quorlax, looked up on first use.
    explicit HistoryFileWin(std::wstring folder = {}) : folder_(std::move(folder)) {}
    Bytes Read(std::uint64_t limit) override;
    bool Append(std::string_view header, std::string_view line) override;
    bool Replace(std::string_view bytes) override;
    bool MoveAside() override;
    // The record's full path (empty when the profile folder is unknown).
    std::wstring Path();

private:
    const std::wstring& Folder();
    std::wstring folder_;
    bool looked_up_ = false;
};

}  // namespace quorlax::win
