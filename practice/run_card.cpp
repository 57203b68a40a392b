// The lines of the end-of-run card.
#include "practice/run_card.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "core/code_table.h"

namespace quorlax {
namespace {

const wchar_t* KindName(RunKind kind) {
    switch (kind) {
        case RunKind::Chosen: return L"选择";
        case RunKind::Drill: return L"错字";
        case RunKind::Lesson: return L"入门";
        case RunKind::BuiltIn: break;
    }
    return L"汉字";
}

const wchar_t* Arrow(double now, double before) { return now > before ? L"↑" : now < before ? L"↓" : L"→"; }

std::wstring PerMinute(double speed) {
    return std::to_wstring(static_cast<long long>(speed + 0.5)) + L" 字/分";
}

// A character with its code as F1 shows it, or alone when the table lacks it.
std::wstring WithCode(wchar_t ch, std::wstring_view codeTable) {
    std::wstring text(1, ch);
    if (auto found = LookUpCode(codeTable, text)) {
        std::wstring code = found->substr(2);
        code.erase(code.find_last_not_of(L' ') + 1);
        if (!code.empty()) text += L" " + code;
    }
    return text;
}

}  // namespace

RunCard BuildRunCard(const RunRecord& run, std::span<const RunRecord> runs, std::wstring_view codeTable) {
    RunCard card;
    card.speed = L"速度 " + PerMinute(run.speed) + L"　正确率 " + std::to_wstring(run.accuracy) + L" %";

    for (const Miss& m : run.misses) card.missed.push_back(m.ch);
    if (card.missed.empty()) {
        card.misses = L"这次没有打错的字。";
    } else {
        card.misses = L"打错的字：";
        for (size_t i = 0; i < card.missed.size() && i < 8; ++i)
            card.misses += (i ? L"　" : L"") + WithCode(card.missed[i], codeTable);
        if (card.missed.size() > 8) card.misses += L"　…";
    }

    // The slowest by their mean time in this run.
    std::map<wchar_t, std::pair<double, int>> times;
    for (const Attempt& a : run.attempts)
        if (a.ms >= 0) {
            auto& [sum, n] = times[a.ch];
            sum += a.ms;
            ++n;
        }
    std::vector<std::pair<double, wchar_t>> slow;
    for (const auto& [ch, t] : times) slow.emplace_back(t.first / t.second, ch);
    std::sort(slow.begin(), slow.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    if (slow.size() > kCardSlowest) slow.resize(kCardSlowest);
    if (!slow.empty()) {
        card.slowest = L"最慢的字：";
        wchar_t seconds[16];
        for (size_t i = 0; i < slow.size(); ++i) {
            std::swprintf(seconds, 16, L" %.1f 秒", slow[i].first / 1000);
            card.slowest += (i ? L"　" : L"") + std::wstring(1, slow[i].second) + seconds;
        }
    }

    // The best of this kind before this run, and the last ten against the ten before.
    int bestBefore = 0, best = 0;
    std::vector<int> speeds;
    for (const RunRecord& r : runs) {
        if (r.kind != run.kind) continue;
        if (&r != &runs.back()) bestBefore = std::max(bestBefore, r.speed);
        best = std::max(best, r.speed);
        speeds.push_back(r.speed);
    }
    best = std::max(best, run.speed);
    card.best = std::wstring(KindName(run.kind)) + L"练习最高 " + PerMinute(best) + L" " +
                (run.speed > bestBefore ? L"↑" : run.speed == bestBefore ? L"→" : L"↓");
    auto mean = [&](size_t from, size_t to) {
        double sum = 0;
        for (size_t i = from; i < to; ++i) sum += speeds[i];
        return to > from ? sum / static_cast<double>(to - from) : 0.0;
    };
    const size_t n = speeds.size();
    const size_t recent = n > 10 ? n - 10 : 0;
    const size_t previous = recent > 10 ? recent - 10 : 0;
    card.average = L"近 " + std::to_wstring(n - recent) + L" 次平均 " + PerMinute(mean(recent, n));
    if (recent > previous) card.average += std::wstring(L" ") + Arrow(mean(recent, n), mean(previous, recent));
    return card;
}

RunCardPanel::RunCardPanel(forms::Scene& scene)
    : panel(scene, forms::Layer::Overlay),
      title(scene, forms::Layer::OverlayContent),
      speed(scene, forms::Layer::OverlayContent),
      misses(scene, forms::Layer::OverlayContent),
      slowest(scene, forms::Layer::OverlayContent),
      best(scene, forms::Layer::OverlayContent),
      average(scene, forms::Layer::OverlayContent),
      drillLink(scene, forms::Layer::OverlayContent),
      hint(scene, forms::Layer::OverlayContent) {
    // Over the lower rows of the grid, where the radical chart shows.
    panel.Place(1200, 3450, 9315, 2895);
    panel.Visible = false;
    float top = 150;
    for (forms::Label* line : {&title, &speed, &misses, &slowest, &best, &average, &drillLink, &hint}) {
        line->Container = &panel;
        line->Place(300, top, 8715, 330);
        line->Font = {L"宋体", 12};
        top += line == &title ? 420 : 330;
    }
    title.Font = {L"黑体", 14.25f};
    title.SetCaption(kCardTitle);
    drillLink.Font.Underline = true;
    hint.Font = {L"宋体", 9};
    hint.SetCaption(kCardClose);
}

void RunCardPanel::Show(RunCard card, forms::Color back, forms::Color text) {
    card_ = std::move(card);
    panel.BackColor = back;
    for (forms::Label* line : {&title, &speed, &misses, &slowest, &best, &average, &drillLink, &hint})
        line->ForeColor = text;
    speed.SetCaption(card_.speed);
    misses.SetCaption(card_.misses);
    slowest.SetCaption(card_.slowest);
    best.SetCaption(card_.best);
    average.SetCaption(card_.average);
    drillLink.SetCaption(card_.missed.empty() ? L"" : kCardDrill);
    panel.Visible = true;
}

}  // namespace quorlax
