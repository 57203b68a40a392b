// Lessons that unlock: the characters in bands, learnt one band after
// another. First the 25 key-name characters (gggg 王, ffff 土, …), then the
// 25 first-level short codes (g 一, f 地, …), then the characters of the code
// table by how often the word pool uses them, in bands of 100 up to the first
// 500, then in bands of 500. The next band opens once every character of the
// bands in play is typed sure and fast enough. Portable.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/five_stroke.h"
#include "core/word_pool.h"
#include "platform/services.h"
#include "practice/char_record.h"

namespace quorlax {

inline constexpr int kLessonAttempts = 3;          // attempts a character needs ...
inline constexpr double kLessonRate = 0.05;        // ... an error rate under this ...
inline constexpr std::size_t kLessonOlderChars = 10;  // the earlier bands' weakest mixed in

struct Band {
    std::wstring name;   // "键名字", "一级简码", "常用字 1–100" …
    std::wstring chars;  // its characters, each once
};

// The bands, from the code table (each character followed by its four code
// characters), the codes file (may be null: the first-level short codes are
// then the well-known ones) and the word pool.
std::vector<Band> MakeBands(std::wstring_view codeTable, const FiveStrokeCodes* codes, const WordPool& pool);

// Where the lessons stand in the record.
struct LessonStanding {
    std::size_t band = 0;      // the newest band in play (index into the bands)
    std::size_t notYet = 0;    // characters in play that do not yet meet the rule
    bool allDone = false;      // every band is in play and met
};
LessonStanding Standing(std::span<const Band> bands, const CharRecord& record, double targetMs);
// "入门：第 3 段 常用字 1–100 · 还有 37 个字未达标（每字至少 3 次，错误率低于 5%，不慢于 1000 毫秒）"
std::wstring StandingLine(std::span<const Band> bands, const LessonStanding& standing, double targetMs);

// A lesson of `cells` characters: the newest band's characters, those not
// practised yet weighing most, mixed with the weakest characters of the bands
// before it; single characters and pool words made only of characters in
// play; no piece twice in a row.
std::wstring BuildLesson(std::span<const Band> bands, const LessonStanding& standing, const CharRecord& record,
                         double targetMs, std::span<const std::wstring> poolWords, IRandom& random,
                         std::size_t cells = 406);

}  // namespace quorlax
