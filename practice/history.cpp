// The practice record's file format, its ranking, totals and drill text, and
// the record as the program uses it.
#include "practice/history.h"

#include <algorithm>
#include <ctime>
#include <map>
#include <unordered_map>

namespace quorlax {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
// The first column's name: a line that starts with it is the header.
constexpr std::string_view kFirstColumn = "时间\t";
constexpr int kColumns = 9;
constexpr int kMaxNumber = 1'000'000'000;  // larger counts are no run of this program

constexpr wchar_t kWriteFailed[] =
    L"无法写入练习记录文件 practice-history.tsv（在 %APPDATA%\\Quorlax 文件夹里）：\n"
    L"它也许被别的程序占用，或者不可写。\n\n"
    L"这次练习没有记下，以前的记录都还在。练习可以照常继续；本次运行中不再提示。";
constexpr wchar_t kReadFailed[] =
    L"无法读取练习记录文件 practice-history.tsv（在 %APPDATA%\\Quorlax 文件夹里）：\n"
    L"它也许被别的程序占用。练习可以照常继续；本次运行中不再提示。";
constexpr wchar_t kClearFailed[] =
    L"无法把练习记录文件 practice-history.tsv 移作 practice-history.bak（在 %APPDATA%\\Quorlax 文件夹里）：\n"
    L"它也许被别的程序占用。记录保持原样。";

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Wide text as UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
            ++i;
        } else if (IsSurrogate(c) || c > 0x10FFFF) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

void AppendWide(std::wstring& out, char32_t c) {
    if (c >= 0x10000 && sizeof(wchar_t) == 2) {
        c -= 0x10000;
        out += static_cast<wchar_t>(0xD800 + (c >> 10));
        out += static_cast<wchar_t>(0xDC00 + (c & 0x3FF));
    } else {
        out += static_cast<wchar_t>(c);
    }
}

// Strict UTF-8 to wide text; nothing for a broken sequence.
std::optional<std::wstring> FromUtf8(std::string_view s) {
    std::wstring out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        char32_t c;
        size_t n;
        if (b < 0x80) {
            c = b;
            n = 1;
        } else if (b >= 0xC2 && b <= 0xDF) {
            c = b & 0x1F;
            n = 2;
        } else if (b >= 0xE0 && b <= 0xEF) {
            c = b & 0x0F;
            n = 3;
        } else if (b >= 0xF0 && b <= 0xF4) {
            c = b & 0x07;
            n = 4;
        } else {
            return std::nullopt;
        }
        if (i + n > s.size()) return std::nullopt;
        for (size_t k = 1; k < n; ++k) {
            const auto t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return std::nullopt;
            c = (c << 6) | (t & 0x3F);
        }
        const char32_t least = n == 2 ? 0x80 : n == 3 ? 0x800 : 0x10000;
        if (n > 1 && (c < least || c > 0x10FFFF || IsSurrogate(c))) return std::nullopt;
        AppendWide(out, c);
        i += n;
    }
    return out;
}

std::string_view KindWord(RunKind kind) {
    switch (kind) {
        case RunKind::BuiltIn: return "builtin";
        case RunKind::Chosen: return "chosen";
        case RunKind::Drill: return "drill";
    }
    return "builtin";
}

std::optional<RunKind> KindOf(std::string_view word) {
    if (word == "builtin") return RunKind::BuiltIn;
    if (word == "chosen") return RunKind::Chosen;
    if (word == "drill") return RunKind::Drill;
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

// "2026-12-08 14:03:22"
bool IsDateTime(std::wstring_view s) {
    static constexpr std::wstring_view kShape = L"0000-00-00 00:00:00";
    if (s.size() != kShape.size()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        if (kShape[i] == L'0' ? (s[i] < L'0' || s[i] > L'9') : s[i] != kShape[i]) return false;
    }
    return true;
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
        while (i < s.size() && s[i] >= L'0' && s[i] <= L'9' && i - start < 10) count = count * 10 + (s[i++] - L'0');
        if (i == start || count < 1 || count > kMaxNumber) return std::nullopt;
        m.count = static_cast<int>(count);
        misses.push_back(m);
    }
    return misses;
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t tab = line.find('\t', start);
        if (tab == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// Calls `line` for each line of the file (without its "\n" and a final
// "\r"), after the byte-order mark; with `fromTail`, the first, partial line
// is dropped.
template <class F>
void ForEachLine(std::string_view bytes, bool fromTail, F&& line) {
    size_t pos = 0;
    if (fromTail) {
        const size_t nl = bytes.find('\n');
        pos = nl == std::string_view::npos ? bytes.size() : nl + 1;
    } else if (bytes.substr(0, kBom.size()) == kBom) {
        pos = kBom.size();
    }
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        const size_t next = end == std::string_view::npos ? bytes.size() : end + 1;
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view l = bytes.substr(pos, end - pos);
        if (!l.empty() && l.back() == '\r') l.remove_suffix(1);
        line(l, pos);
        pos = next;
    }
}

bool IsHeader(std::string_view line) { return line.substr(0, kFirstColumn.size()) == kFirstColumn; }

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
        misses += std::to_wstring(m.count);
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
    if (!when || !IsDateTime(*when)) return std::nullopt;
    run.when = std::move(*when);
    auto kind = KindOf(fields[1]);
    if (!kind) return std::nullopt;
    run.kind = *kind;
    auto file = FromUtf8(fields[2]);
    if (!file) return std::nullopt;
    run.file = std::move(*file);
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
    return run;
}

HistoryContents ParseHistory(std::string_view bytes, bool fromTail) {
    HistoryContents contents;
    ForEachLine(bytes, fromTail, [&](std::string_view line, size_t) {
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
    // Where each readable run starts; the kept part begins at the keep-th
    // newest, with every line after it, readable or not.
    std::vector<size_t> starts;
    ForEachLine(bytes, fromTail, [&](std::string_view line, size_t at) {
        if (!line.empty() && !IsHeader(line) && ParseRun(line)) starts.push_back(at);
    });
    std::string out = HistoryHeader();
    if (starts.empty() || keep == 0) return out;
    const size_t from = starts.size() > keep ? starts[starts.size() - keep] : starts.front();
    out.append(bytes.substr(from));
    if (out.back() != '\n') out += '\n';
    return out;
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
        int misses = 0;
        size_t newest = 0;  // index of the newest run that missed it
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
    for (const auto& [ch, t] : ranked) weak.push_back({ch, t.misses, runs[t.newest].when});
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
    // hold it (a word holding two weak characters serves both).
    std::vector<std::vector<std::wstring>> options(weak.size());
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
        for (wchar_t c : word) {
            auto it = index.find(c);
            if (it == index.end()) continue;
            auto& list = options[it->second];
            if (list.size() <= kWordsPerChar && std::find(list.begin(), list.end(), word) == list.end())
                list.emplace_back(word);
        }
    }
    // Round after round, each weak character once, by a word or on its own;
    // never the piece just written.
    std::wstring text;
    std::wstring_view last;
    while (text.size() < cells) {
        for (const auto& list : options) {
            size_t k = Pick(random, list.size());
            if (list[k] == last && list.size() > 1) k = (k + 1 + Pick(random, list.size() - 1)) % list.size();
            text += list[k];
            last = list[k];
        }
    }
    return text;
}

PracticeHistory::PracticeHistory(IHistoryFile& file, IMessageBox& messages) : file_(file), messages_(messages) {}

void PracticeHistory::Report(bool& told, std::wstring_view text) {
    if (told) return;
    told = true;
    messages_.Show(text);
}

void PracticeHistory::Record(const RunRecord& run) {
    if (run.typed <= 0 && run.misses.empty()) return;
    if (!counted_) {
        // The first run of the session counts what the file holds, so that
        // it is rewritten once it passes the limit.
        IHistoryFile::Bytes bytes = file_.Read(kHistoryReadLimit);
        if (bytes.ok) {
            knownRuns_ = ParseHistory(bytes.bytes, bytes.fromTail).runs.size();
            if (bytes.fromTail) knownRuns_ = std::max(knownRuns_, kHistoryCompactAbove);
            counted_ = true;
        }
    }
    if (!file_.Append(HistoryHeader(), FormatRun(run))) {
        Report(writeTold_, kWriteFailed);
        return;
    }
    ++knownRuns_;
    if (counted_ && knownRuns_ > kHistoryCompactAbove) {
        IHistoryFile::Bytes bytes = file_.Read(kHistoryReadLimit);
        if (!bytes.ok) return;  // tried again after the next run
        // A failed rewrite leaves the old file whole; it is tried again.
        if (file_.Replace(CompactHistory(bytes.bytes, bytes.fromTail, kHistoryKeep))) knownRuns_ = kHistoryKeep;
    }
}

HistoryContents PracticeHistory::Load() {
    IHistoryFile::Bytes bytes = file_.Read(kHistoryReadLimit);
    if (!bytes.ok) {
        Report(readTold_, kReadFailed);
        return {};
    }
    HistoryContents contents = ParseHistory(bytes.bytes, bytes.fromTail);
    if (contents.skipped > 0)
        Report(readTold_, L"练习记录文件 practice-history.tsv（在 %APPDATA%\\Quorlax 文件夹里）中有 " +
                              std::to_wstring(contents.skipped) +
                              L" 行无法读取，已跳过；文件保持原样。\n本次运行中不再提示。");
    if (!bytes.fromTail) {
        knownRuns_ = contents.runs.size();
        counted_ = true;
    }
    return contents;
}

bool PracticeHistory::Clear() {
    if (!file_.MoveAside()) {
        Report(writeTold_, kClearFailed);
        return false;
    }
    knownRuns_ = 0;
    counted_ = true;
    return true;
}

}  // namespace quorlax
