// The built-in practice text: 500 short words picked at random from the
// Chinese word pool and joined without separators.
#pragma once

#include <string>
#include <string_view>

#include "core/word_pool.h"
#include "platform/services.h"

namespace quorlax {

inline constexpr int kPracticeWords = 500;            // words appended per text
inline constexpr size_t kPracticeMinPoolLength = 30;  // shorter pools give no text

// True when a practice text can be built from the pool: it holds at least 30
// characters and a narrow character followed by a wide one at some position
// 1..length − 29, the only positions a pick can land on. Without this the
// pick would never end, so callers test it once, tell the user and grey the
// command instead of building.
bool CanBuildPracticeText(const WordPool& pool);
bool CanBuildPracticeText(std::wstring_view pool_text);

// Builds a new practice text. Each of the 500 rounds draws one random value
// per pick, repeating the pick until it lands on a narrow character followed
// by a wide one, and appends the one to four wide characters after it; the
// word also becomes `lastWord`. When the wide run there is five or more long,
// the round appends `lastWord` again instead (nothing while it is still empty,
// as at program start) and draws no further value. `lastWord` is kept by the
// caller between runs. A pool that cannot give a text (see above) gives an
// empty text and draws no value at all.
std::wstring BuildPracticeText(const WordPool& pool, IRandom& random, std::wstring& lastWord);
std::wstring BuildPracticeText(std::wstring_view pool_text, IRandom& random, std::wstring& lastWord);

}  // namespace quorlax
