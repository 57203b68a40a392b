// The practice record: every finished practice run as one line of a
// tab-separated UTF-8 file, read back for the record window, the ranking of
// the weakest characters and the drill built from them. Portable: the file
// itself is reached through IRecordFile.
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
#include "practice/char_record.h"
#include "practice/record_file.h"

namespace quorlax {

inline constexpr wchar_t kRecordWindowTitle[] = L"练习记录";
inline constexpr wchar_t kNoMissesYet[] = L"还没有错字记录，请先做几次练习。";
inline constexpr std::size_t kHistoryCompactAbove = 11000;       // runs; past this the file is rewritten
inline constexpr std::size_t kHistoryKeep = 10000;               // the newest runs a rewrite keeps
inline constexpr std::uint64_t kHistoryReadLimit = kRecordReadLimit;
inline constexpr std::size_t kChartRuns = 100;                   // runs the record window's chart shows
inline constexpr std::size_t kRankingRuns = 200;  // runs the weakest characters are ranked over
inline constexpr std::size_t kWeakestShown = 20;  // weakest characters listed and drilled
// What a line may claim at most; larger values are read as these. No run of
// this program comes near them (a grid holds 406 characters), and sums over
// any file stay far from overflowing.
inline constexpr int kMaxRunChars = 1'000'000;  // 总字数, 正确数, and each character's misses
inline constexpr int kMaxRunSpeed = 2000;       // 字/分
inline constexpr int kMaxRunSeconds = 1'000'000;

enum class RunKind { BuiltIn, Chosen, Drill, Lesson };

// One expected character typed wrong in a run, and how many times.
struct Miss {
    wchar_t ch = 0;
    int count = 0;
    bool operator==(const Miss&) const = default;
};

// One finished practice run, as the panel showed it at its end.
struct RunRecord {
    std::wstring when;  // local date and time, "2026-12-08 14:03:22"
    RunKind kind = RunKind::BuiltIn;
    std::wstring file;         // a chosen file's name without its folder; empty otherwise
    int typed = 0;             // characters typed (总字数)
    int correct = 0;           // characters typed correctly (正确数)
    int accuracy = 0;          // 正确率 in percent, as shown
    int speed = 0;             // 速度 in characters per minute, as shown
    int seconds = 0;           // seconds practised
    std::vector<Miss> misses;  // most missed first
    // Every character typed, in order, with its time: what the per-character
    // record learns from. The history file keeps only the misses.
    std::vector<Attempt> attempts;
    bool operator==(const RunRecord&) const = default;
};

// --- the file's text ---

// The header line, ending in "\n".
std::string HistoryHeader();
// One run as one line of UTF-8, ending in "\n". Tabs and line ends in a
// file name become blanks, so a line always has its columns.
std::string FormatRun(const RunRecord& run);
// A line of UTF-8 (without its line end) back into a run; nothing when it
// cannot be read. The time may also be as a spreadsheet writes it back
// ("2026/12/8 9:05", "2026-12-08 09:05"): the run holds it as
// "2026-12-08 09:05:00". Numbers past the kMaxRun... bounds read as the bound.
std::optional<RunRecord> ParseRun(std::string_view line);

struct HistoryContents {
    std::vector<RunRecord> runs;  // oldest first
    int skipped = 0;              // lines that could not be read (kept in the file)
    bool utf16 = false;           // the file is UTF-16 (a spreadsheet's "Unicode text")
};
// The runs of a whole file, or of its tail when `fromTail` (the first,
// partial line is then dropped without counting). The header and empty
// lines are not runs and not skipped. Besides the file as written, reads it
// as a spreadsheet saves it back: UTF-16 with its byte-order mark, GBK lines
// (a line that is not UTF-8), lines ending in CR LF or CR alone, and any
// number of byte-order marks at the start.
HistoryContents ParseHistory(std::string_view bytes, bool fromTail);
// The file rewritten in UTF-8 with its newest `keep` runs: the header, then,
// when it holds more, every line from the keep-th newest readable run on
// (lines that cannot be read among them stay); else every line.
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
// weak character comes back several times and no word follows itself, with
// other words of the pool mixed in so that no character fills more than a
// quarter of the text (given a pool of ordinary size); at least `cells`
// characters long (when there is any weak character at all).
std::wstring BuildDrillText(std::span<const WeakChar> weak, const WordPool& pool, IRandom& random,
                            std::size_t cells = 406);

// The record as the program uses it: appends a finished run (rewriting the
// file with the newest kHistoryKeep readable runs once it passes
// kHistoryCompactAbove, or when a spreadsheet saved it as UTF-16), reads it
// back, and clears it. A failure is told once per session through the
// message box, and practice goes on; nothing already recorded is lost by a
// failed write, and a run that could not be written is kept and written with
// the next write that succeeds.
class PracticeHistory {
public:
    PracticeHistory(IRecordFile& file, IMessageBox& messages);
    // Appends one run (nothing for a run with no character typed).
    void Record(const RunRecord& run);
    // The runs recorded so far, read afresh from the file, with those not
    // written yet after them.
    HistoryContents Load();
    // The same, read once and then kept: the runs recorded since are added,
    // a clearing empties it.
    const HistoryContents& Runs();
    // Moves the file aside as the backup and starts afresh; false when it
    // could not be moved (told once).
    bool Clear();
    // The program ends: runs not written yet go to the record, or, while it
    // still cannot be written, to the pending file, which the first use of
    // the record at the next start appends to it.
    void AtExit();
    // Nothing is told from now on: the Windows session is ending, and a
    // message box would hold up the logoff.
    void Quiet() { quiet_ = true; }

private:
    // The file's readable runs, counted once it can be read.
    void Count();
    void Note(const IRecordFile::Bytes& bytes, const HistoryContents& contents);
    // Writes the pending file's runs, then the unwritten ones, in order;
    // false when they could not be written.
    bool WriteUnwritten();
    // The file rewritten with `lines` at its end; false leaves it as it was.
    bool Rewrite(std::string_view lines);
    // Shows `text` unless `told` already or quiet; each kind is told once.
    void Report(bool& told, std::wstring_view text);
    // The folder as the messages name it.
    std::wstring Where();

    IRecordFile& file_;
    IMessageBox& messages_;
    std::vector<std::string> unwritten_;  // lines of runs not in the file yet, oldest first
    std::size_t knownRuns_ = 0;           // readable runs in the file, once counted
    bool counted_ = false;
    bool utf16_ = false;           // the file is UTF-16: the next write rewrites it in UTF-8
    bool pendingTaken_ = false;    // the pending file was taken in, or there was none
    bool rewriteGivenUp_ = false;  // a rewrite failed: not tried again this session
    bool quiet_ = false;
    HistoryContents runs_;  // Runs(), once read
    bool read_ = false;
    bool writeTold_ = false;    // a failed append or clearing was told
    bool readTold_ = false;     // an unreadable or damaged file was told
    bool rewriteTold_ = false;  // a failed rewrite was told
    bool pendingTold_ = false;  // a pending file that could not be removed was told
    bool lostTold_ = false;     // runs lost at exit were told
};

}  // namespace quorlax
