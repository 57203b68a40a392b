// The string generators. Every draw takes its random values in a fixed order,
// so a test can feed a sequence and know the result.
#include "game/generators.h"

#include "platform/nearest.h"

namespace quorlax {

std::optional<std::wstring> DrawHanzi(const WordPool& pool, IRandom& random) {
    if (!pool.CanDrawWord()) return std::nullopt;
    const double n = static_cast<double>(pool.Length());
    size_t p = 0;
    do {
        p = static_cast<size_t>(nearest(n * random.Next())) + 1;  // 1..n+1
    } while (pool.ClassAt(p) != CharClass::Narrow || pool.ClassAt(p + 1) != CharClass::Wide);
    for (size_t k = 1; k <= 4; ++k) {
        if (pool.ClassAt(p + 1 + k) == CharClass::Narrow) return pool.Text().substr(p, k);
    }
    return std::nullopt;  // a word of five or more characters
}

namespace {

constexpr wchar_t kLetters[] = L"abcdefghijklmnopqrstuvwxyz";
constexpr wchar_t kDigits[] = L"1234567890";

}  // namespace

std::wstring DrawLetters(IRandom& random) {
    std::wstring drawn;
    for (int i = 0; i < 9; ++i) drawn.push_back(kLetters[nearest(random.Next() * 25 + 1) - 1]);
    auto length = static_cast<size_t>(nearest(random.Next() * 8 + 1));
    return drawn.substr(0, length);
}

std::wstring DrawDigits(IRandom& random) {
    std::wstring drawn;
    for (int i = 0; i < 9; ++i) drawn.push_back(kDigits[nearest(random.Next() * 9 + 1) - 1]);
    auto length = static_cast<size_t>(nearest(random.Next() * 7 + 1));
    if (length == 1) return drawn.substr(0, 1);
    return drawn.substr(0, length - 1) + L'.' + drawn[length - 1];
}

}  // namespace quorlax
