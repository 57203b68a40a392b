// The built-in practice text generator.
#include "practice/builtin_text.h"

#include "platform/nearest.h"

namespace quorlax {
namespace {

// The largest position a pick can land on (1-based): length − 29.
size_t LastPickPosition(const WordPool& pool) { return pool.Length() - (kPracticeMinPoolLength - 1); }

bool IsPick(const WordPool& pool, size_t k) {
    return pool.ClassAt(k) == CharClass::Narrow && pool.ClassAt(k + 1) == CharClass::Wide;
}

}  // namespace

bool CanBuildPracticeText(const WordPool& pool) {
    if (pool.Length() < kPracticeMinPoolLength) return false;
    for (size_t k = 1; k <= LastPickPosition(pool); ++k)
        if (IsPick(pool, k)) return true;
    return false;
}

bool CanBuildPracticeText(std::wstring_view pool_text) {
    return CanBuildPracticeText(WordPool(std::wstring(pool_text)));
}

std::wstring BuildPracticeText(const WordPool& pool, IRandom& random, std::wstring& lastWord) {
    std::wstring text;
    if (!CanBuildPracticeText(pool)) return text;
    // Picks stay within 1..n + 1 = 1..length − 29, so k + 5 never passes the end.
    const double n = static_cast<double>(pool.Length() - kPracticeMinPoolLength);
    for (int round = 0; round < kPracticeWords; ++round) {
        size_t k = 0;
        do {
            k = static_cast<size_t>(nearest(n * random.Next())) + 1;
        } while (!IsPick(pool, k));
        size_t length = 0;
        for (size_t len = 1; len <= 4; ++len) {
            if (pool.ClassAt(k + 1 + len) == CharClass::Narrow) {
                length = len;
                break;
            }
        }
        if (length > 0) lastWord = pool.Text().substr(k, length);
        text += lastWord;
    }
    return text;
}

std::wstring BuildPracticeText(std::wstring_view pool_text, IRandom& random, std::wstring& lastWord) {
    return BuildPracticeText(WordPool(std::wstring(pool_text)), random, lastWord);
}

}  // namespace quorlax
