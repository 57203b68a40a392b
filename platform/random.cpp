// SplitMix64: small, fast and good enough for picking words and letters.
#include "platform/random.h"

namespace quorlax {

double SeededRandom::Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (1.0 / 9007199254740992.0);  // 53 bits into [0, 1)
}

}  // namespace quorlax
