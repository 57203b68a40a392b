// What practice has taught about each character: how often it was typed and
// missed, its recent error rate and time (weighted towards the newest
// attempts, as the adaptive tutors keep them), its review box with the day
// it is due, and whether it has graduated. Kept as one tab-separated line per
// character in practice-chars.tsv beside the practice history. Portable.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorlax {

inline constexpr wchar_t kCharRecordFileName[] = L"practice-chars.tsv";  // beside the practice history
inline constexpr double kRecentWeight = 0.1;   // each attempt's weight in the recent rate and time
inline constexpr int kLongestGapMs = 10000;    // a longer pause before a character is not its time
inline constexpr int kRankedFrom = 3;          // attempts before a character is ranked at all
inline constexpr int kGraduateFrom = 5;        // attempts before a character may graduate
inline constexpr double kGraduateRate = 0.05;  // ... with a recent error rate under this
inline constexpr int kReviewBoxes = 6;         // boxes 0..5
inline constexpr int kReviewDays[kReviewBoxes] = {0, 1, 2, 4, 8, 16};  // after the last day typed
inline constexpr int kTargetSpeeds[] = {30, 45, 60, 80, 100, 120};      // 字/分 the player may aim at
inline constexpr int kDefaultTargetSpeed = 60;

// A calendar day: days since 1970-01-01.
using Day = int;
// "2026-12-08" and back; nothing for a text that is no such date.
std::wstring DayText(Day day);
std::optional<Day> ParseDay(std::wstring_view text);
// The local day now.
Day Today();

// The time one character may take at a target speed, in ms.
inline double TargetMs(int speed) { return 60000.0 / (speed > 0 ? speed : kDefaultTargetSpeed); }

// One expected character typed in a run: missed or not, and the time it
// took from the character typed before it (none for the first of a run or
// after a long pause).
struct Attempt {
    wchar_t ch = 0;
    bool miss = false;
    int ms = -1;     // -1: not timed
    int keyMs = -1;  // code-mode runs: from its first key to its last; -1 otherwise
    bool operator==(const Attempt&) const = default;
};

struct CharStats {
    wchar_t ch = 0;
    int attempts = 0;   // all-time
    int misses = 0;     // all-time
    double rate = 0;    // recent error rate, 0..1
    double ms = -1;     // recent time; -1 until an attempt was timed
    int box = 0;        // review box, 0..5
    Day due = 0;        // the day it is next due for review
    Day last = 0;       // the day it was last typed
    Day graduated = 0;  // the day it last graduated; 0 while it has not
    double keyMs = -1;  // recent time from its first code key to its last; -1 until timed
    bool operator==(const CharStats&) const = default;
};

// How weak a character is: its recent error rate and its recent time against
// the target, keybr's confidence turned around (0 for one that is fast and
// sure). Characters with fewer than kRankedFrom attempts are not weak yet.
double Weakness(const CharStats& c, double targetMs);
// Graduated: over at least kGraduateFrom attempts, under kGraduateRate
// errors and at or under the target time.
bool MeetsTarget(const CharStats& c, double targetMs);

class CharRecord {
public:
    // --- the file ---
    // The header line (with the UTF-8 mark), ending in "\n".
    static std::string Header();
    // The whole file, one line per character in character order.
    std::string Format() const;
    struct Parsed;
    // A file's bytes; a line that cannot be read is skipped and counted.
    static Parsed Parse(std::string_view bytes);

    // --- learning ---
    // One run's attempts, in the order they were typed, on `today`.
    void Apply(std::span<const Attempt> attempts, Day today, double targetMs);
    // A record started from the practice history's misses: each miss counts
    // as an attempt missed on the day of its run.
    struct PastMiss {
        wchar_t ch;
        int count;
        Day day;
    };
    void Seed(std::span<const PastMiss> misses);

    // --- what it shows ---
    const CharStats* Find(wchar_t ch) const;
    const std::vector<CharStats>& All() const { return chars_; }
    bool Empty() const { return chars_.empty(); }
    // The ranked characters that are weak, weakest first; at most `top`.
    std::vector<const CharStats*> Weakest(double targetMs, std::size_t top) const;
    // Ranked characters due for review by `today`: weak ones, or ones whose
    // review day has come.
    std::vector<const CharStats*> Due(Day today, double targetMs) const;
    // Characters that graduated on or after `from`.
    std::vector<const CharStats*> GraduatedSince(Day from) const;

private:
    CharStats& Entry(wchar_t ch);
    std::vector<CharStats> chars_;  // by character
};

struct CharRecord::Parsed {
    CharRecord record;
    int skipped = 0;
};

}  // namespace quorlax
