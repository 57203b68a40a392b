// The word pool's classes.
#include "core/word_pool.h"

namespace quorlax {

WordPool::WordPool(std::wstring text) : text_(std::move(text)), classes_(ClassifyGbk(text_)) {
    for (size_t i = 0; i + 1 < classes_.size(); ++i) {
        if (classes_[i] == CharClass::Narrow && classes_[i + 1] == CharClass::Wide) {
            can_draw_ = true;
            break;
        }
    }
}

CharClass WordPool::ClassAt(size_t pos) const {
    if (pos < 1 || pos > classes_.size()) return CharClass::Neither;
    return classes_[pos - 1];
}

}  // namespace quorlax
