// The lessons' bands, where the player stands, and a lesson's text.
#include "practice/lessons.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "platform/gbk.h"

namespace quorlax {
namespace {

// The keys in the chart's order, zone by zone: 横 竖 撇 捺 折.
constexpr std::wstring_view kKeys = L"gfdsahjklmtrewqyuiopnbvcx";
// The first-level short codes, key by key in that order.
constexpr std::wstring_view kFirstLevel = L"一地在要工上是中国同和的有人我主产不为这民了发以经";
constexpr std::size_t kFirstBands = 5, kFirstBandSize = 100, kLaterBandSize = 500;

bool Meets(const CharStats* c, double targetMs) {
    return c && c->attempts >= kLessonAttempts && c->rate < kLessonRate && c->ms >= 0 && c->ms <= targetMs;
}

std::size_t Pick(IRandom& random, std::size_t items) {
    return std::min(static_cast<std::size_t>(random.Next() * static_cast<double>(items)), items - 1);
}

}  // namespace

std::vector<Band> MakeBands(std::wstring_view codeTable, const FiveStrokeCodes* codes, const WordPool& pool) {
    // The code table: each character followed by its code, padded to four.
    std::unordered_map<std::wstring, wchar_t> byCode;
    std::vector<wchar_t> tableOrder;
    for (std::size_t i = 0; i + 4 < codeTable.size(); ++i) {
        if (ClassifyGbk(codeTable[i]) != CharClass::Wide) continue;
        std::wstring code(codeTable.substr(i + 1, 4));
        code.erase(code.find_last_not_of(L' ') + 1);
        if (code.empty() ||
            !std::all_of(code.begin(), code.end(), [](wchar_t c) { return c >= L'a' && c <= L'y'; }))
            continue;
        byCode.emplace(code, codeTable[i]);
        tableOrder.push_back(codeTable[i]);
        i += 4;
    }
    std::vector<Band> bands;
    Band names{L"键名字", {}}, first{L"一级简码", {}};
    for (std::size_t k = 0; k < kKeys.size(); ++k) {
        if (auto it = byCode.find(std::wstring(4, kKeys[k])); it != byCode.end()) names.chars += it->second;
        wchar_t level = kFirstLevel[k];
        if (codes)
            if (auto entries = codes->EntriesOf(std::string(1, static_cast<char>(kKeys[k])));
                !entries.empty() && entries[0].text.size() == 1)
                level = entries[0].text[0];
        first.chars += level;
    }
    std::unordered_set<wchar_t> taken(names.chars.begin(), names.chars.end());
    if (!names.chars.empty()) bands.push_back(names);
    first.chars.erase(std::remove_if(first.chars.begin(), first.chars.end(),
                                     [&](wchar_t c) { return !taken.insert(c).second; }),
                      first.chars.end());
    bands.push_back(first);

    // The rest by how often the pool uses them; equals keep the table's order.
    std::unordered_map<wchar_t, int> uses;
    for (wchar_t c : pool.Text()) ++uses[c];
    std::vector<wchar_t> rest;
    for (wchar_t c : tableOrder)
        if (taken.insert(c).second) rest.push_back(c);
    std::stable_sort(rest.begin(), rest.end(), [&](wchar_t a, wchar_t b) { return uses[a] > uses[b]; });
    for (std::size_t from = 0, n = 0; from < rest.size(); ++n) {
        const std::size_t size = n < kFirstBands ? kFirstBandSize : kLaterBandSize;
        const std::size_t to = std::min(rest.size(), from + size);
        bands.push_back({L"常用字 " + std::to_wstring(from + 1) + L"–" + std::to_wstring(to),
                         std::wstring(rest.begin() + static_cast<std::ptrdiff_t>(from),
                                      rest.begin() + static_cast<std::ptrdiff_t>(to))});
        from = to;
    }
    return bands;
}

LessonStanding Standing(std::span<const Band> bands, const CharRecord& record, double targetMs) {
    LessonStanding s;
    for (std::size_t b = 0; b < bands.size(); ++b) {
        s.band = b;
        for (wchar_t c : bands[b].chars)
            if (!Meets(record.Find(c), targetMs)) ++s.notYet;
        if (s.notYet > 0) return s;  // this band and those before it are in play
    }
    s.allDone = true;
    return s;
}

std::wstring StandingLine(std::span<const Band> bands, const LessonStanding& standing, double targetMs) {
    if (bands.empty()) return {};
    std::wstring line =
        L"入门：第 " + std::to_wstring(standing.band + 1) + L" 段 " + bands[standing.band].name;
    if (standing.allDone) return line + L" · 全部达标";
    return line + L" · 还有 " + std::to_wstring(standing.notYet) + L" 个字未达标（每字至少 " +
           std::to_wstring(kLessonAttempts) + L" 次，错误率低于 5%，不慢于 " +
           std::to_wstring(static_cast<long long>(targetMs + 0.5)) + L" 毫秒）";
}

std::wstring BuildLesson(std::span<const Band> bands, const LessonStanding& standing,
                         const CharRecord& record, double targetMs, std::span<const std::wstring> poolWords,
                         IRandom& random, std::size_t cells) {
    if (bands.empty()) return {};
    struct Piece {
        wchar_t ch;
        double weight;
    };
    std::vector<Piece> picks;
    // The newest band: characters never practised weigh most.
    for (wchar_t c : bands[standing.band].chars) {
        const CharStats* s = record.Find(c);
        picks.push_back(
            {c, !s || s->attempts < kLessonAttempts ? 1.0 : std::max(0.2, Weakness(*s, targetMs))});
    }
    // The weakest of the bands before it (all of which met the rule once).
    std::vector<std::pair<double, wchar_t>> older;
    for (std::size_t b = 0; b < standing.band; ++b)
        for (wchar_t c : bands[b].chars)
            if (const CharStats* s = record.Find(c))
                older.emplace_back(std::max(0.2, Weakness(*s, targetMs)), c);
    std::sort(older.begin(), older.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
    for (std::size_t i = 0; i < older.size() && i < kLessonOlderChars; ++i)
        picks.push_back({older[i].second, older[i].first});

    // Words made only of characters in play stand for their characters too.
    std::unordered_set<wchar_t> inPlay;
    for (std::size_t b = 0; b <= standing.band; ++b)
        inPlay.insert(bands[b].chars.begin(), bands[b].chars.end());
    std::unordered_map<wchar_t, std::vector<const std::wstring*>> words;
    for (const std::wstring& w : poolWords)
        if (w.size() > 1 && std::all_of(w.begin(), w.end(), [&](wchar_t c) { return inPlay.count(c) > 0; }))
            for (wchar_t c : w) words[c].push_back(&w);

    double total = 0;
    for (const Piece& p : picks) total += p.weight;
    std::wstring text;
    std::wstring last;
    int refused = 0;  // draws in a row that would repeat the last piece
    while (text.size() < cells && total > 0 && refused < 100) {
        double at = random.Next() * total;
        std::size_t k = 0;
        while (k + 1 < picks.size() && at >= picks[k].weight) at -= picks[k++].weight;
        std::wstring piece(1, picks[k].ch);
        if (auto it = words.find(picks[k].ch); it != words.end() && random.Next() < 0.3)
            piece = *it->second[Pick(random, it->second.size())];
        // No piece twice in a row, and no character after itself.
        if (piece == last || (!text.empty() && text.back() == piece.front())) {
            ++refused;
            continue;
        }
        refused = 0;
        text += piece;
        last = piece;
    }
    return text;
}

}  // namespace quorlax
