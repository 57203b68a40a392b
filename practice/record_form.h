// The record window "练习记录" as a portable object: what it shows, worked
// out from the practice record and the code table (the chart of the last
// runs, the totals, the weakest characters with their codes), and what its
// three buttons do. The Win32 side (record_form_win) draws it while loaded.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "forms/controls.h"
#include "practice/history.h"

namespace quorlax {

inline constexpr wchar_t kRecordNoRuns[] =
    L"还没有练习记录：做一次练习（练习/汉字，Ctrl+D），这里就会显示你的速度、正确率和错字。";
inline constexpr wchar_t kRecordNoMisses[] = L"最近的练习里没有打错的字。";
inline constexpr wchar_t kRecordWeakTitle[] = L"最常打错的字（最近 200 次练习）";
inline constexpr wchar_t kRecordConfirmClear[] =
    L"清除全部练习记录吗？\n记录文件会改名为 practice-history.bak 留在原处。";
inline constexpr wchar_t kRecordDrillCaption[] = L"练习这些字";
inline constexpr wchar_t kRecordClearCaption[] = L"清除记录";
inline constexpr wchar_t kRecordCloseCaption[] = L"关闭";

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
    std::vector<int> speed;     // 字/分 of each shown run, oldest first
    std::vector<int> accuracy;  // per cent of each shown run
    int speedTop = 0;           // the left axis's top value
    int speedStep = 0;          // the left axis's step between grid lines
    std::size_t best = 0;       // the shown run with the best speed (the first of equals)
    std::size_t latest = 0;     // the newest shown run
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
    std::wstring code;    // as the F1 look-up gives it; empty when the code table lacks it
    std::wstring misses;  // "5 次"
    std::wstring last;    // the day it was last missed, "12-08"
};

struct RecordView {
    bool empty = true;  // no runs yet: kRecordNoRuns instead of the rest
    RecordChart chart;
    std::vector<RecordTotal> totals;
    Trend trend = Trend::None;
    std::vector<RecordWeakRow> weakest;
    std::wstring skipped;       // lines that could not be read, when any
    bool drillEnabled = false;  // there are weak characters to drill
    bool clearEnabled = false;  // there is a record to clear
};

RecordView BuildRecordView(const HistoryContents& contents, std::wstring_view codeTable);

// The record window, loaded while shown. It reads the record afresh each
// time it is asked to show.
class RecordForm final : public forms::ToolForm {
public:
    // `codeTable` and `mainBackColor` are the main window's, read at each load.
    RecordForm(PracticeHistory& history, const std::wstring& codeTable, const forms::Color& mainBackColor);
    RecordForm(const RecordForm&) = delete;
    RecordForm& operator=(const RecordForm&) = delete;

    const RecordView& View() const { return view_; }

    // Reads the record and shows the window, or refreshes it and brings it
    // to the front when it is shown already. A window that could not be made
    // leaves the form unloaded, and the next call tries again.
    void Load();

    // --- the window's buttons ---
    forms::CommandButton drillButton;  // "练习这些字"
    forms::CommandButton clearButton;  // "清除记录"
    forms::CommandButton closeButton;  // "关闭", the default button

    // --- handlers ---
    void OnDrillButton();  // "练习这些字": closes the window, then starts the drill
    void OnClearButton();  // "清除记录": asks, then moves the record aside
    void OnCloseButton();  // "关闭"

    // Owner hooks.
    std::function<void()> StartDrill;                // the practice room's drill command
    std::function<bool(std::wstring_view)> Confirm;  // a Yes/No question; true for Yes

private:
    void Read();

    PracticeHistory& history_;
    const std::wstring& codeTable_;
    const forms::Color& mainBackColor_;
    RecordView view_;
};

}  // namespace quorlax
