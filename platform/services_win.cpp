// Win32 platform services: message boxes, data files, the registry, sound.
#include "platform/services_win.h"

#include <mmsystem.h>

#include <new>
#include <string>
#include <vector>

#include "platform/gbk.h"
#include "platform/handles_win.h"
#include "platform/lazy_dll_win.h"
#include "platform/product.h"

namespace quorlax::win {

namespace {
constexpr const wchar_t* kTitle = kProductName;
constexpr wchar_t kSoundAlias[] = L"quorlax_hit";

// The media control interface, loaded with the first hit rather than at
// start-up; a missing winmm is a machine without sound.
MCIERROR Mci(const std::wstring& command, wchar_t* answer = nullptr, UINT answer_size = 0) {
    static const auto send = LazyFunction<decltype(&mciSendStringW)>(L"winmm.dll", "mciSendStringW");
    return send ? send(command.c_str(), answer, answer_size, nullptr) : MCIERR_DEVICE_NOT_INSTALLED;
}
}  // namespace

std::wstring ProgramFolder() {
    std::vector<wchar_t> buf(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
        if (n == 0) return L".";
        if (n < buf.size()) {
            std::wstring path(buf.data(), n);
            size_t slash = path.find_last_of(L"\\/");
            return slash == std::wstring::npos ? L"." : path.substr(0, slash);
        }
        buf.resize(buf.size() * 2);
    }
}

unsigned SecondsSinceMidnight() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600u + t.wMinute * 60u + t.wSecond;
}

void MessageBoxService::Show(std::wstring_view text) {
    std::wstring s(text);
    // Topmost: the hall of fame and the picture chooser stand topmost, and a
    // message about them must not open hidden behind them.
    MessageBoxW(owner_, s.c_str(), kTitle, MB_OK | MB_SETFOREGROUND | MB_TOPMOST);
}

DataFile DataFilesWin::Read(std::wstring_view name) {
    DataFile result;
    result.folder = folder_;
    FileBytes file = ReadBytes(folder_ + L"\\" + std::wstring(name), kMaxDataFileBytes);
    if (file.status != FileBytes::Status::Ok) return result;
    result.text = DecodeGbk(file.bytes);
    result.ok = true;
    return result;
}

FileBytes DataFilesWin::ReadBytes(std::wstring_view path, std::uint64_t limit) {
    FileBytes result;
    const std::wstring name(path);
    UniqueFile file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    // A device (NUL, COM1) or a pipe is no text file: it has no size, and
    // reading it may wait for ever.
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return result;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) return result;
    if (static_cast<std::uint64_t>(size.QuadPart) > limit || size.QuadPart > 0x7FFFFFFF) {
        result.status = FileBytes::Status::TooLarge;
        return result;
    }
    std::string bytes;
    try {
        bytes.resize(static_cast<size_t>(size.QuadPart));
    } catch (const std::bad_alloc&) {
        return result;  // a 32-bit process short of room: the file is as good as unreadable
    }
    DWORD got = 0;
    if (!bytes.empty() &&
        (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) ||
         got != bytes.size()))
        return result;
    result.bytes = std::move(bytes);
    result.status = FileBytes::Status::Ok;
    return result;
}

std::wstring RegistrySettings::KeyPath(std::wstring_view section) const {
    return L"Software\\" + application_ + L"\\" + std::wstring(section);
}

std::wstring RegistrySettings::Get(std::wstring_view section, std::wstring_view key) {
    HKEY raw = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, KEY_QUERY_VALUE, &raw) != ERROR_SUCCESS)
        return {};
    UniqueKey hkey(raw);
    std::wstring name(key);
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return {};
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(value.size() * sizeof(wchar_t));
    if (RegQueryValueExW(hkey.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                         &bytes) != ERROR_SUCCESS)
        return {};
    value.resize(bytes / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();  // stored with or without its NUL
    return value;
}

bool RegistrySettings::Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) {
    HKEY raw = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, KeyPath(section).c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &raw, nullptr) != ERROR_SUCCESS)
        return false;
    UniqueKey hkey(raw);
    std::wstring name(key), data(value);
    return RegSetValueExW(hkey.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

MciSound::~MciSound() {
    if (open_) Mci(std::wstring(L"close ") + kSoundAlias);
}

void MciSound::PlayHit() {
    // Every hit starts the sound from its beginning, cutting off the last
    // one; "play" without "wait" returns at once. The device stays open
    // between hits so a hit costs no file open.
    if (failed_) return;  // no file or no sound device: hits are scored in silence
    if (!open_) {
        std::wstring open = L"open \"" + file_ + L"\" type waveaudio alias " + kSoundAlias;
        last_error_ = Mci(open);
        open_ = last_error_ == 0;
        // Trying again on every hit would only cost time in the middle of play.
        failed_ = !open_;
        if (!open_) return;
    }
    last_error_ = Mci(std::wstring(L"play ") + kSoundAlias + L" from 0");
    // A device that could not play this hit will not play the next: the
    // rest of the run is silent, and asks nothing more of it.
    failed_ = last_error_ != 0;
}

std::wstring MciSound::Mode() const {
    wchar_t mode[32] = {};
    if (!open_ || Mci(std::wstring(L"status ") + kSoundAlias + L" mode", mode, 32) != 0) return {};
    return mode;
}

}  // namespace quorlax::win
