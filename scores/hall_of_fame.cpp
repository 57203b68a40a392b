// Hall-of-fame tables in the settings store.
#include "scores/hall_of_fame.h"

#include "core/counters.h"

namespace quorlax {
namespace {

const wchar_t* ScorePrefix(GamePool pool) {
    switch (pool) {
        case GamePool::Chinese: return L"f";
        case GamePool::English: return L"yf";
        case GamePool::Digits: return L"sf";
    }
    return L"f";
}

const wchar_t* NamePrefix(GamePool pool) {
    switch (pool) {
        case GamePool::Chinese: return L"m";
        case GamePool::English: return L"ym";
        case GamePool::Digits: return L"sm";
    }
    return L"m";
}

}  // namespace

std::wstring HallOfFame::ScoreKey(GamePool pool, int rank) {
    return ScorePrefix(pool) + std::to_wstring(rank);
}
std::wstring HallOfFame::NameKey(GamePool pool, int rank) { return NamePrefix(pool) + std::to_wstring(rank); }

std::wstring HallOfFame::ScoreText(GamePool pool, int rank) {
    return store_.Get(kSectionHallOfFame, ScoreKey(pool, rank));
}
std::wstring HallOfFame::Name(GamePool pool, int rank) {
    return store_.Get(kSectionHallOfFame, NameKey(pool, rank));
}

std::int32_t HallOfFame::Score(GamePool pool, int rank) {
    return ParseInt32(ScoreText(pool, rank)).value_or(0);
}

void HallOfFame::ZeroFill(GamePool pool) {
    for (int r = 1; r <= kRanks; ++r)
        if (ScoreText(pool, r).empty()) Put(ScoreKey(pool, r), L"0");
}

void HallOfFame::StartupFill() {
    for (GamePool pool : {GamePool::Digits, GamePool::Chinese, GamePool::English}) ZeroFill(pool);
}

bool HallOfFame::Qualifies(GamePool pool, std::int32_t total) {
    ZeroFill(pool);
    bool qualifies = false;
    if (total >= Score(pool, 1)) qualifies = true;
    for (int r = 2; r <= kRanks; ++r) {
        std::int32_t here = Score(pool, r), above = Score(pool, r - 1);
        if (here <= total && total < above) qualifies = true;
    }
    return qualifies;
}

void HallOfFame::Put(const std::wstring& key, std::wstring_view value) {
    if (!store_.Save(kSectionHallOfFame, key, value)) write_failed_ = true;
}

int HallOfFame::Insert(GamePool pool, std::int32_t total, const std::wstring& name) {
    write_failed_ = false;
    std::array<std::wstring, kRanks + 1> names;
    std::array<std::int32_t, kRanks + 1> s{};
    for (int r = 1; r <= kRanks; ++r) {
        names[r] = Name(pool, r);
        s[r] = Score(pool, r);
    }
    ZeroFill(pool);

    // The cases in the order they are tried, rank by rank: a total above
    // the first score takes rank 1; one between the scores of ranks k - 1
    // and k takes rank k; one equal to the stored score of ranks 1..4 goes
    // directly below it; equal to rank 5 or lower enters nothing. (Hand-
    // edited scores need not be in order: the first case that holds wins.)
    int rank = total > s[1] ? 1 : 0;
    for (int k = 1; k <= kRanks && rank == 0; ++k) {
        if (k > 1 && s[k] < total && total < s[k - 1])
            rank = k;
        else if (k < kRanks && total == s[k])
            rank = k + 1;
    }
    if (rank == 0) return 0;

    for (int from = rank; from < kRanks; ++from) {
        Put(NameKey(pool, from + 1), names[from]);
        Put(ScoreKey(pool, from + 1), CounterText(s[from]));
    }
    Put(NameKey(pool, rank), name);
    Put(ScoreKey(pool, rank), CounterText(total));
    return rank;
}

}  // namespace quorlax
