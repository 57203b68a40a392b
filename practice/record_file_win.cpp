// The practice record's file: appended in one write per run, rewritten only
// through a new file put in its place (the old one kept beside it), never
// changed where it lies; and the pending file beside it.
#include "practice/record_file_win.h"

#include <windows.h>
// The shell's folder ids need windows.h first.
#include <shlobj.h>

#include "platform/handles_win.h"
#include "platform/lazy_dll_win.h"

namespace quorlax::win {
namespace {

constexpr wchar_t kFolderName[] = L"Quorlax";
constexpr wchar_t kNewSuffix[] = L".new";

bool WriteAll(HANDLE file, std::string_view bytes) {
    if (bytes.empty()) return true;
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

IRecordFile::Bytes ReadBytes(const std::wstring& path, std::uint64_t limit) {
    IRecordFile::Bytes result;
    if (path.empty()) return result;
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        result.ok = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;  // none yet
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
        return IRecordFile::Bytes{};
    }
    DWORD got = 0;
    if (length > 0 &&
        (!::ReadFile(file.get(), result.bytes.data(), static_cast<DWORD>(length), &got, nullptr) ||
         got != length))
        return IRecordFile::Bytes{};
    result.ok = true;
    return result;
}

bool AppendTo(const std::wstring& path, std::string_view header, std::string_view lines) {
    // Appending only: whatever is in the file already cannot be touched.
    UniqueFile file(CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA | SYNCHRONIZE,
                                FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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
        if (SetFilePointerEx(file.get(), last, nullptr, FILE_BEGIN) &&
            ::ReadFile(file.get(), &end, 1, &got, nullptr) && got == 1 && end != '\n')
            newLine = true;
        LARGE_INTEGER none{};
        if (!SetFilePointerEx(file.get(), none, nullptr, FILE_END)) return false;
    }
    std::string bytes;
    bytes.reserve(header.size() + lines.size() + 1);
    if (size.QuadPart == 0) bytes.append(header.data(), header.size());
    if (newLine) bytes.push_back('\n');
    bytes.append(lines.data(), lines.size());
    return WriteAll(file.get(), bytes);
}

}  // namespace

const std::wstring& RecordFileWin::FolderPath() {
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

std::wstring RecordFileWin::PathOf(const wchar_t* name) {
    const std::wstring& folder = FolderPath();
    return folder.empty() ? std::wstring() : folder + L"\\" + name;
}

std::wstring RecordFileWin::Path() { return PathOf(names_.file); }

IRecordFile::Bytes RecordFileWin::Read(std::uint64_t limit) { return ReadBytes(Path(), limit); }

bool RecordFileWin::Append(std::string_view header, std::string_view lines) {
    return EnsureFolder(FolderPath()) && AppendTo(Path(), header, lines);
}

bool RecordFileWin::Replace(std::string_view bytes) {
    const std::wstring path = Path();
    if (path.empty() || !EnsureFolder(FolderPath())) return false;
    const std::wstring fresh = path + kNewSuffix;
    const std::wstring old = PathOf(names_.old);
    const std::wstring oldFresh = old + kNewSuffix;
    {
        UniqueFile file(CreateFileW(fresh.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        const bool room = bytes.size() <= rewrite_room_;
        if (!room) bytes = bytes.substr(0, static_cast<size_t>(rewrite_room_));
        if (!WriteAll(file.get(), bytes) || !room || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(fresh.c_str());
            return false;
        }
    }
    // The old file is kept whole before anything replaces it: a second name
    // for it (a copy where the disk has no links), put in place of the older
    // one only once complete. The record itself changes in one step, from
    // the old file to the new. A record not made yet has nothing to keep.
    const bool none = GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
                      GetLastError() == ERROR_FILE_NOT_FOUND;
    DeleteFileW(oldFresh.c_str());  // left by a rewrite cut short: a link cannot replace it
    if ((none || ((CreateHardLinkW(oldFresh.c_str(), path.c_str(), nullptr) ||
                   CopyFileW(path.c_str(), oldFresh.c_str(), FALSE)) &&
                  MoveFileExW(oldFresh.c_str(), old.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))) &&
        MoveFileExW(fresh.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(oldFresh.c_str());
    DeleteFileW(fresh.c_str());
    return false;
}

bool RecordFileWin::MoveAside() {
    const std::wstring path = Path();
    if (path.empty()) return false;
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
        (GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND))
        return true;  // nothing recorded to move
    const std::wstring backup = PathOf(names_.backup);
    return MoveFileExW(path.c_str(), backup.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

IRecordFile::Bytes RecordFileWin::ReadPending() {
    return ReadBytes(PathOf(names_.pending), kRecordReadLimit);
}

bool RecordFileWin::AppendPending(std::string_view header, std::string_view lines) {
    return EnsureFolder(FolderPath()) && AppendTo(PathOf(names_.pending), header, lines);
}

bool RecordFileWin::RemovePending() {
    const std::wstring path = PathOf(names_.pending);
    if (path.empty()) return false;
    return DeleteFileW(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND ||
           GetLastError() == ERROR_PATH_NOT_FOUND;
}

}  // namespace quorlax::win
