// The shell and the file system as the settings room needs them: opening
// the help page and the About box's links with their default program, and
// listing drives and folders for the picture chooser.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "platform/pictures_win.h"
#include "platform/services.h"

namespace quorlax::win {

// Opens files and links through ShellExecuteEx (the default verb), without
// waiting for the program that opens them.
class ShellService final : public IShell {
public:
    explicit ShellService(std::wstring folder) : folder_(std::move(folder)) {}
    std::wstring ProgramFolder() override { return folder_; }
    ShellResult Open(std::wstring_view target) override;
    void SetOwner(HWND owner) { owner_ = owner; }

private:
    std::wstring folder_;
    HWND owner_ = nullptr;
    std::unique_ptr<ComScope> com_;  // some shell handlers need COM on this thread
};

// Drives from GetLogicalDriveStrings, folders through FindFirstFileEx.
class FolderService final : public IFolders {
public:
    std::vector<std::wstring> Drives() override;
    std::optional<FolderContents> List(std::wstring_view folder) override;
};

}  // namespace quorlax::win
