// The codes in two sorted arrays over one text pool: by code for the
// candidates of a typed code and for prefixes, by text for a character's codes.
#include "core/five_stroke.h"

#include <algorithm>
#include <numeric>

namespace quorlax {
namespace {

constexpr unsigned kLetterBits = 5;
constexpr std::uint32_t kMaxTextLength = 0xFF;
constexpr std::uint32_t kMaxTextOffset = 0xFFFFFF;
// The by-text sort packs two characters (21 bits each) and an entry's index.
constexpr unsigned kUnitBits = 21;
constexpr unsigned kIndexBits = 22;
constexpr std::uint32_t kMaxEntries = (1u << kIndexBits) - 1;

// The letters as a key (see FiveStrokeCodes::Key); false for more than four
// letters or one outside a–y. No letters give 0.
bool Encode(std::string_view letters, std::uint32_t& key) {
    if (letters.size() > kMaxCodeLetters) return false;
    key = 0;
    for (size_t i = 0; i < kMaxCodeLetters; ++i) {
        key <<= kLetterBits;
        if (i >= letters.size()) continue;
        if (!IsCodeLetter(static_cast<unsigned char>(letters[i]))) return false;
        key |= static_cast<std::uint32_t>(letters[i] - 'a' + 1);
    }
    return true;
}

// The key's letters below those of a prefix of `letters` letters: a key
// begins with the prefix when it equals the prefix's key outside these bits.
std::uint32_t LowerLetters(size_t letters) { return (1u << kLetterBits * (kMaxCodeLetters - letters)) - 1; }

std::string Decode(std::uint32_t key) {
    std::string code;
    for (size_t i = 0; i < kMaxCodeLetters; ++i) {
        const auto letter = key >> kLetterBits * (kMaxCodeLetters - 1 - i) & 0x1F;
        if (letter == 0) break;
        code += static_cast<char>('a' + letter - 1);
    }
    return code;
}

// Appends the strict UTF-8 text as wide characters (UTF-16 where wchar_t has
// 16 bits); false for a broken sequence or a control character.
bool AppendUtf8(std::string_view s, std::wstring& out) {
    for (size_t pos = 0; pos < s.size();) {
        const auto b0 = static_cast<unsigned char>(s[pos]);
        size_t length = b0 < 0x80             ? 1
                        : (b0 & 0xE0) == 0xC0 ? 2
                        : (b0 & 0xF0) == 0xE0 ? 3
                        : (b0 & 0xF8) == 0xF0 ? 4
                                              : 0;
        if (length == 0 || pos + length > s.size()) return false;
        char32_t c = length == 1 ? b0 : b0 & (0x7F >> length);
        for (size_t i = 1; i < length; ++i) {
            const auto b = static_cast<unsigned char>(s[pos + i]);
            if ((b & 0xC0) != 0x80) return false;
            c = c << 6 | (b & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (c < 0x20 || c == 0x7F) return false;
        if (sizeof(wchar_t) == 2 && c >= 0x10000) {
            out += static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<wchar_t>(c);
        }
        pos += length;
    }
    return true;
}

// Orders two texts of the pool given as offset << 8 | length.
int CompareTexts(const wchar_t* pool, std::uint32_t a, std::uint32_t b) {
    const wchar_t* x = pool + (a >> 8);
    const wchar_t* y = pool + (b >> 8);
    const std::uint32_t n = a & kMaxTextLength, m = b & kMaxTextLength;
    for (std::uint32_t i = 0; i < n && i < m; ++i)
        if (x[i] != y[i]) return x[i] < y[i] ? -1 : 1;
    return n < m ? -1 : n > m ? 1 : 0;
}

// A frequency: one to ten decimal digits, within 32 bits.
bool ReadFrequency(std::string_view s, std::uint32_t& value) {
    if (s.empty() || s.size() > 10) return false;
    std::uint64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + static_cast<unsigned>(c - '0');
    }
    if (v > UINT32_MAX) return false;
    value = static_cast<std::uint32_t>(v);
    return true;
}

}  // namespace

FiveStrokeCodes FiveStrokeCodes::Parse(std::string_view bytes) {
    FiveStrokeCodes codes;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const auto lines = static_cast<size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1;
    codes.entries_.reserve(lines);
    codes.texts_.reserve(lines * 2);

    for (size_t start = 0; start < bytes.size();) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos) end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        start = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.front() == '#') continue;

        const size_t tab1 = line.find('\t');
        const size_t tab2 = tab1 == std::string_view::npos ? tab1 : line.find('\t', tab1 + 1);
        Entry entry;
        const size_t at = codes.texts_.size();
        const bool read = tab2 != std::string_view::npos && tab1 > 0 &&
                          Encode(line.substr(0, tab1), entry.key) &&
                          ReadFrequency(line.substr(tab2 + 1), entry.frequency) &&
                          AppendUtf8(line.substr(tab1 + 1, tab2 - tab1 - 1), codes.texts_);
        const size_t length = codes.texts_.size() - at;
        if (!read || length == 0 || length > kMaxTextLength || at > kMaxTextOffset ||
            codes.entries_.size() >= kMaxEntries) {
            codes.texts_.resize(at);
            ++codes.skipped_;
            continue;
        }
        entry.text = static_cast<std::uint32_t>(at << 8 | length);
        codes.entries_.push_back(entry);
    }

    // By code, most frequent first: the file comes in this order, and then
    // nothing moves.
    auto& entries = codes.entries_;
    const wchar_t* texts = codes.texts_.data();
    auto by_code = [texts](const Entry& a, const Entry& b) {
        if (a.key != b.key) return a.key < b.key;
        if (a.frequency != b.frequency) return a.frequency > b.frequency;
        return CompareTexts(texts, a.text, b.text) < 0;
    };
    if (!std::is_sorted(entries.begin(), entries.end(), by_code))
        std::sort(entries.begin(), entries.end(), by_code);

    // By text, then as above, so that a code listed twice for one text lies
    // next to itself, its most frequent entry first, which is kept. Sorted
    // as numbers made of the first two characters and the index; texts
    // longer than that are then ordered among those that begin alike.
    std::vector<std::uint64_t> numbers(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::wstring_view t = codes.TextOf(entries[i]);
        const std::uint64_t second = t.size() > 1 ? static_cast<std::uint64_t>(t[1]) : 0;
        numbers[i] = static_cast<std::uint64_t>(t[0]) << (kUnitBits + kIndexBits) | second << kIndexBits | i;
    }
    std::sort(numbers.begin(), numbers.end());
    std::vector<std::uint32_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<std::uint32_t>(numbers[i] & kMaxEntries);
    for (size_t i = 0, j = 0; i < order.size(); i = j) {
        bool longer = false;
        for (j = i; j < order.size() && numbers[j] >> kIndexBits == numbers[i] >> kIndexBits; ++j)
            longer = longer || (entries[order[j]].text & kMaxTextLength) > 2;
        if (longer)
            std::sort(order.begin() + static_cast<std::ptrdiff_t>(i),
                      order.begin() + static_cast<std::ptrdiff_t>(j), [&](std::uint32_t a, std::uint32_t b) {
                          const int c = CompareTexts(texts, entries[a].text, entries[b].text);
                          return c != 0 ? c < 0 : a < b;
                      });
    }
    numbers = {};
    constexpr Key kDropped = 0;
    bool dropped = false;
    for (size_t i = 1, kept = 0; i < order.size(); ++i) {
        Entry& e = entries[order[i]];
        const Entry& last = entries[order[kept]];
        if (e.key == last.key && CompareTexts(texts, e.text, last.text) == 0) {
            e.key = kDropped;
            dropped = true;
        } else {
            kept = i;
        }
    }
    if (dropped) {
        std::erase_if(order, [&](std::uint32_t i) { return entries[i].key == kDropped; });
        std::vector<std::uint32_t> moved(entries.size());
        size_t n = 0;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].key != kDropped) {
                moved[i] = static_cast<std::uint32_t>(n);
                entries[n++] = entries[i];
            }
        entries.resize(n);
        for (std::uint32_t& i : order) i = moved[i];
    }
    entries.shrink_to_fit();
    codes.texts_.shrink_to_fit();
    codes.by_text_ = std::move(order);
    return codes;
}

size_t FiveStrokeCodes::MemoryBytes() const {
    return entries_.capacity() * sizeof(Entry) + by_text_.capacity() * sizeof(std::uint32_t) +
           texts_.capacity() * sizeof(wchar_t);
}

std::wstring_view FiveStrokeCodes::TextOf(const Entry& e) const {
    return std::wstring_view(texts_).substr(e.text >> 8, e.text & kMaxTextLength);
}

std::span<const std::uint32_t> FiveStrokeCodes::EntriesOfText(std::wstring_view text) const {
    const auto first = std::lower_bound(by_text_.begin(), by_text_.end(), text,
                                        [this](std::uint32_t i, auto t) { return TextOf(entries_[i]) < t; });
    const auto last = std::upper_bound(first, by_text_.end(), text,
                                       [this](auto t, std::uint32_t i) { return t < TextOf(entries_[i]); });
    return {first, last};
}

std::vector<CodeEntry> FiveStrokeCodes::EntriesOf(std::string_view code) const {
    Key key = 0;
    std::vector<CodeEntry> found;
    if (code.empty() || !Encode(code, key)) return found;
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), key,
                                        [](const Entry& e, Key k) { return e.key < k; });
    for (auto e = first; e != entries_.end() && e->key == key; ++e)
        found.push_back({TextOf(*e), e->frequency});
    return found;
}

std::vector<std::string> FiveStrokeCodes::CodesOf(std::wstring_view text) const {
    std::vector<std::string> found;
    for (std::uint32_t i : EntriesOfText(text)) found.push_back(Decode(entries_[i].key));
    std::stable_sort(found.begin(), found.end(),
                     [](const std::string& a, const std::string& b) { return a.size() < b.size(); });
    return found;
}

bool FiveStrokeCodes::BeginsCodeOf(std::wstring_view text, std::string_view letters) const {
    Key key = 0;
    if (!Encode(letters, key)) return false;
    const Key lower = LowerLetters(letters.size());
    const auto mine = EntriesOfText(text);
    return std::any_of(mine.begin(), mine.end(),
                       [&](std::uint32_t i) { return (entries_[i].key & ~lower) == key; });
}

bool FiveStrokeCodes::IsCodeOf(std::wstring_view text, std::string_view letters) const {
    Key key = 0;
    if (letters.empty() || !Encode(letters, key)) return false;
    const auto mine = EntriesOfText(text);
    return std::any_of(mine.begin(), mine.end(), [&](std::uint32_t i) { return entries_[i].key == key; });
}

bool FiveStrokeCodes::BeginsAnyCode(std::string_view letters) const {
    Key key = 0;
    if (!Encode(letters, key)) return false;
    const auto first = std::lower_bound(entries_.begin(), entries_.end(), key,
                                        [](const Entry& e, Key k) { return e.key < k; });
    return first != entries_.end() && (first->key & ~LowerLetters(letters.size())) == key;
}

}  // namespace quorlax
