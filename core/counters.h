// Counters kept as decimal text in captions: reading and writing them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorlax {

// The number a caption or stored setting holds: optional blanks, an optional
// sign, digits, an optional fraction. Anything else is no number.
std::optional<double> ParseNumber(std::wstring_view text);

// A counter's value; text that is no number counts as 0.
double CounterValue(std::wstring_view text);

// A 32-bit integer from text that must be a whole decimal number (stored
// colours, scores); anything else, or a value out of range, is absent.
std::optional<std::int32_t> ParseInt32(std::wstring_view text);

// The decimal text a counter is written as.
std::wstring CounterText(std::int64_t value);

}  // namespace quorlax
