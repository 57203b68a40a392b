// The Win32 implementations of the platform services.
#pragma once

#include <windows.h>

#include <string>

#include "platform/non_copyable.h"
#include "platform/services.h"

namespace quorlax::win {

// The folder the program runs from, without a trailing backslash.
std::wstring ProgramFolder();

// Seconds since midnight, local time: the seed of the random generator.
unsigned SecondsSinceMidnight();

class MessageBoxService final : public IMessageBox {
public:
    void SetOwner(HWND owner) { owner_ = owner; }
    void Show(std::wstring_view text) override;

private:
    HWND owner_ = nullptr;
};

// Reads GBK data files beside the program, and files the user chose. Data
// files over kMaxDataFileBytes are refused: they are a few dozen kilobytes.
class DataFilesWin final : public IDataFiles {
public:
    static constexpr DWORD kMaxDataFileBytes = 64u << 20;
    explicit DataFilesWin(std::wstring folder) : folder_(std::move(folder)) {}
    DataFile Read(std::wstring_view name) override;
    FileBytes ReadBytes(std::wstring_view path, std::uint64_t limit) override;

private:
    std::wstring folder_;
};

// The system's tick count: monotonic, to about 16 ms.
// Milliseconds from the performance counter: a code key's time wants better
// than the tick count's 10–16 ms steps.
class TickClock final : public IClock {
public:
    std::uint64_t Milliseconds() override {
        LARGE_INTEGER now{}, frequency{};
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<std::uint64_t>(now.QuadPart / frequency.QuadPart * 1000 +
                                          now.QuadPart % frequency.QuadPart * 1000 / frequency.QuadPart);
    }
};

// The per-user registry: HKEY_CURRENT_USER\Software\<application>\<section>.
class RegistrySettings final : public ISettingsStore {
public:
    explicit RegistrySettings(std::wstring application) : application_(std::move(application)) {}
    std::wstring Get(std::wstring_view section, std::wstring_view key) override;
    bool Save(std::wstring_view section, std::wstring_view key, std::wstring_view value) override;

private:
    std::wstring KeyPath(std::wstring_view section) const;
    std::wstring application_;
};

// "hit.wav" through the media control interface's waveaudio device.
class MciSound final : public ISound, NonCopyable {
public:
    explicit MciSound(std::wstring file) : file_(std::move(file)) {}
    ~MciSound() override;
    void PlayHit() override;
    // The result of the last MCI command: 0 is success.
    unsigned long LastError() const { return last_error_; }
    // False once the sound could not be opened or played; hits are silent then.
    bool Playable() const { return !failed_; }
    // What MCI says the sound is doing ("playing", "stopped"); empty when it is not open.
    std::wstring Mode() const;

private:
    std::wstring file_;
    bool open_ = false;
    bool failed_ = false;
    unsigned long last_error_ = 0;
};

}  // namespace quorlax::win
