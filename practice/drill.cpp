// The drill's text.
#include "practice/drill.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace quorlax {
namespace {

constexpr std::size_t kWordsPerPick = 24;  // enough variety for one grid

// An index into `items` for a random value in [0, 1).
std::size_t Pick(IRandom& random, std::size_t items) {
    const auto i = static_cast<std::size_t>(random.Next() * static_cast<double>(items));
    return std::min(i, items - 1);
}

}  // namespace

std::vector<std::wstring> PoolWords(const WordPool& pool) {
    std::vector<std::wstring> words;
    std::unordered_set<std::wstring> seen;
    const std::size_t n = pool.Length();
    for (std::size_t pos = 1; pos + 1 <= n; ++pos) {
        if (pool.ClassAt(pos) != CharClass::Narrow || pool.ClassAt(pos + 1) != CharClass::Wide) continue;
        std::size_t len = 1;
        while (len <= 4 && pool.ClassAt(pos + 1 + len) == CharClass::Wide) ++len;
        if (len > 4 || pool.ClassAt(pos + 1 + len) != CharClass::Narrow) continue;
        std::wstring word(pool.Text().data() + pos, len);
        if (seen.insert(word).second) words.push_back(std::move(word));
    }
    return words;
}

std::wstring BuildDrill(std::span<const DrillPick> picks, std::span<const std::wstring> words, IRandom& random,
                        std::size_t cells) {
    std::vector<DrillPick> chosen;
    for (const DrillPick& p : picks)
        if (p.weight > 0 && p.ch >= 0x20) chosen.push_back(p);
    if (chosen.empty()) return {};

    // What may stand for each pick: itself, then pool words that hold it.
    std::vector<std::vector<std::wstring>> options(chosen.size());
    std::unordered_map<wchar_t, std::size_t> index;
    for (std::size_t i = 0; i < chosen.size(); ++i) {
        options[i].push_back(std::wstring(1, chosen[i].ch));
        index.emplace(chosen[i].ch, i);
    }
    for (const std::wstring& word : words)
        for (wchar_t c : word)
            if (auto it = index.find(c); it != index.end() && options[it->second].size() <= kWordsPerPick &&
                                         options[it->second].back() != word)
                options[it->second].push_back(word);

    const std::size_t cap = std::max<std::size_t>(1, cells / 4);  // a quarter of the text at most
    std::unordered_map<wchar_t, std::size_t> uses;
    auto fits = [&](const std::wstring& piece) {
        for (wchar_t c : piece)
            if (index.count(c) && uses[c] + std::count(piece.begin(), piece.end(), c) > cap) return false;
        return true;
    };
    auto write = [&](std::wstring& text, const std::wstring& piece) {
        for (wchar_t c : piece)
            if (index.count(c)) ++uses[c];
        text += piece;
    };
    // Ordinary words hold no picked character.
    std::vector<const std::wstring*> ordinary;
    for (const std::wstring& w : words)
        if (std::none_of(w.begin(), w.end(), [&](wchar_t c) { return index.count(c) > 0; })) ordinary.push_back(&w);
    // An ordinary word that is not `after`.
    auto filler = [&](const std::wstring& after) -> const std::wstring* {
        for (int tries = 0; tries < 16 && !ordinary.empty(); ++tries) {
            const std::wstring* w = ordinary[Pick(random, ordinary.size())];
            if (*w != after) return w;
        }
        return nullptr;
    };

    double total = 0;
    for (const DrillPick& p : chosen) total += p.weight;
    std::wstring text;
    std::wstring last;
    wchar_t lastPick = 0;
    int stuck = 0;
    while (text.size() < cells && stuck < 64) {
        const std::wstring* piece = nullptr;
        wchar_t picked = 0;
        if (random.Next() < kDrillShare) {
            // A pick by weight: the running sum passes the drawn share.
            double at = random.Next() * total;
            std::size_t k = 0;
            while (k + 1 < chosen.size() && at >= chosen[k].weight) at -= chosen[k++].weight;
            const auto& list = options[k];
            const std::wstring& candidate = list[Pick(random, list.size())];
            if (fits(candidate)) {
                piece = &candidate;
                picked = chosen[k].ch;
            }
        }
        // Twice in a row, an ordinary word goes between.
        if (piece && (*piece == last || picked == lastPick || (!text.empty() && text.back() == piece->front()))) {
            if (const std::wstring* between = filler(last)) {
                write(text, *between);
                last = *between;
                lastPick = 0;
            } else {
                piece = nullptr;
            }
        }
        if (!piece) {
            piece = filler(last);
            picked = 0;
        }
        if (!piece) {
            ++stuck;
            continue;
        }
        stuck = 0;
        write(text, *piece);
        last = *piece;
        lastPick = picked;
    }
    return text;
}

}  // namespace quorlax
