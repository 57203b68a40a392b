// The per-character record: its file format, the learning rules and what it
// ranks.
#include "practice/char_record.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <tuple>

#include "core/utf8.h"
#include "practice/record_fields.h"

namespace quorlax {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";
constexpr std::string_view kFirstColumn = "字\t";
constexpr int kColumns = 10;
constexpr int kMostAttempts = 100'000'000;  // more is no record of this program
constexpr double kLongestMs = 60'000;

// Days since 1970-01-01 of a civil date, and back (proleptic Gregorian).
Day DaysFromCivil(int y, unsigned m, unsigned d) {
    y -= m <= 2;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<int>(doe) - 719468;
}

void CivilFromDays(Day z, int& y, unsigned& m, unsigned& d) {
    z += 719468;
    const int era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<int>(yoe) + era * 400 + (m <= 2);
}

// A time in ms, or empty for none.
std::optional<double> Millis(std::string_view s) {
    if (s.empty()) return -1.0;
    auto v = Whole(s, static_cast<long long>(kLongestMs));
    if (!v) return std::nullopt;
    return static_cast<double>(*v);
}

std::optional<Day> DayFromField(std::string_view s, bool optional) {
    if (s.empty()) return optional ? std::optional<Day>(0) : std::nullopt;
    auto text = FromUtf8(s);
    if (!text) return std::nullopt;
    return ParseDay(*text);
}

void Recent(double& value, double sample) {
    value = value < 0 ? sample : value + kRecentWeight * (sample - value);
}

}  // namespace

std::wstring DayText(Day day) {
    int y;
    unsigned m, d;
    CivilFromDays(day, y, m, d);
    wchar_t text[16];
    std::swprintf(text, 16, L"%04d-%02u-%02u", y, m, d);
    return text;
}

std::optional<Day> ParseDay(std::wstring_view t) {
    if (t.size() != 10 || t[4] != L'-' || t[7] != L'-') return std::nullopt;
    int parts[3] = {};
    for (auto [from, to, index] : {std::tuple{0, 4, 0}, std::tuple{5, 7, 1}, std::tuple{8, 10, 2}}) {
        for (int i = from; i < to; ++i) {
            if (t[static_cast<size_t>(i)] < L'0' || t[static_cast<size_t>(i)] > L'9') return std::nullopt;
            parts[index] = parts[index] * 10 + (t[static_cast<size_t>(i)] - L'0');
        }
    }
    const auto m = static_cast<unsigned>(parts[1]), d = static_cast<unsigned>(parts[2]);
    if (parts[0] < 1970 || m < 1 || m > 12 || d < 1 || d > 31) return std::nullopt;
    const Day day = DaysFromCivil(parts[0], m, d);
    // 2026-02-30 is no day.
    int y;
    unsigned mm, dd;
    CivilFromDays(day, y, mm, dd);
    if (mm != m || dd != d) return std::nullopt;
    return day;
}

Day Today() {
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    if (!local) return 0;
    return DaysFromCivil(local->tm_year + 1900, static_cast<unsigned>(local->tm_mon + 1),
                         static_cast<unsigned>(local->tm_mday));
}

double Weakness(const CharStats& c, double targetMs) {
    if (c.attempts < kRankedFrom || MeetsTarget(c, targetMs)) return 0;
    // Errors weigh as much as time: a tenth of misses is as weak as a
    // character that takes 1.1 times the target.
    const double slow = c.ms < 0 ? 0 : std::max(0.0, c.ms / targetMs - 1);
    return c.rate + slow;
}

bool MeetsTarget(const CharStats& c, double targetMs) {
    return c.attempts >= kGraduateFrom && c.rate < kGraduateRate && c.ms >= 0 && c.ms <= targetMs;
}

std::string CharRecord::Header() {
    return std::string(kBom) +
           "字\t次数\t错次\t近错率\t近用时(毫秒)\t复习盒\t下次复习\t最近练习\t毕业\t编码用时(毫秒)\n";
}

std::string CharRecord::Format() const {
    // Written whole at every run's end: built in place, with no string per field.
    std::string out = Header();
    out.resize(out.size() + chars_.size() * 160);  // a line's widest, with room to spare
    char* at = out.data() + Header().size();
    const auto number = [&](long long v) { at = std::to_chars(at, at + 24, v).ptr; };
    const auto millis = [&](double ms) {
        if (ms >= 0) number(std::lround(ms));
    };
    const auto day = [&](Day d) {
        if (!d) return;
        int y;
        unsigned m, dd;
        CivilFromDays(d, y, m, dd);
        at += std::snprintf(at, 16, "%04d-%02u-%02u", y, m, dd);
    };
    for (const CharStats& c : chars_) {
        const std::string ch = ToUtf8(std::wstring_view(&c.ch, 1));
        at = std::copy(ch.begin(), ch.end(), at);
        *at++ = '\t', number(c.attempts);
        *at++ = '\t', number(c.misses);
        *at++ = '\t',
        at = std::to_chars(at, at + 24, std::clamp(c.rate, 0.0, 1.0), std::chars_format::fixed, 4).ptr;
        *at++ = '\t', millis(c.ms);
        *at++ = '\t', number(c.box);
        *at++ = '\t', day(c.due);
        *at++ = '\t', day(c.last);
        *at++ = '\t', day(c.graduated);
        *at++ = '\t', millis(c.keyMs);
        *at++ = '\n';
    }
    out.resize(static_cast<size_t>(at - out.data()));
    return out;
}

CharRecord::Parsed CharRecord::Parse(std::string_view bytes) {
    Parsed parsed;
    ForEachRecordLine(bytes, kFirstColumn, [&](const std::vector<std::string_view>& f) {
        auto ch = f.size() == kColumns ? FromUtf8(f[0]) : std::nullopt;
        auto attempts = f.size() == kColumns ? Whole(f[1], kMostAttempts) : std::nullopt;
        auto misses = f.size() == kColumns ? Whole(f[2], kMostAttempts) : std::nullopt;
        auto rate = f.size() == kColumns ? Fraction(f[3]) : std::nullopt;
        auto ms = f.size() == kColumns ? Millis(f[4]) : std::nullopt;
        auto box = f.size() == kColumns ? Whole(f[5], kReviewBoxes - 1) : std::nullopt;
        auto due = f.size() == kColumns ? DayFromField(f[6], true) : std::nullopt;
        auto last = f.size() == kColumns ? DayFromField(f[7], false) : std::nullopt;
        auto graduated = f.size() == kColumns ? DayFromField(f[8], true) : std::nullopt;
        auto keyMs = f.size() == kColumns ? Millis(f[9]) : std::nullopt;
        if (!ch || ch->size() != 1 || (*ch)[0] < 0x20 || !attempts || !misses || *misses > *attempts ||
            !rate || !ms || !box || !due || !last || !graduated || !keyMs || parsed.record.Find((*ch)[0])) {
            ++parsed.skipped;
            return;
        }
        CharStats c;
        c.ch = (*ch)[0];
        c.attempts = static_cast<int>(*attempts);
        c.misses = static_cast<int>(*misses);
        c.rate = *rate;
        c.ms = *ms;
        c.box = static_cast<int>(*box);
        c.due = *due;
        c.last = *last;
        c.graduated = *graduated;
        c.keyMs = *keyMs;
        parsed.record.Entry(c.ch) = c;
    });
    return parsed;
}

CharStats& CharRecord::Entry(wchar_t ch) {
    auto it = std::lower_bound(chars_.begin(), chars_.end(), ch,
                               [](const CharStats& c, wchar_t x) { return c.ch < x; });
    if (it == chars_.end() || it->ch != ch) {
        it = chars_.insert(it, CharStats{});
        it->ch = ch;
    }
    return *it;
}

const CharStats* CharRecord::Find(wchar_t ch) const {
    auto it = std::lower_bound(chars_.begin(), chars_.end(), ch,
                               [](const CharStats& c, wchar_t x) { return c.ch < x; });
    return it != chars_.end() && it->ch == ch ? &*it : nullptr;
}

void CharRecord::Apply(std::span<const Attempt> attempts, Day today, double targetMs) {
    for (const Attempt& a : attempts) {
        if (a.ch < 0x20) continue;
        CharStats& c = Entry(a.ch);
        c.attempts = std::min(c.attempts + 1, kMostAttempts);
        if (a.miss) c.misses = std::min(c.misses + 1, c.attempts);
        c.rate += kRecentWeight * ((a.miss ? 1.0 : 0.0) - c.rate);
        if (a.ms >= 0) Recent(c.ms, std::min<double>(a.ms, kLongestMs));
        if (a.keyMs >= 0) Recent(c.keyMs, std::min<double>(a.keyMs, kLongestMs));
        c.last = today;
        // A box at most a day: only a character whose review has come moves
        // up, and moving up puts its next review at least a day away.
        const bool reviewDue = c.due <= today;
        if (a.miss) {
            c.box = 0;
            c.due = today;
        } else if (a.ms >= 0 && a.ms <= targetMs && reviewDue && c.box < kReviewBoxes - 1) {
            ++c.box;
            c.due = today + kReviewDays[c.box];
        }
        if (MeetsTarget(c, targetMs)) {
            if (!c.graduated) {
                c.graduated = today;
                if (c.due <= today && c.box < kReviewBoxes - 1) {
                    ++c.box;
                    c.due = today + kReviewDays[c.box];
                }
            }
        } else {
            c.graduated = 0;
        }
    }
}

void CharRecord::Seed(std::span<const PastMiss> misses) {
    for (const PastMiss& m : misses) {
        if (m.ch < 0x20 || m.count < 1) continue;
        CharStats& c = Entry(m.ch);
        for (int i = 0; i < std::min(m.count, 1000); ++i) c.rate += kRecentWeight * (1.0 - c.rate);
        c.attempts = std::min(c.attempts + m.count, kMostAttempts);
        c.misses = std::min(c.misses + m.count, c.attempts);
        c.last = std::max(c.last, m.day);
        c.box = 0;
        c.due = c.last;
    }
}

std::vector<const CharStats*> CharRecord::Weakest(double targetMs, std::size_t top) const {
    std::vector<std::pair<double, const CharStats*>> ranked;
    for (const CharStats& c : chars_)
        if (const double w = Weakness(c, targetMs); w > 0) ranked.emplace_back(w, &c);
    std::sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) {
        if (a.first != b.first) return a.first > b.first;
        if (a.second->last != b.second->last) return a.second->last > b.second->last;
        return a.second->ch < b.second->ch;
    });
    if (ranked.size() > top) ranked.resize(top);
    std::vector<const CharStats*> out;
    out.reserve(ranked.size());
    for (const auto& r : ranked) out.push_back(r.second);
    return out;
}

std::vector<const CharStats*> CharRecord::Due(Day today, double targetMs) const {
    std::vector<const CharStats*> due;
    for (const CharStats& c : chars_)
        if (c.attempts >= kRankedFrom && c.due <= today && (c.box > 0 || Weakness(c, targetMs) > 0))
            due.push_back(&c);
    return due;
}

std::vector<const CharStats*> CharRecord::GraduatedSince(Day from) const {
    std::vector<const CharStats*> out;
    for (const CharStats& c : chars_)
        if (c.graduated && c.graduated >= from) out.push_back(&c);
    return out;
}

}  // namespace quorlax
