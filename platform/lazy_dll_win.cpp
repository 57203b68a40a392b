// The one loader of on-demand system libraries.
#include "platform/lazy_dll_win.h"

#include <string>

namespace quorlax::win {

HMODULE SystemLibrary(const wchar_t* dll) {
    if (HMODULE module = LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // A loader without the search flags (Windows 7 before KB2533623) refuses
    // the flag itself; it gets the library's full path instead.
    if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::wstring path(folder, n);
    path += L'\\';
    path += dll;
    // Its own imports are looked for beside it, in the system folder.
    return LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

}  // namespace quorlax::win
