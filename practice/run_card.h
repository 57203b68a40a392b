// The card at the end of a practice run: how the run went (its speed over
// the typing time and its accuracy, the characters missed with their codes,
// the five slowest characters), against the best of its kind and the average
// of the last ten. Portable: the lines to show, worked out from the run and
// the record.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "forms/controls.h"
#include "practice/history.h"

namespace quorlax {

inline constexpr wchar_t kCardTitle[] = L"本次练习";
inline constexpr wchar_t kCardDrill[] = L"练习这些字";
inline constexpr wchar_t kCardClose[] = L"按任意键或单击继续";
inline constexpr std::size_t kCardSlowest = 5;

struct RunCard {
    std::wstring speed;    // "速度 48 字/分　正确率 95 %"
    std::wstring misses;   // "打错的字：鬼 rqci　段 wdmc", or that there were none
    std::wstring slowest;  // "最慢的字：矗 2.4 秒　…", or empty with no timed character
    std::wstring best;     // "汉字练习最高 62 字/分 ↑"
    std::wstring average;  // "近 10 次平均 45 字/分 →"
    std::vector<wchar_t> missed;  // the run's missed characters, most missed first: what the drill line drills
};

// `run` has just been recorded; `runs` is the record with it, oldest first.
RunCard BuildRunCard(const RunRecord& run, std::span<const RunRecord> runs, std::wstring_view codeTable);

// The card on the board: a panel over the lower rows of the grid, drawn in
// the window's colours, with the card's lines, the drill's link when there
// were misses, and a line saying how it goes.
class RunCardPanel {
public:
    explicit RunCardPanel(forms::Scene& scene);
    RunCardPanel(const RunCardPanel&) = delete;
    RunCardPanel& operator=(const RunCardPanel&) = delete;

    forms::Panel panel;
    forms::Label title, speed, misses, slowest, best, average, drillLink, hint;

    void Show(RunCard card, forms::Color back, forms::Color text);
    void Hide() { panel.Visible = false; }
    bool Shown() const { return panel.Visible; }
    const RunCard& Card() const { return card_; }

private:
    RunCard card_;
};

}  // namespace quorlax
