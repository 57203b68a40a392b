// Parsing and formatting of counter texts, independent of the C locale.
#include "core/counters.h"

#include <cmath>

namespace quorlax {
namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

std::wstring_view Trim(std::wstring_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

std::optional<double> ParseNumber(std::wstring_view text) {
    std::wstring_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == L'-' || s.front() == L'+')) {
        negative = s.front() == L'-';
        s.remove_prefix(1);
    }
    double value = 0;
    int digits = 0;
    while (!s.empty() && IsDigit(s.front())) {
        value = value * 10 + (s.front() - L'0');
        s.remove_prefix(1);
        ++digits;
    }
    if (!s.empty() && s.front() == L'.') {
        s.remove_prefix(1);
        double scale = 0.1;
        while (!s.empty() && IsDigit(s.front())) {
            value += (s.front() - L'0') * scale;
            scale /= 10;
            s.remove_prefix(1);
            ++digits;
        }
    }
    if (digits == 0 || !s.empty() || !std::isfinite(value)) return std::nullopt;
    return negative ? -value : value;
}

double CounterValue(std::wstring_view text) { return ParseNumber(text).value_or(0.0); }

std::optional<std::int32_t> ParseInt32(std::wstring_view text) {
    std::wstring_view s = Trim(text);
    bool negative = false;
    if (!s.empty() && (s.front() == L'-' || s.front() == L'+')) {
        negative = s.front() == L'-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 10) return std::nullopt;
    std::int64_t value = 0;
    for (wchar_t c : s) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + (c - L'0');
    }
    if (negative) value = -value;
    if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::wstring CounterText(std::int64_t value) { return std::to_wstring(value); }

}  // namespace quorlax
