// The five-stroke (Wubi 86) codes of characters and words, with their short
// codes and word codes, read from the codes file (wubi86-codes.txt) and
// looked up by code, by text and by the letters typed so far.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quorlax {

inline constexpr wchar_t kFiveStrokeCodesFile[] = L"wubi86-codes.txt";

// The longest code; a code has one to four of the letters a–y.
inline constexpr size_t kMaxCodeLetters = 4;

// True for the letters codes are made of: a–y (z is no code key).
constexpr bool IsCodeLetter(wchar_t c) { return c >= L'a' && c <= L'y'; }

// One character or word a code stands for.
struct CodeEntry {
    std::wstring_view text;  // points into the codes it came from
    std::uint32_t frequency = 0;
};

class FiveStrokeCodes {
public:
    FiveStrokeCodes() = default;

    // Reads the file's UTF-8 lines "code<TAB>text<TAB>frequency" (LF or CRLF
    // ends; "#" opens a comment line). A line that cannot be read is skipped
    // and counted; a code listed twice for one text is kept once.
    static FiveStrokeCodes Parse(std::string_view bytes);

    size_t CodeCount() const { return entries_.size(); }
    size_t SkippedLines() const { return skipped_; }
    // The heap bytes the look-up structures hold.
    size_t MemoryBytes() const;

    // The entries of a complete code, most frequent first; none for a code
    // nobody has or one that is not one to four letters a–y.
    std::vector<CodeEntry> EntriesOf(std::string_view code) const;
    // Every code of a character or word, shortest first (中: k, kh, khk).
    std::vector<std::string> CodesOf(std::wstring_view text) const;
    // Whether the letters begin (or are) some code of `text`.
    bool BeginsCodeOf(std::wstring_view text, std::string_view letters) const;
    // Whether the letters are exactly one of the codes of `text`.
    bool IsCodeOf(std::wstring_view text, std::string_view letters) const;
    // Whether the letters begin (or are) any code at all.
    bool BeginsAnyCode(std::string_view letters) const;

private:
    // A code as a number whose order is the letters' order: five bits a
    // letter (a = 1), the first letter highest, absent letters 0.
    using Key = std::uint32_t;
    struct Entry {
        Key key = 0;
        std::uint32_t frequency = 0;
        std::uint32_t text = 0;  // offset into texts_ << 8 | length
    };

    std::wstring_view TextOf(const Entry& e) const;
    // The entries of `text`, as indices into entries_.
    std::span<const std::uint32_t> EntriesOfText(std::wstring_view text) const;

    std::vector<Entry> entries_;          // by code, then most frequent first
    std::vector<std::uint32_t> by_text_;  // entries_ indices by text, then by code
    std::wstring texts_;
    size_t skipped_ = 0;
};

}  // namespace quorlax
