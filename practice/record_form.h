// The record window "练习记录" as a portable object: what it shows, worked
// out from the practice history, the per-character and per-key records and
// the code table (the chart of the last runs of a kind with their moving
// average, the totals, the weakest characters with their codes and figures,
// those graduated this week and due today, the keyboard of the code mode),
// and what its buttons do. The Win32 side (record_form_win) draws it while
// loaded.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "forms/controls.h"
#include "practice/char_record.h"
#include "practice/history.h"
#include "practice/key_record.h"
#include "practice/learning.h"

namespace quorlax {

inline constexpr wchar_t kRecordNoRuns[] =
    L"还没有练习记录：做一次练习（练习/汉字，Ctrl+D），这里就会显示你的速度、正确率和错字。";
inline constexpr wchar_t kRecordNoWeak[] = L"还没有要加强的字：一个字练过 3 次，错了或慢了，就会列在这里。";
inline constexpr wchar_t kRecordNoPlotted[] = L"这一类还没有 20 字以上的练习。";
inline constexpr wchar_t kRecordNoKeys[] =
    L"用五笔编码输入（设置/五笔编码输入，Ctrl+W）练习后，这里会显示每个键的快慢和错误。";
inline constexpr wchar_t kRecordKeysTitle[] = L"按键（颜色越红越弱）";
inline constexpr wchar_t kRecordNoWeakKeys[] = L"没有要加强的键。";
inline constexpr wchar_t kRecordConfirmClear[] =
    L"清除全部练习记录吗？\n记录文件会改名为 practice-history.bak 留在原处。";
inline constexpr wchar_t kRecordDrillCaption[] = L"练习这些字";
inline constexpr wchar_t kRecordClearCaption[] = L"清除记录";
inline constexpr wchar_t kRecordCloseCaption[] = L"关闭";
inline constexpr int kPlotFromChars = 20;        // shorter runs are left out of the chart
inline constexpr std::size_t kAverageRuns = 10;  // the chart's moving average of speed
inline constexpr std::size_t kWeakKeysShown = 5;

// The kinds of run the chart shows, as its filter buttons name them.
enum class ChartKind { All, BuiltIn, Chosen, Drill };
inline constexpr int kChartKinds = 4;
inline constexpr const wchar_t* kChartKindCaptions[kChartKinds] = {L"全部", L"汉字", L"选择", L"错字"};

// How the last 10 runs' average speed compares with the 10 before.
enum class Trend { None, Up, Down, Level };

// A box in pixels of the window; right and bottom lie just outside it.
struct ChartBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Overlaps(const ChartBox& o) const {
        return left < o.right && o.left < right && top < o.bottom && o.top < bottom;
    }
    bool operator==(const ChartBox&) const = default;
};
struct ChartPoint {
    int x = 0, y = 0;
};
struct ChartSize {
    int width = 0, height = 0;
};

// How large the chart is drawn, in pixels: the plot, and the room its marks
// take around their run's point.
struct ChartGeometry {
    ChartBox plot;
    int dot = 2;   // a run's point, out to this far from its centre
    int mark = 6;  // the best run's ring and the latest run's mark
    int gap = 3;   // kept free between a name and anything else
};

// The chart of the last runs: speed on the left axis, accuracy on the right.
struct RecordChart {
    std::vector<int> speed;       // 字/分 of each shown run, oldest first
    std::vector<int> accuracy;    // per cent of each shown run
    std::vector<double> average;  // each shown run's speed averaged with the runs of its kind before it
    int speedTop = 0;             // the left axis's top value
    int speedStep = 0;            // the left axis's step between grid lines
    std::size_t best = 0;         // the shown run with the best speed (the first of equals)
    std::size_t latest = 0;       // the newest shown run
    struct Tick {
        std::size_t run;
        std::wstring text;  // "12-08", or "14:03" when every shown run is of one day
    };
    std::vector<Tick> dates;  // the x axis's labels, at a few runs
    // The names of the marked runs: the best ("最高 60", or "图中最高 52"
    // when a run older than the chart was faster) and the latest ("最近 56");
    // one name for both when they are one run.
    struct Tag {
        std::size_t run;
        std::wstring text;
        bool best;  // names the best run (drawn in the speed's colour)
    };
    std::vector<Tag> tags;

    std::size_t Runs() const { return speed.size(); }
    // Where run i's points are drawn in `plot`: evenly across it (one run in
    // the middle), the speed against the left axis, the accuracy the right.
    int XAt(std::size_t i, const ChartBox& plot) const;
    ChartPoint SpeedAt(std::size_t i, const ChartBox& plot) const;
    ChartPoint AccuracyAt(std::size_t i, const ChartBox& plot) const;
    ChartPoint AverageAt(std::size_t i, const ChartBox& plot) const;
    // Where each tag's name goes, given the size of its text (one per tag):
    // inside the plot, as near its run as it can be while it covers no point,
    // no mark and no other name. Only where every place would cover some
    // does it cover as few as it can.
    std::vector<ChartBox> PlaceTags(const ChartGeometry& geometry, const std::vector<ChartSize>& sizes) const;
};

struct RecordTotal {
    std::wstring label, value;
};

// One of the weakest characters, as its row shows it.
struct RecordWeakRow {
    std::wstring ch;
    std::wstring code;      // as the F1 look-up gives it; empty when the code table lacks it
    std::wstring rate;      // the recent error rate, "12%"
    std::wstring ms;        // the recent time, "850 毫秒", or "—" when never timed
    std::wstring attempts;  // "35 次"
    std::wstring box;       // the review box, "2"
};

// A key of the code mode's keyboard, as drawn.
struct RecordKey {
    const CodeKey* key = nullptr;
    bool ranked = false;  // pressed often enough to be judged
    double weakness = 0;
    forms::Color color = 0;  // green when sure and quick, through yellow, to red
};
// One of the weakest keys, as its row shows it.
struct RecordKeyRow {
    std::wstring key;       // "Q 金"
    std::wstring radicals;  // "钅勹儿夕犭"
    std::wstring figures;   // "错 12%　420 毫秒"
};
struct RecordKeyboard {
    bool shown = false;  // the code mode was used: else kRecordNoKeys
    std::vector<RecordKey> keys;
    std::vector<RecordKeyRow> weakest;
};

struct RecordView {
    bool empty = true;  // no runs yet: kRecordNoRuns instead of the chart and the totals
    ChartKind kind = ChartKind::All;
    RecordChart chart;
    std::vector<RecordTotal> totals;
    Trend trend = Trend::None;
    std::wstring weakTitle;  // "最弱的字（目标 60 字/分）"
    std::vector<RecordWeakRow> weakest;
    std::wstring graduated;  // "本周毕业 2 个字：学 段", empty when none did
    std::wstring due;        // "今天该复习 12 个字"
    std::wstring lesson;     // the lesson band reached; empty when none is given
    RecordKeyboard keyboard;
    std::wstring skipped;       // lines that could not be read, when any
    bool drillEnabled = false;  // there are characters to drill
    bool clearEnabled = false;  // there is a record to clear
};

// The history's part: the chart of the runs of `kind` (runs under
// kPlotFromChars characters left out), the totals over every run.
RecordView BuildRecordView(const HistoryContents& contents, ChartKind kind = ChartKind::All);
// The chart alone, as a filter button re-plots it.
RecordChart BuildChart(std::span<const RunRecord> runs, ChartKind kind);
// The per-character record's part, against the target speed on `today`.
void AddCharacters(RecordView& view, const CharRecord& chars, int targetSpeed, Day today,
                   std::wstring_view codeTable);
// The code mode's keyboard, against the key time a character target gives.
RecordKeyboard BuildKeyboard(const KeyRecord& keys, double charTargetMs);
// The colour of a key of `weakness`; an unjudged key's is grey.
forms::Color KeyColor(bool ranked, double weakness);

// The record window, loaded while shown. It reads the record afresh each
// time it is asked to show.
class RecordForm final : public forms::ToolForm {
public:
    // `codeTable` and `mainBackColor` are the main window's, read at each load.
    RecordForm(PracticeHistory& history, Learning& learning, const std::wstring& codeTable,
               const forms::Color& mainBackColor);
    RecordForm(const RecordForm&) = delete;
    RecordForm& operator=(const RecordForm&) = delete;

    const RecordView& View() const { return view_; }

    // Reads the records and shows the window, or refreshes it and brings it
    // to the front when it is shown already. A window that could not be made
    // leaves the form unloaded, and the next call tries again.
    void Load();

    // What the owner hands in, read at each Load: the code mode's key
    // record (null until the mode was used), and the line on the lesson band
    // reached (shown when not empty).
    void SetKeyRecord(const KeyRecord* keys) { keys_ = keys; }
    const KeyRecord* KeyRecordShown() const { return keys_; }
    std::wstring lessonLine;

    // --- the window's buttons ---
    std::array<forms::CommandButton, kChartKinds> filterButtons;  // "全部" … "错字"; the chosen one greyed
    forms::CommandButton drillButton;                             // "练习这些字"
    forms::CommandButton clearButton;                             // "清除记录"
    forms::CommandButton closeButton;                             // "关闭", the default button

    // --- handlers ---
    void OnFilterButton(ChartKind kind);  // the chart shows the runs of this kind
    void OnDrillButton();                 // "练习这些字": closes the window, then starts the drill
    void OnClearButton();                 // "清除记录": asks, then moves the record aside
    void OnCloseButton();                 // "关闭"

    // Owner hooks.
    std::function<void()> StartDrill;                // the practice room's drill command
    std::function<bool(std::wstring_view)> Confirm;  // a Yes/No question; true for Yes

private:
    void Read();
    void ShowKind(ChartKind kind);
    // The window closes: the next one opens on 全部.
    void OnUnload() override;

    PracticeHistory& history_;
    Learning& learning_;
    const std::wstring& codeTable_;
    const forms::Color& mainBackColor_;
    const KeyRecord* keys_ = nullptr;
    HistoryContents contents_;  // as last read: a filter re-plots without reading the file again
    RecordView view_;
};

}  // namespace quorlax
