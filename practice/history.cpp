// The practice record's file format, its ranking, totals and drill text, and
// the record as the program uses it.
#include "practice/history.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <limits>
#include <map>
#include <unordered_map>

#include "core/utf8.h"
#include "platform/gbk.h"
#include "practice/record_fields.h"

namespace quorlax {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// The first column's name: a line that starts with it is the header.
constexpr std::string_view kFirstColumn = "时间\t";
constexpr int kColumns = 9;
constexpr int kMaxNumber = 1'000'000'000;  // longer numbers make a line unreadable

// "（在 C:\users\…\Quorlax 文件夹里）"
std::wstring In(std::wstring_view folder) { return L"（在 " + std::wstring(folder) + L" 文件夹里）"; }

std::wstring WriteFailed(std::wstring_view folder) {
    return L"无法写入练习记录文件 practice-history.tsv" + In(folder) +
           L"：\n它也许被别的程序占用，或者不可写。\n\n"
           L"这次练习先记在内存里，等文件能写入时再补记；以前的记录都还在。"
           L"练习可以照常继续；本次运行中不再提示。";
}
std::wstring ReadFailed(std::wstring_view folder) {
    return L"无法读取练习记录文件 practice-history.tsv" + In(folder) +
           L"：\n它也许被别的程序占用。练习可以照常继续；本次运行中不再提示。";
}
std::wstring ClearFailed(std::wstring_view folder) {
    return L"无法把练习记录文件 practice-history.tsv 移作 practice-history.bak" + In(folder) +
           L"：\n它也许被别的程序占用。记录保持原样。";
}
std::wstring SkippedLines(std::wstring_view folder, int lines) {
    return L"练习记录文件 practice-history.tsv" + In(folder) + L"中有 " + std::to_wstring(lines) +
           L" 行无法读取，已跳过；文件保持原样。\n本次运行中不再提示。";
}
std::wstring RewriteFailed(std::wstring_view folder) {
    return L"无法整理练习记录文件 practice-history.tsv" + In(folder) +
           L"：\n它也许被别的程序占用。新的练习照常记下，只是文件暂时比平常长；"
           L"本次运行中不再整理，也不再提示。";
}
std::wstring PendingKept(std::wstring_view folder) {
    return L"上次没能写入的练习已补记到 practice-history.tsv，但无法删除 practice-history.pending.tsv" +
           In(folder) + L"：\n请删除它，否则下次启动时其中的练习会再记一次。";
}
std::wstring RunsLost(std::wstring_view folder, std::size_t runs) {
    return L"无法写入练习记录文件 practice-history.tsv 和 practice-history.pending.tsv" + In(folder) +
           L"：\n本次运行中有 " + std::to_wstring(runs) + L" 次练习没能记下。";
}

std::string_view KindWord(RunKind kind) {
    switch (kind) {
        case RunKind::BuiltIn: return "builtin";
        case RunKind::Chosen: return "chosen";
        case RunKind::Drill: return "drill";
        case RunKind::Lesson: return "lesson";
    }
    return "builtin";
}

std::optional<RunKind> KindOf(std::string_view word) {
    if (word == "builtin") return RunKind::BuiltIn;
    if (word == "chosen") return RunKind::Chosen;
    if (word == "drill") return RunKind::Drill;
    if (word == "lesson") return RunKind::Lesson;
    return std::nullopt;
}

// A plain decimal number, 0..kMaxNumber, nothing else.
std::optional<int> Number(std::string_view s) {
    if (s.empty() || s.size() > 10) return std::nullopt;
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > kMaxNumber) return std::nullopt;
    return static_cast<int>(v);
}

// Digits at s[i..], at least `least` and at most `most` of them; nothing
// when there are fewer.
std::optional<int> Digits(std::wstring_view s, size_t& i, size_t least, size_t most) {
    int v = 0;
    size_t n = 0;
    while (i < s.size() && n < most && s[i] >= L'0' && s[i] <= L'9') {
        v = v * 10 + (s[i++] - L'0');
        ++n;
    }
    if (n < least) return std::nullopt;
    return v;
}

// The time as written, "2026-12-08 14:03:22", or as a spreadsheet writes it
// back ("2026/12/8 9:05", "2026-12-08 09:05"), as the former.
std::optional<std::wstring> NormalDateTime(std::wstring_view s) {
    size_t i = 0;
    const auto year = Digits(s, i, 4, 4);
    if (!year || i >= s.size() || (s[i] != L'-' && s[i] != L'/')) return std::nullopt;
    const wchar_t separator = s[i++];
    const auto month = Digits(s, i, 1, 2);
    if (!month || i >= s.size() || s[i++] != separator) return std::nullopt;
    const auto day = Digits(s, i, 1, 2);
    if (!day || i >= s.size() || s[i++] != L' ') return std::nullopt;
    const auto hour = Digits(s, i, 1, 2);
    if (!hour || i >= s.size() || s[i++] != L':') return std::nullopt;
    const auto minute = Digits(s, i, 2, 2);
    if (!minute) return std::nullopt;
    std::optional<int> second = 0;
    if (i < s.size() && s[i] == L':') second = Digits(s, ++i, 2, 2);
    if (!second || i != s.size()) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 59)
        return std::nullopt;
    wchar_t text[24];
    std::swprintf(text, 24, L"%04d-%02d-%02d %02d:%02d:%02d", *year, *month, *day, *hour, *minute, *second);
    return text;
}

// "错3 字1": each miss is its character and its count, separated by one
// blank. The character is always exactly one, so a blank or a digit that was
// missed reads back unambiguously.
std::optional<std::vector<Miss>> ParseMisses(std::wstring_view s) {
    std::vector<Miss> misses;
    size_t i = 0;
    while (i < s.size()) {
        if (!misses.empty()) {
            if (s[i] != L' ') return std::nullopt;
            ++i;
        }
        if (i >= s.size()) return std::nullopt;
        Miss m;
        m.ch = s[i++];
        if (m.ch < 0x20) return std::nullopt;
        const size_t start = i;
        std::int64_t count = 0;
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9' && i - start < 10)
            count = count * 10 + (s[i++] - L'0');
        if (i == start || count < 1 || count > kMaxNumber) return std::nullopt;
        m.count = static_cast<int>(std::min<std::int64_t>(count, kMaxRunChars));
        misses.push_back(m);
    }
    return misses;
}

bool ValidUtf8(std::string_view s) {
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) {
            ++i;
            continue;
        }
        const size_t n = b >= 0xC2 && b <= 0xDF   ? 2
                         : b >= 0xE0 && b <= 0xEF ? 3
                         : b >= 0xF0 && b <= 0xF4 ? 4
                                                  : 0;
        if (n == 0 || i + n > s.size()) return false;
        char32_t c = b & (0x7F >> n);
        for (size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            c = (c << 6) | (t & 0x3F);
        }
        if ((n == 3 && (c < 0x800 || IsSurrogate(c))) || (n == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        i += n;
    }
    return true;
}

// Bytes shaped as GBK: ASCII, or a lead byte 81..FE and a trail 40..FE
// (not 7F).
bool ShapedAsGbk(std::string_view s) {
    for (size_t i = 0; i < s.size(); ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b < 0x80) continue;
        if (b == 0x80 || b == 0xFF || i + 1 >= s.size()) return false;
        const auto t = static_cast<unsigned char>(s[++i]);
        if (t < 0x40 || t == 0x7F || t == 0xFF) return false;
    }
    return true;
}

// UTF-16 as UTF-8; a lone surrogate becomes U+FFFD, an odd last byte is dropped.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    auto unit = [&](size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
            unit(i + 2) <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
            i += 2;
        } else if (IsSurrogate(c)) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

// A spreadsheet's "Unicode text" is UTF-16 with a byte-order mark. A tail has
// none: there its many zero bytes (digits, tabs) tell, little-endian, and
// whether it starts on a character's second byte.
struct Utf16 {
    bool is = false, bigEndian = false;
    size_t from = 0;  // where its text starts
};
Utf16 SniffUtf16(std::string_view bytes, bool fromTail) {
    if (!fromTail) {
        if (bytes.starts_with("\xFF\xFE")) return {true, false, 2};
        if (bytes.starts_with("\xFE\xFF")) return {true, true, 2};
        return {};
    }
    size_t zeros[2] = {0, 0};
    const size_t n = std::min<size_t>(bytes.size(), 4096);
    for (size_t i = 0; i < n; ++i) zeros[i % 2] += bytes[i] == 0;
    if ((zeros[0] + zeros[1]) * 8 < n || n < 16) return {};
    return {true, false, zeros[0] > zeros[1] ? size_t{1} : size_t{0}};
}

// Calls `line` for each line of the file as UTF-8 (a line that is not is
// read as GBK, and passed as it is when it is neither), without its line end
// (LF, CR LF or CR) and after any byte-order marks; with `fromTail`, the
// first, partial line is dropped. Returns whether the file is UTF-16.
template <class F>
bool ForEachLine(std::string_view bytes, bool fromTail, F&& line) {
    const Utf16 utf16 = SniffUtf16(bytes, fromTail);
    std::string converted;
    std::string_view text = bytes;
    if (utf16.is) {
        converted = Utf16ToUtf8(bytes.substr(utf16.from), utf16.bigEndian);
        text = converted;
    }
    size_t pos = 0;
    if (fromTail) {
        const size_t end = text.find_first_of("\r\n");
        pos = end == std::string_view::npos ? text.size() : end + 1;
    } else {
        while (text.substr(pos, kBom.size()) == kBom) pos += kBom.size();
    }
    std::string gbk;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view l = text.substr(pos, end - pos);
        pos = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++pos;
        if (!ValidUtf8(l) && ShapedAsGbk(l)) {
            gbk = ToUtf8(DecodeGbk(l));
            l = gbk;
        }
        line(l);
    }
    return utf16.is;
}

bool IsHeader(std::string_view line) { return line.starts_with(kFirstColumn); }

// The lines of a file as UTF-8, each ending in "\n", with the header and empty
// lines left out; how many of them are runs.
struct Lines {
    std::string text;
    std::size_t runs = 0;
};
Lines NormalLines(std::string_view bytes, bool fromTail) {
    Lines lines;
    ForEachLine(bytes, fromTail, [&](std::string_view line) {
        if (line.empty() || IsHeader(line)) return;
        lines.text.append(line);
        lines.text += '\n';
        lines.runs += ParseRun(line).has_value();
    });
    return lines;
}

// Normal lines cut to their newest `keep` runs, after the header.
Lines Compact(const Lines& lines, std::size_t keep) {
    Lines out{HistoryHeader(), std::min(lines.runs, keep)};
    size_t from = lines.runs > keep ? lines.text.size() : 0;
    if (lines.runs > keep) {
        // The keep-th newest run's line and every line after it.
        size_t skip = lines.runs - keep;
        for (size_t pos = 0; pos < lines.text.size();) {
            const size_t end = lines.text.find('\n', pos);
            if (ParseRun(std::string_view(lines.text).substr(pos, end - pos)) && skip-- == 0) {
                from = pos;
                break;
            }
            pos = end + 1;
        }
    }
    out.text.append(lines.text, from);
    return out;
}

// An index into `items` for a random value in [0, 1).
size_t Pick(IRandom& random, size_t items) {
    const double r = random.Next();
    const auto i = static_cast<size_t>(r * static_cast<double>(items));
    return std::min(i, items - 1);
}

}  // namespace

std::string HistoryHeader() {
    // The mark tells spreadsheets that the file is UTF-8.
    return std::string(kBom) + "时间\t类型\t文件\t总字数\t正确数\t正确率(%)\t速度(字/分)\t用时(秒)\t错字\n";
}

std::string FormatRun(const RunRecord& run) {
    std::wstring file = run.file;
    for (wchar_t& c : file)
        if (c < 0x20) c = L' ';
    std::wstring misses;
    for (const Miss& m : run.misses) {
        if (m.ch < 0x20 || m.count < 1) continue;
        if (!misses.empty()) misses += L' ';
        misses += m.ch;
        misses += std::to_wstring(std::min(m.count, kMaxNumber));
    }
    std::string line = ToUtf8(run.when);
    line += '\t';
    line += KindWord(run.kind);
    line += '\t';
    line += ToUtf8(file);
    for (int n : {run.typed, run.correct, run.accuracy, run.speed, run.seconds}) {
        line += '\t';
        line += std::to_string(std::clamp(n, 0, kMaxNumber));
    }
    line += '\t';
    line += ToUtf8(misses);
    line += '\n';
    return line;
}

std::optional<RunRecord> ParseRun(std::string_view line) {
    const auto fields = SplitTabs(line);
    if (fields.size() != kColumns) return std::nullopt;
    RunRecord run;
    auto when = FromUtf8(fields[0]);
    if (!when) return std::nullopt;
    auto normal = NormalDateTime(*when);
    if (!normal) return std::nullopt;
    run.when = std::move(*normal);
    auto kind = KindOf(fields[1]);
    if (!kind) return std::nullopt;
    run.kind = *kind;
    auto file = FromUtf8(fields[2]);
    if (!file) return std::nullopt;
    run.file = std::move(*file);
    for (wchar_t& c : run.file)
        if (c < 0x20) c = L' ';  // as a line is written
    int* numbers[] = {&run.typed, &run.correct, &run.accuracy, &run.speed, &run.seconds};
    for (int i = 0; i < 5; ++i) {
        auto n = Number(fields[3 + i]);
        if (!n) return std::nullopt;
        *numbers[i] = *n;
    }
    auto misses = FromUtf8(fields[8]);
    if (!misses) return std::nullopt;
    auto parsed = ParseMisses(*misses);
    if (!parsed) return std::nullopt;
    run.misses = std::move(*parsed);
    // No more than a run of this program can hold: sums stay small.
    run.typed = std::min(run.typed, kMaxRunChars);
    run.correct = std::min(run.correct, run.typed);
    run.accuracy = std::min(run.accuracy, 100);
    run.speed = std::min(run.speed, kMaxRunSpeed);
    run.seconds = std::min(run.seconds, kMaxRunSeconds);
    return run;
}

HistoryContents ParseHistory(std::string_view bytes, bool fromTail) {
    HistoryContents contents;
    contents.utf16 = ForEachLine(bytes, fromTail, [&](std::string_view line) {
        if (line.empty() || IsHeader(line)) return;
        if (auto run = ParseRun(line)) {
            contents.runs.push_back(std::move(*run));
        } else {
            ++contents.skipped;
        }
    });
    return contents;
}

std::string CompactHistory(std::string_view bytes, bool fromTail, std::size_t keep) {
    return Compact(NormalLines(bytes, fromTail), keep).text;
}

std::wstring LocalDateTimeNow() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return L"1970-01-01 00:00:00";
    wchar_t text[32];
    std::wcsftime(text, 32, L"%Y-%m-%d %H:%M:%S", local);
    return text;
}

std::vector<WeakChar> WeakestChars(std::span<const RunRecord> runs, std::size_t window, std::size_t top) {
    struct Tally {
        std::int64_t misses = 0;  // each count is bounded, not how often a line may list it
        size_t newest = 0;        // index of the newest run that missed it
    };
    std::unordered_map<wchar_t, Tally> tally;
    const size_t first = runs.size() > window ? runs.size() - window : 0;
    for (size_t i = first; i < runs.size(); ++i) {
        for (const Miss& m : runs[i].misses) {
            if (m.count < 1) continue;
            Tally& t = tally[m.ch];
            t.misses += m.count;
            t.newest = i;
        }
    }
    std::vector<std::pair<wchar_t, Tally>> ranked(tally.begin(), tally.end());
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        if (a.second.misses != b.second.misses) return a.second.misses > b.second.misses;
        if (a.second.newest != b.second.newest) return a.second.newest > b.second.newest;
        return a.first < b.first;
    });
    if (ranked.size() > top) ranked.resize(top);
    std::vector<WeakChar> weak;
    weak.reserve(ranked.size());
    for (const auto& [ch, t] : ranked) {
        const auto misses =
            static_cast<int>(std::min<std::int64_t>(t.misses, std::numeric_limits<int>::max()));
        weak.push_back({ch, misses, runs[t.newest].when});
    }
    return weak;
}

HistoryTotals Totals(std::span<const RunRecord> runs) {
    HistoryTotals t;
    t.runs = static_cast<int>(runs.size());
    for (const RunRecord& r : runs) {
        t.typed += r.typed;
        t.seconds += r.seconds;
        t.bestSpeed = std::max(t.bestSpeed, r.speed);
    }
    auto average = [&](size_t from, size_t to, int& count, double& mean) {
        count = static_cast<int>(to - from);
        if (count == 0) return;
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += runs[i].speed;
        mean = sum / count;
    };
    const size_t n = runs.size();
    const size_t recentFrom = n > 10 ? n - 10 : 0;
    const size_t previousFrom = recentFrom > 10 ? recentFrom - 10 : 0;
    average(recentFrom, n, t.recentRuns, t.recentAverage);
    average(previousFrom, recentFrom, t.previousRuns, t.previousAverage);
    return t;
}

std::wstring BuildDrillText(std::span<const WeakChar> weak, const WordPool& pool, IRandom& random,
                            std::size_t cells) {
    if (weak.empty()) return {};
    constexpr size_t kWordsPerChar = 24;  // enough variety for one grid
    // What can stand for each weak character: itself, then pool words that
    // hold it (a word holding two weak characters serves both). The pool's
    // other words make up the rest of the text.
    std::vector<std::vector<std::wstring>> options(weak.size());
    std::vector<std::wstring_view> others;
    std::unordered_map<wchar_t, size_t> index;
    for (size_t i = 0; i < weak.size(); ++i) {
        options[i].push_back(std::wstring(1, weak[i].ch));
        index.emplace(weak[i].ch, i);
    }
    const size_t n = pool.Length();
    for (size_t pos = 1; pos + 1 <= n; ++pos) {
        if (pool.ClassAt(pos) != CharClass::Narrow || pool.ClassAt(pos + 1) != CharClass::Wide) continue;
        size_t len = 1;
        while (len <= 4 && pool.ClassAt(pos + 1 + len) == CharClass::Wide) ++len;
        if (len > 4 || pool.ClassAt(pos + 1 + len) != CharClass::Narrow) continue;
        const std::wstring_view word(pool.Text().data() + pos, len);
        bool weakWord = false;
        for (wchar_t c : word) {
            auto it = index.find(c);
            if (it == index.end()) continue;
            weakWord = true;
            auto& list = options[it->second];
            if (list.size() <= kWordsPerChar && std::find(list.begin(), list.end(), word) == list.end())
                list.emplace_back(word);
        }
        if (!weakWord) others.push_back(word);
    }

    // No character more than a quarter of the text: the text is at least
    // `cells` long, so a quarter of that is room enough.
    const size_t quota = std::max<size_t>(1, cells / 4);
    std::unordered_map<wchar_t, size_t> count;
    auto fits = [&](std::wstring_view piece) {
        return std::all_of(piece.begin(), piece.end(), [&](wchar_t c) {
            return count[c] + static_cast<size_t>(std::count(piece.begin(), piece.end(), c)) <= quota;
        });
    };
    size_t length = 0;
    auto take = [&](std::wstring_view piece, std::vector<std::wstring_view>& into) {
        for (wchar_t c : piece) ++count[c];
        into.push_back(piece);
        length += piece.size();
    };
    // One piece for weak character i, never the piece just written (unless
    // it is all there is); with `room`, only one that fits the quota.
    std::vector<std::wstring_view> drill;
    std::wstring_view last;
    auto drillPiece = [&](size_t i, bool room) {
        const auto& list = options[i];
        size_t k = Pick(random, list.size());
        if (list[k] == last && list.size() > 1) k = (k + 1 + Pick(random, list.size() - 1)) % list.size();
        for (size_t step = 0; step < list.size(); ++step) {
            const std::wstring_view piece = list[(k + step) % list.size()];
            if ((piece == last && list.size() > 1) || (room && !fits(piece))) continue;
            take(piece, drill);
            last = piece;
            return true;
        }
        return false;
    };
    // Round after round, each weak character once, by a word or on its own,
    // while it has room.
    for (bool any = true; any && length < cells;) {
        any = false;
        for (size_t i = 0; i < options.size(); ++i) any = drillPiece(i, true) || any;
    }
    // Other words of the pool fill the rest, each within the quota.
    std::vector<std::wstring_view> filling;
    std::wstring_view lastOther;
    for (size_t failed = 0; length < cells && !others.empty() && failed < 4 * cells;) {
        const std::wstring_view word = others[Pick(random, others.size())];
        if (word == lastOther || !fits(word)) {
            ++failed;
            continue;
        }
        take(word, filling);
        lastOther = word;
    }
    // A pool without enough other words: the weak characters fill up.
    while (length < cells)
        for (size_t i = 0; i < options.size(); ++i) drillPiece(i, false);

    // Both mixed evenly: the list further behind its share goes next.
    std::wstring text;
    text.reserve(length);
    for (size_t d = 0, f = 0; d < drill.size() || f < filling.size();) {
        if (f == filling.size() || (d < drill.size() && d * filling.size() <= f * drill.size())) {
            text += drill[d++];
        } else {
            text += filling[f++];
        }
    }
    return text;
}

PracticeHistory::PracticeHistory(IRecordFile& file, IMessageBox& messages)
    : file_(file), messages_(messages) {}

void PracticeHistory::Report(bool& told, std::wstring_view text) {
    if (told || quiet_) return;
    told = true;
    messages_.Show(text);
}

std::wstring PracticeHistory::Where() {
    std::wstring folder = file_.Folder();
    return folder.empty() ? L"%APPDATA%\\Quorlax" : folder;
}

void PracticeHistory::Note(const IRecordFile::Bytes& bytes, const HistoryContents& contents) {
    knownRuns_ = contents.runs.size();
    // A file larger than the limit is rewritten at the next run.
    if (bytes.fromTail) knownRuns_ = std::max(knownRuns_, kHistoryCompactAbove);
    utf16_ = contents.utf16;
    counted_ = true;
}

void PracticeHistory::Count() {
    if (counted_) return;
    IRecordFile::Bytes bytes = file_.Read(kHistoryReadLimit);
    if (bytes.ok) Note(bytes, ParseHistory(bytes.bytes, bytes.fromTail));
}

bool PracticeHistory::Rewrite(std::string_view lines) {
    IRecordFile::Bytes bytes = file_.Read(kHistoryReadLimit);
    if (!bytes.ok) return false;
    Lines all = NormalLines(bytes.bytes, bytes.fromTail);
    all.text.append(lines);
    all.runs += NormalLines(lines, false).runs;
    Lines kept = Compact(all, kHistoryKeep);
    if (!file_.Replace(kept.text)) return false;
    knownRuns_ = kept.runs;
    utf16_ = false;
    return true;
}

bool PracticeHistory::WriteUnwritten() {
    // The pending file's runs are older than this session's: they go first.
    Lines lines;
    bool fromPending = false;
    if (!pendingTaken_) {
        IRecordFile::Bytes pending = file_.ReadPending();
        if (pending.ok) {
            lines = NormalLines(pending.bytes, pending.fromTail);
            fromPending = !lines.text.empty();
            if (!fromPending) pendingTaken_ = true;
        }
    }
    for (const std::string& line : unwritten_) lines.text += line;
    lines.runs += unwritten_.size();
    if (lines.text.empty()) return true;
    Count();

    // UTF-8 lines cannot be appended to a UTF-16 file: it is rewritten in
    // UTF-8. A failed rewrite for length is told once and not tried again
    // this session: the file only grows meanwhile.
    bool written = false;
    if (counted_ && (utf16_ || (!rewriteGivenUp_ && knownRuns_ + lines.runs > kHistoryCompactAbove))) {
        written = Rewrite(lines.text);
        if (!written && !utf16_) {
            rewriteGivenUp_ = true;
            Report(rewriteTold_, RewriteFailed(Where()));
        }
    }
    if (!written && !utf16_) {
        written = file_.Append(HistoryHeader(), lines.text);
        if (written) knownRuns_ += lines.runs;
    }
    if (!written) return false;
    unwritten_.clear();
    if (fromPending) {
        pendingTaken_ = true;
        if (!file_.RemovePending()) Report(pendingTold_, PendingKept(Where()));
    }
    return true;
}

void PracticeHistory::Record(const RunRecord& run) {
    if (run.typed <= 0 && run.misses.empty()) return;
    unwritten_.push_back(FormatRun(run));
    // What the file holds of it, as a reading would give it back.
    if (read_)
        if (auto kept = ParseRun(std::string_view(unwritten_.back()).substr(0, unwritten_.back().size() - 1)))
            runs_.runs.push_back(std::move(*kept));
    if (!WriteUnwritten()) Report(writeTold_, WriteFailed(Where()));
}

HistoryContents PracticeHistory::Load() {
    // The first use of the record takes in what the last session left.
    if (!pendingTaken_ || !unwritten_.empty()) WriteUnwritten();
    IRecordFile::Bytes bytes = file_.Read(kHistoryReadLimit);
    HistoryContents contents;
    if (bytes.ok) {
        contents = ParseHistory(bytes.bytes, bytes.fromTail);
        Note(bytes, contents);
        if (contents.skipped > 0) Report(readTold_, SkippedLines(Where(), contents.skipped));
    } else {
        Report(readTold_, ReadFailed(Where()));
    }
    for (const std::string& line : unwritten_)
        if (auto run = ParseRun(std::string_view(line).substr(0, line.size() - 1)))
            contents.runs.push_back(std::move(*run));
    return contents;
}

const HistoryContents& PracticeHistory::Runs() {
    if (!read_) {
        runs_ = Load();
        read_ = true;
    }
    return runs_;
}

bool PracticeHistory::Clear() {
    WriteUnwritten();  // what is not written yet belongs to the record cleared
    if (!file_.MoveAside()) {
        Report(writeTold_, ClearFailed(Where()));
        return false;
    }
    knownRuns_ = 0;
    counted_ = true;
    runs_ = {};
    utf16_ = false;
    rewriteGivenUp_ = false;
    return true;
}

void PracticeHistory::AtExit() {
    if (unwritten_.empty() || WriteUnwritten()) return;
    std::string lines;
    for (const std::string& line : unwritten_) lines += line;
    const std::size_t runs = unwritten_.size();
    unwritten_.clear();
    if (!file_.AppendPending(HistoryHeader(), lines)) Report(lostTold_, RunsLost(Where(), runs));
}

}  // namespace quorlax
