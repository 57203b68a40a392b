// nearest(x): the integer nearest to x, halves to the even neighbour. Used
// wherever the game takes a value to an integer.
#pragma once

#include <cmath>
#include <cstdint>

namespace quorlax {

inline std::int64_t nearest(double x) {
    double lower = std::floor(x);
    double frac = x - lower;
    if (frac > 0.5) return static_cast<std::int64_t>(lower) + 1;
    if (frac < 0.5) return static_cast<std::int64_t>(lower);
    auto even = static_cast<std::int64_t>(lower);
    return (even % 2 == 0) ? even : even + 1;
}

}  // namespace quorlax
