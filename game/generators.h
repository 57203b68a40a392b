// The three string generators of the falling labels: Chinese words drawn from
// the word pool, lowercase letter strings and digit strings with a point.
#pragma once

#include <optional>
#include <string>

#include "core/word_pool.h"
#include "platform/services.h"

namespace quorlax {

// Draws positions until one holds a narrow character before a wide one (one
// random value per attempt) and returns the word of 1..4 wide characters
// there; nullopt when that word is five or more characters long, or when the
// pool cannot give any word at all (then no value is drawn).
std::optional<std::wstring> DrawHanzi(const WordPool& pool, IRandom& random);

// 1..9 lowercase letters; exactly 10 random values.
std::wstring DrawLetters(IRandom& random);

// A digit string of length 1 or 3..9 with the point in the second-to-last
// place; exactly 10 random values.
std::wstring DrawDigits(IRandom& random);

}  // namespace quorlax
