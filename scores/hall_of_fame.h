// The hall of fame: three top-five tables (one per pool) of names and game
// totals, kept in the settings store, section "123".
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/game_pool.h"
#include "platform/services.h"

namespace quorlax {

inline constexpr wchar_t kSectionHallOfFame[] = L"123";
inline constexpr int kRanks = 5;

class HallOfFame {
public:
    explicit HallOfFame(ISettingsStore& store) : store_(store) {}

    // "f3", "ym1", "sf5", ...
    static std::wstring ScoreKey(GamePool pool, int rank);
    static std::wstring NameKey(GamePool pool, int rank);

    std::wstring ScoreText(GamePool pool, int rank);
    std::wstring Name(GamePool pool, int rank);
    // A stored score as a number; a hand edit that is no whole number is 0.
    std::int32_t Score(GamePool pool, int rank);

    // Writes "0" into the pool's empty score keys, rank 1 to 5.
    void ZeroFill(GamePool pool);
    // At start-up: digits, Chinese, English.
    void StartupFill();

    // The game-over test: zero-fills, then tests each rank's condition
    // against freshly read scores. True when the total earns the name box.
    bool Qualifies(GamePool pool, std::int32_t total);

    // Enters a row: the first case of the insertion table that holds moves
    // the rows below down and writes the new row. The rank it landed at, or
    // 0 when the total ranks nowhere (equal to or below rank 5).
    int Insert(GamePool pool, std::int32_t total, const std::wstring& name);
    // True when the store refused a write of the last insertion (or of a
    // fill since).
    bool WriteFailed() const { return write_failed_; }

private:
    void Put(const std::wstring& key, std::wstring_view value);

    ISettingsStore& store_;
    bool write_failed_ = false;
};

}  // namespace quorlax
