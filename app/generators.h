// The three string generators of the falling labels: Chinese words drawn from
// the word pool, lowercase letter strings and digit strings with a point.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/gbk.h"
#include "platform/services.h"

namespace quorlax {

// The Chinese word pool with the width class of each character, worked out
// once when the pool is loaded.
class WordPool {
public:
    WordPool() = default;
    explicit WordPool(std::wstring text);

    const std::wstring& Text() const { return text_; }
    size_t Length() const { return text_.size(); }
    // Class of the character at 1-based position pos; past either end: neither.
    CharClass ClassAt(size_t pos) const;
    // True when some position holds a narrow character followed by a wide
    // one, so that a draw can ever be accepted.
    bool CanDrawWord() const { return can_draw_; }

private:
    std::wstring text_;
    std::vector<CharClass> classes_;
    bool can_draw_ = false;
};

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
