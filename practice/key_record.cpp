// The per-key record: the keyboard it is drawn on, its file, and its ranking.
#include "practice/key_record.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "practice/record_fields.h"

namespace quorlax {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kFirstColumn = "键\t";
constexpr std::size_t kColumns = 5;
constexpr long long kMostPresses = 1'000'000'000;  // more is no record of this program

std::size_t Slot(char key) { return static_cast<std::size_t>(key - 'a'); }
bool IsCodeKey(char key) { return key >= 'a' && key <= 'y'; }

}  // namespace

// As data/art/wubi86_keys.txt gives them (a test holds them to it).
const std::array<CodeKey, kCodeKeys> kCodeKeyboard = {{
    {'q', 0, 0, L"35", L'金', L"钅勹儿夕犭"},     {'w', 0, 1, L"34", L'人', L"亻八癶"},
    {'e', 0, 2, L"33", L'月', L"彡乃用豕"},       {'r', 0, 3, L"32", L'白', L"手扌斤"},
    {'t', 0, 4, L"31", L'禾', L"竹丿彳攵夂"},     {'y', 0, 5, L"41", L'言', L"讠文方广丶"},
    {'u', 0, 6, L"42", L'立', L"辛六门疒丬"},     {'i', 0, 7, L"43", L'水', L"氵小"},
    {'o', 0, 8, L"44", L'火', L"米灬"},           {'p', 0, 9, L"45", L'之', L"辶廴宀冖礻"},
    {'a', 1, 0, L"15", L'工', L"戈七廾艹匚"},     {'s', 1, 1, L"14", L'木', L"丁西"},
    {'d', 1, 2, L"13", L'大', L"犬三古石厂"},     {'f', 1, 3, L"12", L'土', L"士二干十寸雨"},
    {'g', 1, 4, L"11", L'王', L"一五戋"},         {'h', 1, 5, L"21", L'目', L"上止卜丨虍"},
    {'j', 1, 6, L"22", L'日', L"曰早刂虫"},       {'k', 1, 7, L"23", L'口', L"川"},
    {'l', 1, 8, L"24", L'田', L"甲囗四车力"},     {'x', 2, 0, L"55", L'纟', L"幺弓匕"},
    {'c', 2, 1, L"54", L'又', L"厶巴马"},         {'v', 2, 2, L"53", L'女', L"刀九臼彐"},
    {'b', 2, 3, L"52", L'子', L"孑了耳卩也阝凵"}, {'n', 2, 4, L"51", L'已', L"己巳乙尸心忄羽"},
    {'m', 2, 5, L"25", L'山', L"由冂贝几"},
}};

const CodeKey* FindCodeKey(char letter) {
    for (const CodeKey& key : kCodeKeyboard)
        if (key.letter == letter) return &key;
    return nullptr;
}

double KeyWeakness(const KeyStats& k, double targetMs) {
    if (k.attempts < kRankedFrom) return 0;
    const double slow = k.ms < 0 || targetMs <= 0 ? 0 : std::max(0.0, k.ms / targetMs - 1);
    return k.rate + slow;
}

KeyRecord::KeyRecord() {
    for (std::size_t i = 0; i < kCodeKeys; ++i) keys_[i].key = static_cast<char>('a' + i);
}

std::string KeyRecord::Header() { return std::string(kBom) + "键\t次数\t错次\t近错率\t近用时(毫秒)\n"; }

std::string KeyRecord::Format() const {
    std::string out = Header();
    char line[96];
    for (const KeyStats& k : keys_) {
        const std::string ms = k.ms < 0 ? std::string() : std::to_string(std::lround(k.ms));
        std::snprintf(line, sizeof line, "%c\t%d\t%d\t%.4f\t%s\n", k.key, k.attempts, k.wrong,
                      std::clamp(k.rate, 0.0, 1.0), ms.c_str());
        out += line;
    }
    return out;
}

KeyRecord::Parsed KeyRecord::Parse(std::string_view bytes) {
    Parsed parsed;
    std::array<bool, kCodeKeys> seen{};
    ForEachRecordLine(bytes, kFirstColumn, [&](const std::vector<std::string_view>& f) {
        const bool shaped = f.size() == kColumns && f[0].size() == 1 && IsCodeKey(f[0][0]);
        const auto attempts = shaped ? Whole(f[1], kMostPresses) : std::nullopt;
        const auto wrong = shaped ? Whole(f[2], kMostPresses) : std::nullopt;
        const auto rate = shaped ? Fraction(f[3]) : std::nullopt;
        const auto ms = !shaped        ? std::nullopt
                        : f[4].empty() ? std::optional<long long>(-1)
                                       : Whole(f[4], kLongestGapMs);
        if (!attempts || !wrong || *wrong > *attempts || !rate || !ms || seen[Slot(f[0][0])]) {
            ++parsed.skipped;
            return;
        }
        seen[Slot(f[0][0])] = true;
        KeyStats& k = parsed.record.keys_[Slot(f[0][0])];
        k.attempts = static_cast<int>(*attempts);
        k.wrong = static_cast<int>(*wrong);
        k.rate = *rate;
        k.ms = static_cast<double>(*ms);
    });
    return parsed;
}

void KeyRecord::Press(const KeyPress& press) {
    if (!IsCodeKey(press.key)) return;
    KeyStats& k = keys_[Slot(press.key)];
    k.attempts = static_cast<int>(std::min<long long>(k.attempts + 1LL, kMostPresses));
    if (press.wrong) k.wrong = std::min(k.wrong + 1, k.attempts);
    k.rate += kRecentWeight * ((press.wrong ? 1.0 : 0.0) - k.rate);
    // A press after a long pause tells nothing of the key.
    if (press.ms >= 0 && press.ms <= kLongestGapMs)
        k.ms = k.ms < 0 ? press.ms : k.ms + kRecentWeight * (press.ms - k.ms);
}

void KeyRecord::Apply(std::span<const KeyPress> presses) {
    for (const KeyPress& p : presses) Press(p);
}

const KeyStats* KeyRecord::Find(char key) const { return IsCodeKey(key) ? &keys_[Slot(key)] : nullptr; }

bool KeyRecord::AnyAttempt() const {
    return std::any_of(keys_.begin(), keys_.end(), [](const KeyStats& k) { return k.attempts > 0; });
}

std::vector<const KeyStats*> KeyRecord::Weakest(std::size_t top, double targetMs) const {
    std::vector<std::pair<double, const KeyStats*>> ranked;
    for (const KeyStats& k : keys_)
        if (const double w = KeyWeakness(k, targetMs); w > 0) ranked.emplace_back(w, &k);
    std::stable_sort(ranked.begin(), ranked.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    if (ranked.size() > top) ranked.resize(top);
    std::vector<const KeyStats*> out;
    for (const auto& r : ranked) out.push_back(r.second);
    return out;
}

}  // namespace quorlax
