// The practice record's file: appended in one write per run, rewritten only
// through a new file put in its place, never changed where it lies.
#include "practice/history_file_win.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/handles_win.h"
#include "platform/lazy_dll_win.h"

namespace quorlax::win {
namespace {

constexpr wchar_t kFolderName[] = L"Quorlax";
constexpr wchar_t kNewSuffix[] = L".new";

bool WriteAll(HANDLE file, std::string_view bytes) {
    if (bytes.size() > 0x7FFFFFFF) return false;
    DWORD written = 0;
    return WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Creates the folder and any missing parent; true when it is there.
bool EnsureFolder(const std::wstring& folder) {
    if (folder.empty()) return false;
    const DWORD attributes = GetFileAttributesW(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const size_t slash = folder.find_last_of(L"\\/");
    if (slash != std::wstring::npos && slash > 2) EnsureFolder(folder.substr(0, slash));
    return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

const std::wstring& HistoryFileWin::Folder() {
    if (!folder_.empty() || looked_up_) return folder_;
    looked_up_ = true;
    // shell32 is loaded on first use only: start-up does not pay for it.
    using GetFolderPath = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
    wchar_t path[MAX_PATH] = {};
    auto get = LazyFunction<GetFolderPath>(L"shell32.dll", "SHGetFolderPathW");
    if (get && SUCCEEDED(get(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) && path[0]) {
        folder_ = std::wstring(path) + L"\\" + kFolderName;
    } else if (DWORD n = GetEnvironmentVariableW(L"APPDATA", path, MAX_PATH); n > 0 && n < MAX_PATH) {
        folder_ = std::wstring(path) + L"\\" + kFolderName;
    }
    return folder_;
}

std::wstring HistoryFileWin::Path() {
    const std::wstring& folder = Folder();
    return folder.empty() ? std::wstring() : folder + L"\\" + kHistoryFileName;
}

IHistoryFile::Bytes HistoryFileWin::Read(std::uint64_t limit) {
    Bytes result;
    const std::wstring path = Path();
    if (path.empty()) return result;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        result.ok = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;  // no record yet
        return result;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return result;
    auto length = static_cast<std::uint64_t>(size.QuadPart);
    if (length > limit) {
        LARGE_INTEGER from{};
        from.QuadPart = static_cast<LONGLONG>(length - limit);
        if (!SetFilePointerEx(file.get(), from, nullptr, FILE_BEGIN)) return result;
        length = limit;
        result.fromTail = true;
    }
    if (length > 0x7FFFFFFF) return result;
    try {
        result.bytes.resize(static_cast<size_t>(length));
    } catch (const std::bad_alloc&) {
        return Bytes{};
    }
    DWORD got = 0;
    if (length > 0 && (!ReadFile(file.get(), result.bytes.data(), static_cast<DWORD>(length), &got, nullptr) ||
                       got != length))
        return Bytes{};
    result.ok = true;
    return result;
}

bool HistoryFileWin::Append(std::string_view header, std::string_view line) {
    if (!EnsureFolder(Folder())) return false;
    const std::wstring path = Path();
    // Appending only: whatever is in the file already cannot be touched.
    UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE, FILE_SHARE_READ,
                                nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return false;
    bool newLine = false;  // the file's last line needs its end first
    if (size.QuadPart > 0) {
        // A last line cut short (a crash, an editor) must not swallow this one.
        LARGE_INTEGER last{};
        last.QuadPart = size.QuadPart - 1;
        char end = '\n';
        DWORD got = 0;
        if (SetFilePointerEx(file.get(), last, nullptr, FILE_BEGIN) && ReadFile(file.get(), &end, 1, &got, nullptr) &&
            got == 1 && end != '\n')
            newLine = true;
        LARGE_INTEGER none{};
        if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) return false;
    }
    std::string bytes;
    bytes.reserve(header.size() + line.size() + 1);
    if (size.QuadPart == 0) bytes.append(header.data(), header.size());
    if (newLine) bytes.push_back('\n');
    bytes.append(line.data(), line.size());
    return WriteAll(file.get(), bytes);
}

bool HistoryFileWin::Replace(std::string_view bytes) {
    const std::wstring path = Path();
    if (path.empty()) return false;
    const std::wstring fresh = path + kNewSuffix;
    {
        UniqueFile file(
            CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(fresh.c_str());
            return false;
        }
    }
    if (MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    DeleteFileW(fresh.c_str());
    return false;
}

bool HistoryFileWin::MoveAside() {
    const std::wstring path = Path();
    if (path.empty()) return false;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND))
        return true;  // nothing recorded to move
    const std::wstring backup = Folder() + L"\\" + kHistoryBackupName;
    return MoveFileExW(path.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

}  // namespace quorlax::win
