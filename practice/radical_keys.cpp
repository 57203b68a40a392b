// The chart's keys.
#include "practice/radical_keys.h"

#include <string_view>

namespace quorlax {
namespace {

// As the chart is drawn, in its pixels: 621 x 193.
constexpr float kChartWidth = 621;
constexpr std::wstring_view kRows[] = {L"qwertyuiop", L"asdfghjkl", L"xcvbnm"};
constexpr float kRowLeft[] = {6, 21, 21 + 30 + 61};
constexpr float kKeyWidth = 60, kKeyHeight = 61, kPitch = 61, kRowPitch = 63, kTop = 3;

}  // namespace

std::optional<forms::Control> KeyOnChart(wchar_t letter, const forms::Control& chart) {
    const float scale = chart.Width / kChartWidth;
    for (size_t row = 0; row < std::size(kRows); ++row) {
        const size_t at = kRows[row].find(letter);
        if (at == std::wstring_view::npos) continue;
        forms::Control key;
        key.Container = chart.Container;
        key.Place(chart.Left + (kRowLeft[row] + kPitch * static_cast<float>(at)) * scale,
                  chart.Top + (kTop + kRowPitch * static_cast<float>(row)) * scale, kKeyWidth * scale,
                  kKeyHeight * scale);
        return key;
    }
    return std::nullopt;
}

}  // namespace quorlax
