// The Chinese word pool: the data file's text with the width class of each
// character, worked out once when it is loaded. A word of the pool is a run
// of one to four wide characters between narrow ones.
#pragma once

#include <string>
#include <vector>

#include "platform/gbk.h"

namespace quorlax {

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

}  // namespace quorlax
