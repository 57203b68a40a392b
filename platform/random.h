// The game's random generator: uniform doubles in [0, 1), seeded once.
#pragma once

#include <cstdint>

#include "platform/services.h"

namespace quorlax {

class SeededRandom final : public IRandom {
public:
    explicit SeededRandom(std::uint64_t seed) : state_(seed) {}
    double Next() override;

private:
    std::uint64_t state_;
};

}  // namespace quorlax
