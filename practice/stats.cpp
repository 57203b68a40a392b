// Cell looks and practice statistics.
#include "practice/stats.h"

#include "platform/nearest.h"

namespace quorlax {

forms::Color CorrectTextColor(forms::Color text) {
    const std::int64_t value = 0x7FFFFF - static_cast<std::int64_t>(static_cast<std::int32_t>(text));
    const std::int64_t magnitude = value < 0 ? -value : value;
    if (magnitude > INT32_MAX) return text;
    return static_cast<forms::Color>(magnitude);
}

forms::Color CellBackColor(CellBack back, forms::Color windowBack) {
    switch (back) {
        case CellBack::Window: return windowBack;
        case CellBack::Wrong: return kWrongBackColor;
        case CellBack::StartMark: return kStartMarkBackColor;
    }
    return windowBack;
}

CellLook LookOf(const PracticeCell& cell, forms::Color windowBack, forms::Color textColor) {
    return {CellBackColor(cell.back, windowBack), cell.styled,
            cell.correctColor ? CorrectTextColor(textColor) : textColor};
}

int CountCorrect(std::span<const PracticeCell> cells, int typedPos, forms::Color windowBack) {
    int correct = 0;
    for (int i = 1; i <= typedPos && static_cast<size_t>(i) < cells.size(); ++i)
        if (CellBackColor(cells[static_cast<size_t>(i)].back, windowBack) == windowBack) ++correct;
    return correct;
}

std::optional<int> AccuracyPercent(int correct, int typed) {
    if (typed == 0) return std::nullopt;
    return static_cast<int>(nearest(static_cast<double>(correct) / static_cast<double>(typed) * 100));
}

std::optional<std::wstring> AccuracyText(int correct, int typed) {
    const std::optional<int> percent = AccuracyPercent(correct, typed);
    if (!percent) return std::nullopt;
    return std::to_wstring(*percent) + L" %";
}

std::optional<std::wstring> PracticeSpeedText(std::int32_t typedCount, double seconds) {
    if (seconds == 0) return std::nullopt;
    return std::to_wstring(nearest(static_cast<double>(typedCount) / seconds * 60));
}

bool RunComplete(bool builtInChecked, bool chosenChecked, std::int64_t modelLength, std::int32_t typedCount,
                 std::int32_t chosenLength) {
    return (builtInChecked && modelLength == typedCount) || (chosenChecked && typedCount == chosenLength);
}

}  // namespace quorlax
