// The practice record: every finished practice run as one line of a
// tab-separated UTF-8 file, read back for the record window, the ranking of
// the weakest characters and the drill built from them. Portable: the file
// itself is reached through IHistoryFile.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/word_pool.h"
#include "platform/services.h"

namespace quorlax {

inline constexpr wchar_t kRecordWindowTitle[] = L"练习记录";
inline constexpr wchar_t kNoMissesYet[] = L"还没有错字记录，请先做几次练习。";
inline constexpr wchar_t kHistoryFileName[] = L"practice-history.tsv";  // in %APPDATA%\Quorlax
inline constexpr wchar_t kHistoryBackupName[] = L"practice-history.bak";
inline constexpr std::size_t kHistoryCompactAbove = 11000;  // runs; past this the file is rewritten
inline constexpr std::size_t kHistoryKeep = 10000;          // the newest runs a rewrite keeps
inline constexpr std::uint64_t kHistoryReadLimit = 32ull << 20;  // a larger file is read from its tail
inline constexpr std::size_t kChartRuns = 100;    // runs the record window's chart shows
inline constexpr std::size_t kRankingRuns = 200;  // runs the weakest characters are ranked over
inline constexpr std::size_t kWeakestShown = 20;  // weakest characters listed and drilled

enum class RunKind { BuiltIn, Chosen, Drill };

// One expected character typed wrong in a run, and how many times.
struct Miss {
    wchar_t ch = 0;
    int count = 0;
    bool operator==(const Miss&) const = default;
};

// One finished practice run, as the panel showed it at its end.
struct RunRecord {
    std::wstring when;         // local date and time, "2026-12-08 14:03:22"
    RunKind kind = RunKind::BuiltIn;
    std::wstring file;         // a chosen file's name without its folder; empty otherwise
    int typed = 0;             // characters typed (总字数)
    int correct = 0;           // characters typed correctly (正确数)
    int accuracy = 0;          // 正确率 in percent, as shown
    int speed = 0;             // 速度 in characters per minute, as shown
    int seconds = 0;           // seconds practised
    std::vector<Miss> misses;  // most missed first
    bool operator==(const RunRecord&) const = default;
};

// --- the file's text ---

// The header line, ending in "\n".
std::string HistoryHeader();
// One run as one line of UTF-8, ending in "\n". Tabs and line ends in a
// file name become blanks, so a line always has its columns.
std::string FormatRun(const RunRecord& run);
// A line (without its "\n") back into a run; nothing when it cannot be read.
std::optional<RunRecord> ParseRun(std::string_view line);

struct HistoryContents {
    std::vector<RunRecord> runs;  // oldest first
    int skipped = 0;              // lines that could not be read (kept in the file)
};
// The runs of a whole file, or of its tail when `fromTail` (the first,
// partial line is then dropped without counting). The header and empty
// lines are not runs and not skipped.
HistoryContents ParseHistory(std::string_view bytes, bool fromTail);
// The file rewritten with its newest `keep` runs: the header, then every line
// from the keep-th newest readable run on (lines that cannot be read among
// them stay).
std::string CompactHistory(std::string_view bytes, bool fromTail, std::size_t keep);

// --- what the record shows ---

struct WeakChar {
    wchar_t ch = 0;
    int misses = 0;           // over the ranked runs
    std::wstring lastMissed;  // `when` of the newest run that missed it
};
// The most missed characters over the last `window` runs: most misses first,
// then the more recently missed, then by character; at most `top`.
std::vector<WeakChar> WeakestChars(std::span<const RunRecord> runs, std::size_t window = kRankingRuns,
                                   std::size_t top = kWeakestShown);

struct HistoryTotals {
    int runs = 0;
    std::int64_t typed = 0;    // characters over all runs
    std::int64_t seconds = 0;  // time practised
    int bestSpeed = 0;
    int recentRuns = 0;          // runs in the recent average (≤ 10)
    double recentAverage = 0;    // mean speed of the last 10 runs
    int previousRuns = 0;        // runs in the previous average (≤ 10)
    double previousAverage = 0;  // mean speed of the 10 before them
};
HistoryTotals Totals(std::span<const RunRecord> runs);

// The local date and time now, as a run's `when`.
std::wstring LocalDateTimeNow();

// The drill's text for the grid: words of the pool that hold a weak
// character and the weak characters on their own, interleaved so that each
// weak character comes back several times and no word follows itself; at
// least `cells` characters long (when there is any weak character at all).
std::wstring BuildDrillText(std::span<const WeakChar> weak, const WordPool& pool, IRandom& random,
                            std::size_t cells = 406);

// --- the file itself ---

// The record file, per user. The Win32 one lives in %APPDATA%\Quorlax; tests
// use a double. No call throws.
struct IHistoryFile {
    virtual ~IHistoryFile() = default;
    struct Bytes {
        bool ok = false;       // false: the file exists but cannot be read
        bool fromTail = false; // the file was larger than the limit: these are its last bytes
        std::string bytes;     // empty when there is no file yet
    };
    // The whole file, or its last `limit` bytes.
    virtual Bytes Read(std::uint64_t limit) = 0;
    // Appends in one write, creating the folder and the file (with `header`
    // first) when missing; false when nothing was written.
    virtual bool Append(std::string_view header, std::string_view line) = 0;
    // Writes `bytes` as a new file, then puts it in place of the old one
    // atomically; false leaves the old file as it was.
    virtual bool Replace(std::string_view bytes) = 0;
    // Moves the file aside as the backup (an older backup is replaced);
    // false leaves it in place.
    virtual bool MoveAside() = 0;
};

// The record as the program uses it: appends a finished run (rewriting the
// file with the newest kHistoryKeep runs once it passes
// kHistoryCompactAbove), reads it back, and clears it. A failure is told once
// per session through the message box, and practice goes on; nothing already
// recorded is lost by a failed write.
class PracticeHistory {
public:
    PracticeHistory(IHistoryFile& file, IMessageBox& messages);
    // Appends one run (nothing for a run with no character typed).
    void Record(const RunRecord& run);
    // The runs recorded so far, read afresh from the file.
    HistoryContents Load();
    // Moves the file aside as the backup and starts afresh; false when it
    // could not be moved (told once).
    bool Clear();

private:
    // Shows `text` unless `told` already; a failure of each kind is told once.
    void Report(bool& told, std::wstring_view text);
    IHistoryFile& file_;
    IMessageBox& messages_;
    bool writeTold_ = false;     // a failed append, rewrite or clearing was told
    bool readTold_ = false;      // an unreadable or damaged file was told
    std::size_t knownRuns_ = 0;  // readable runs in the file, counted at the first append
    bool counted_ = false;
};

}  // namespace quorlax
