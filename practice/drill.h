// The drill's text: the characters to practise drawn at random, each as
// often as its weight asks, on its own or in a word of the pool that holds
// it, mixed with ordinary words of the pool. Portable.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "core/word_pool.h"
#include "platform/services.h"

namespace quorlax {

inline constexpr std::size_t kDrillChars = 20;  // characters a drill practises at most
inline constexpr double kDrillShare = 0.65;      // of the pieces, the part that practises them

// One character to practise and how much (its weakness; > 0).
struct DrillPick {
    wchar_t ch = 0;
    double weight = 0;
};

// The words of a pool (one to four wide characters between narrow ones), each
// once, in pool order.
std::vector<std::wstring> PoolWords(const WordPool& pool);

// A drill of at least `cells` characters (fewer only when the pool has too
// few words to mix in). Piece by piece: with probability kDrillShare a pick,
// drawn with probability weight / Σ weights and written on its own or as a
// pool word holding it; otherwise an ordinary word of the pool. No piece and
// no picked character comes twice in a row (an ordinary word goes between),
// and no character fills more than a quarter of the text.
std::wstring BuildDrill(std::span<const DrillPick> picks, std::span<const std::wstring> words, IRandom& random,
                        std::size_t cells = 406);

}  // namespace quorlax
