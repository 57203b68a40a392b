// What typing by five-stroke code has taught about each key a–y: how often
// it was expected and pressed wrong, its recent error rate and time (weighted
// towards the newest presses, as the per-character record keeps them), and
// the keys as the radical chart lays them out. Kept as one tab-separated
// line per key in practice-keys.tsv beside the practice history. Portable.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "practice/char_record.h"

namespace quorlax {

inline constexpr wchar_t kKeyRecordFileName[] = L"practice-keys.tsv";  // beside the practice history
inline constexpr std::size_t kCodeKeys = 25;                           // a–y; z is no code key
// A character's target time shared over the keys of a full code.
inline constexpr double kKeysPerCharacter = 4;

// The key time that keeps up with a character target time.
inline double KeyTargetMs(double charTargetMs) { return charTargetMs / kKeysPerCharacter; }

// A key as the radical chart shows it: its keyboard row (0 = Q…P, 1 =
// A…L, 2 = X…M) and place in the row, its zone and position ("11" for G),
// its key-name character and its radicals.
struct CodeKey {
    char letter;
    int row, column;
    const wchar_t* zone;
    wchar_t name;
    const wchar_t* radicals;
};
// How far each row starts to the right of the top one, in keys, as on the chart.
inline constexpr double kKeyRowIndent[3] = {0, 0.25, 1.75};
// The 25 keys row by row, left to right.
extern const std::array<CodeKey, kCodeKeys> kCodeKeyboard;
// The key `letter` (a–y); null for any other.
const CodeKey* FindCodeKey(char letter);

struct KeyStats {
    char key = 0;      // a–y
    int attempts = 0;  // presses expected of this key, all-time
    int wrong = 0;     // of them pressed wrong (charged to the key expected), all-time
    double rate = 0;   // recent error rate, 0..1
    double ms = -1;    // recent time from the key before; -1 until a press was timed
    bool operator==(const KeyStats&) const = default;
};

// One key expected while typing a code, and whether it was pressed wrong;
// the time since the key before, -1 when not timed.
struct KeyPress {
    char key = 0;
    bool wrong = false;
    int ms = -1;
};

// How weak a key is: its recent error rate, plus how far its recent time
// lies over `targetMs` (as a character's weakness). Keys with fewer than
// kRankedFrom presses are not weak yet.
double KeyWeakness(const KeyStats& k, double targetMs);

class KeyRecord {
public:
    KeyRecord();

    // --- the file ---
    // The header line (with the UTF-8 mark), ending in "\n".
    static std::string Header();
    // The whole file, one line per key a–y.
    std::string Format() const;
    struct Parsed;
    // A file's bytes; a line that cannot be read is skipped and counted.
    static Parsed Parse(std::string_view bytes);

    // --- learning ---
    // One key expected; a press of another key, a time over kLongestGapMs
    // untimed. Nothing for a letter that is no code key.
    void Press(const KeyPress& press);
    void Apply(std::span<const KeyPress> presses);

    // --- what it shows ---
    const KeyStats* Find(char key) const;
    const std::array<KeyStats, kCodeKeys>& All() const { return keys_; }
    // Whether any key was ever expected.
    bool AnyAttempt() const;
    // The keys that are weak against a key time of `targetMs`, weakest
    // first; at most `top`.
    std::vector<const KeyStats*> Weakest(std::size_t top,
                                         double targetMs = KeyTargetMs(TargetMs(kDefaultTargetSpeed))) const;

private:
    std::array<KeyStats, kCodeKeys> keys_;  // a–y
};

struct KeyRecord::Parsed {
    KeyRecord record;
    int skipped = 0;
};

}  // namespace quorlax
