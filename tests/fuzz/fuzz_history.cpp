// Fuzz target: the practice record file holding any bytes (hand-edited, or
// saved back by a spreadsheet): read whole and from its tail, rewritten, the
// ranking, the totals, the drill built from it and the record window's
// figures; and a run recorded on it, at once and through the pending file.
// The same bytes as the per-character record in the window's list, and as
// the code mode's key record: read, written and read back.
//
// Input: byte 0 says how (bit 0: read as a tail; bits 1-2: the runs a
// rewrite keeps, 0, 1, 2 or all), the rest is the file.
#include <algorithm>
#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "practice/history.h"
#include "practice/record_form.h"
#include "support/fakes.h"

namespace {

using namespace quorlax;

// Uniform values in [0, 1) from a fixed seed, so that a saved input replays.
struct SeededRandom final : IRandom {
    explicit SeededRandom(std::uint32_t seed) : state(seed * 2654435761u + 1) {}
    double Next() override {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<double>(state >> 11) / 9007199254740992.0;
    }
    std::uint64_t state;
};

// A word pool of ordinary size for the drill, and a few codes for the record.
const WordPool& Pool() {
    static const WordPool pool(
        L" 中国 人民 我们 世界 的 一 中心 国家 时间 学习 工作 问题 发展 社会 经济 文化 历史 生活 "
        L"自然 科学 技术 方法 组织 关系 政府 城市 农村 地方 朋友 孩子 学生 老师 医院 银行 电话 "
        L"电脑 音乐 电影 新闻 天气 早上 晚上 今天 明天 昨天 春天 夏天 秋天 冬天 山水 河流 森林 ");
    return pool;
}
constexpr std::wstring_view kCodeTable = L"中khk 国lgyi 错qaj 字pbf ";

bool Canonical(std::wstring_view when) {
    static constexpr std::wstring_view kShape = L"0000-00-00 00:00:00";
    if (when.size() != kShape.size()) return false;
    for (std::size_t i = 0; i < when.size(); ++i)
        if (kShape[i] == L'0' ? (when[i] < L'0' || when[i] > L'9') : when[i] != kShape[i]) return false;
    return true;
}

void CheckRuns(const HistoryContents& c) {
    for (const RunRecord& r : c.runs) {
        FUZZ_CHECK(Canonical(r.when));
        FUZZ_CHECK(r.typed >= 0 && r.typed <= kMaxRunChars);
        FUZZ_CHECK(r.correct >= 0 && r.correct <= r.typed);
        FUZZ_CHECK(r.accuracy >= 0 && r.accuracy <= 100);
        FUZZ_CHECK(r.speed >= 0 && r.speed <= kMaxRunSpeed);
        FUZZ_CHECK(r.seconds >= 0 && r.seconds <= kMaxRunSeconds);
        for (const Miss& m : r.misses) FUZZ_CHECK(m.ch >= 0x20 && m.count >= 1 && m.count <= kMaxRunChars);
        // A run read back is written and read again the same.
        const std::string line = FormatRun(r);
        const auto again = ParseRun(std::string_view(line).substr(0, line.size() - 1));
        FUZZ_CHECK(again && *again == r);
    }
}

std::vector<RunRecord> Newest(std::vector<RunRecord> runs, std::size_t keep) {
    if (runs.size() > keep) runs.erase(runs.begin(), runs.end() - static_cast<std::ptrdiff_t>(keep));
    return runs;
}

void CheckFigures(const HistoryContents& c, std::uint32_t seed) {
    const std::vector<WeakChar> weak = WeakestChars(c.runs);
    FUZZ_CHECK(weak.size() <= kWeakestShown);
    for (std::size_t i = 0; i < weak.size(); ++i) {
        FUZZ_CHECK(weak[i].misses > 0);
        if (i > 0) FUZZ_CHECK(weak[i - 1].misses >= weak[i].misses);
    }
    const HistoryTotals t = Totals(c.runs);
    FUZZ_CHECK(t.runs == static_cast<int>(c.runs.size()));
    FUZZ_CHECK(t.typed >= 0 && t.typed <= static_cast<std::int64_t>(c.runs.size()) * kMaxRunChars);
    FUZZ_CHECK(t.seconds >= 0 && t.bestSpeed >= 0 && t.bestSpeed <= kMaxRunSpeed);
    FUZZ_CHECK(t.recentAverage >= 0 && t.recentAverage <= kMaxRunSpeed);

    SeededRandom random(seed);
    const std::wstring drill = BuildDrillText(weak, Pool(), random);
    FUZZ_CHECK(weak.empty() ? drill.empty() : drill.size() >= 406);
    std::map<wchar_t, std::size_t> count;
    for (wchar_t ch : drill) ++count[ch];
    for (const auto& [ch, n] : count) FUZZ_CHECK(4 * n <= drill.size());
    for (const WeakChar& w : weak) FUZZ_CHECK(count[w.ch] > 0);

    const auto kind = static_cast<ChartKind>((seed >> 3) % kChartKinds);
    const RecordView view = BuildRecordView(c, kind);
    FUZZ_CHECK(view.empty == c.runs.empty());
    const auto plotted =
        static_cast<std::size_t>(std::count_if(c.runs.begin(), c.runs.end(), [&](const RunRecord& r) {
            return r.typed >= kPlotFromChars &&
                   (kind == ChartKind::All || static_cast<int>(r.kind) + 1 == static_cast<int>(kind));
        }));
    FUZZ_CHECK(view.chart.Runs() == std::min(plotted, kChartRuns));
    FUZZ_CHECK(view.chart.average.size() == view.chart.Runs());
    for (std::size_t i = 0; i < view.chart.Runs(); ++i)
        FUZZ_CHECK(view.chart.speed[i] <= view.chart.speedTop &&
                   view.chart.average[i] <= view.chart.speedTop);
}

// A run recorded on the file: appended, or the file rewritten (a UTF-16 one)
// with the old one kept beside; the same through the pending file when the
// record is held until the program ends.
void CheckRecord(const std::string& file, const std::vector<RunRecord>& before) {
    RunRecord run;
    run.when = L"2026-12-08 09:00:00";
    run.typed = 12;
    run.correct = 11;
    run.accuracy = 92;
    run.speed = 40;
    run.seconds = 18;
    run.misses = {{L'错', 1}};
    std::vector<RunRecord> expected = before;
    expected.push_back(run);
    expected = Newest(std::move(expected), kHistoryKeep);

    test::RecordingMessages messages;
    test::MemoryRecordFile now;
    now.bytes = file;
    PracticeHistory(now, messages).Record(run);
    FUZZ_CHECK(ParseHistory(now.bytes, false).runs == expected);
    FUZZ_CHECK(now.replaced == 0 || now.old == file);

    test::MemoryRecordFile later;
    later.bytes = file;
    later.fail_write = true;
    {
        PracticeHistory held(later, messages);
        held.Record(run);
        held.AtExit();
    }
    FUZZ_CHECK(later.bytes == file);
    later.fail_write = false;
    PracticeHistory next(later, messages);
    FUZZ_CHECK(next.Load().runs == expected);
    FUZZ_CHECK(later.pending.empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const bool fromTail = data[0] & 1;
    static constexpr std::size_t kKeeps[] = {0, 1, 2, kHistoryKeep};
    const std::size_t keep = kKeeps[(data[0] >> 1) & 3];
    const std::string file(reinterpret_cast<const char*>(data + 1), size - 1);

    const HistoryContents c = ParseHistory(file, fromTail);
    CheckRuns(c);
    FUZZ_CHECK(c.skipped >= 0);

    // The rewrite: UTF-8, the header, the newest runs as they were.
    const std::string compact = CompactHistory(file, fromTail, keep);
    FUZZ_CHECK(compact.starts_with(HistoryHeader()) && compact.back() == '\n');
    const HistoryContents kept = ParseHistory(compact, false);
    FUZZ_CHECK(!kept.utf16 && kept.runs == Newest(c.runs, keep));
    FUZZ_CHECK(kept.skipped <= c.skipped);

    CheckFigures(c, data[0]);
    if (!fromTail) CheckRecord(file, c.runs);

    // The same bytes as the per-character record, in the window's list.
    RecordView view;
    AddCharacters(view, CharRecord::Parse(file).record, kDefaultTargetSpeed, Today(), kCodeTable);
    FUZZ_CHECK(view.weakest.size() <= kWeakestShown && !view.due.empty());

    const KeyRecord::Parsed keys = KeyRecord::Parse(file);
    const KeyRecord::Parsed again = KeyRecord::Parse(keys.record.Format());
    FUZZ_CHECK(again.skipped == 0 && again.record.Format() == keys.record.Format());
    return 0;
}
