// Where each key lies on the radical chart the practice panel shows: the
// keyboard rows as the chart is drawn (tools/make_chart.py lays them out the
// same way), scaled to the chart's place on the board. Portable.
#pragma once

#include <optional>

#include "forms/controls.h"

namespace quorlax {

// The rectangle of key `letter` (a–y) on `chart`, in the chart's container's
// twips; nothing for a letter the chart does not show.
std::optional<forms::Control> KeyOnChart(wchar_t letter, const forms::Control& chart);

}  // namespace quorlax
