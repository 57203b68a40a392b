// The fields of the practice record files: tab-separated, whole numbers in
// plain digits, rates as "0.1234" (or "1.0000" for one missed every time).
// Read strictly: anything else is no field of ours. Portable.
#pragma once

#include <cmath>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace quorlax {

inline std::vector<std::string_view> SplitTabs(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

// Digits only, at most `most`.
inline std::optional<long long> Whole(std::string_view s, long long most) {
    if (s.empty() || s.size() > 18) return std::nullopt;  // 18 digits cannot overflow
    long long v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v * 10 + (c - '0');
    }
    if (v > most) return std::nullopt;
    return v;
}

// A fraction 0..1: "0", "1", "0.1234" or "1.0000".
inline std::optional<double> Fraction(std::string_view s) {
    if (s == "0" || s == "1") return s == "1" ? 1.0 : 0.0;
    if (s.size() < 3 || s.size() > 8) return std::nullopt;
    if (s.substr(0, 2) == "1." && s.find_first_not_of('0', 2) == std::string_view::npos) return 1.0;
    if (s.substr(0, 2) != "0.") return std::nullopt;
    const auto digits = Whole(s.substr(2), 999'999);
    if (!digits) return std::nullopt;
    return static_cast<double>(*digits) / std::pow(10.0, static_cast<double>(s.size() - 2));
}

// Each line of a record file, its fields split, past the byte-order mark,
// blank lines and the header (the line starting with `firstColumn`).
template <typename F>
void ForEachRecordLine(std::string_view bytes, std::string_view firstColumn, F&& fields) {
    constexpr std::string_view kBom = "\xEF\xBB\xBF";
    std::size_t pos = bytes.substr(0, kBom.size()) == kBom ? kBom.size() : 0;
    while (pos < bytes.size()) {
        std::size_t end = bytes.find('\n', pos);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty() || line.substr(0, firstColumn.size()) == firstColumn) continue;
        fields(SplitTabs(line));
    }
}

}  // namespace quorlax
