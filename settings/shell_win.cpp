// Opening files with their default program; listing drives and folders.
#include "settings/shell_win.h"

#include <shellapi.h>

#include <cwctype>

#include "platform/handles_win.h"
#include "platform/lazy_dll_win.h"
#include "platform/non_copyable.h"

namespace quorlax::win {
namespace {

bool IsLocalPath(std::wstring_view target) {
    return (target.size() >= 3 && target[1] == L':' && target[2] == L'\\') || target.starts_with(L"\\\\");
}

// Quiet while a folder is listed: no "insert a disk" box for an empty drive.
class ErrorModeScope : NonCopyable {
public:
    ErrorModeScope() : old_(SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX)) {}
    ~ErrorModeScope() { SetErrorMode(old_); }

private:
    UINT old_;
};

using UniqueFind = UniqueHandle<HANDLE, InvalidHandleTraits<FindClose>>;

}  // namespace

ShellResult ShellService::Open(std::wstring_view target) {
    std::wstring file(target);
    if (IsLocalPath(file) && GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return ShellResult::NotFound;
    if (!com_) com_ = std::make_unique<ComScope>();
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_FLAG_NO_UI;  // the program says what went wrong, not the shell
    info.hwnd = owner_;
    info.lpFile = file.c_str();
    info.lpDirectory = folder_.c_str();
    info.nShow = SW_SHOWNORMAL;
    static const auto execute =
        LazyFunction<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)>(L"shell32.dll", "ShellExecuteExW");
    if (!execute) return ShellResult::Failed;
    if (execute(&info)) return ShellResult::Opened;
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return ShellResult::NotFound;
        case ERROR_NO_ASSOCIATION: return ShellResult::NoProgram;
        default: return ShellResult::Failed;
    }
}

std::vector<std::wstring> FolderService::Drives() {
    std::vector<std::wstring> roots;
    wchar_t buffer[512] = {};
    DWORD n = GetLogicalDriveStringsW(static_cast<DWORD>(std::size(buffer) - 1), buffer);
    if (n == 0 || n >= std::size(buffer)) return roots;
    for (const wchar_t* p = buffer; *p; p += wcslen(p) + 1) {
        std::wstring root(p);
        if (root.size() < 3 || root[1] != L':') continue;
        root[0] = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(root[0])));
        roots.push_back(root.substr(0, 3));
    }
    return roots;
}

std::optional<FolderContents> FolderService::List(std::wstring_view folder) {
    ErrorModeScope quiet;
    std::wstring pattern(folder);
    if (pattern.empty()) return std::nullopt;
    if (pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    UniqueFind find(
        FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        // An empty folder still has "." and ".."; only a root can be empty.
        return GetLastError() == ERROR_FILE_NOT_FOUND ? std::optional<FolderContents>(FolderContents{})
                                                      : std::nullopt;
    }
    FolderContents contents;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        if (found.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            contents.folders.push_back(std::move(name));
        else
            contents.files.push_back(std::move(name));
    } while (FindNextFileW(find.get(), &found));
    return contents;
}

}  // namespace quorlax::win
