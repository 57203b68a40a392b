// Typing by five-stroke codes without an input method: the letters a–y
// build a code that turns into a character or word, and the practice judge
// that tells a wrong key against the character expected.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "core/five_stroke.h"

namespace quorlax {

// The keys as WM_CHAR gives them.
inline constexpr wchar_t kBackspaceKey = L'\b';
inline constexpr wchar_t kSpaceKey = L' ';

// What one key press did to the code being typed.
struct Composed {
    enum class Step {
        Pending,         // a letter joined the code, which is not complete yet
        Text,            // the code is complete and turned into `text`
        NoEntry,         // the code is complete and stands for nothing
        Erased,          // Backspace took the last letter back
        NothingToErase,  // Backspace with no letter pending: the caller erases a character
        NotTaken,        // not a key of the code (z, digits, Space with no letter…)
    };
    Step step = Step::NotTaken;
    std::string code;        // the complete code, for Text and NoEntry
    std::wstring_view text;  // for Text; points into the codes
};

class CodeComposer {
public:
    // Picks, among a complete code's entries, one the caller expects.
    using Prefer = std::function<bool(std::wstring_view text)>;

    // A letter a–y joins the code, which is complete at its fourth letter;
    // Space completes a shorter one; Backspace takes the last letter back. A
    // complete code turns into the most frequent entry `prefer` accepts, or
    // else the most frequent entry of all.
    Composed Press(const FiveStrokeCodes& codes, wchar_t key, const Prefer& prefer = nullptr);

    // The letters typed so far, shown beside the box.
    std::string_view Pending() const { return pending_; }
    void Clear() { pending_.clear(); }

private:
    Composed Complete(const FiveStrokeCodes& codes, const Prefer& prefer);

    std::string pending_;
};

// How a key pressed while `expected` is due stands against its codes.
enum class KeyVerdict {
    Right,        // a letter that keeps the code on course, or Space after a code
    WrongLetter,  // a letter after which the letters begin no code of `expected`
    WrongSpace,   // Space when the letters are no code of `expected`
    WrongKey,     // a printable key other than a–y and Space
    NotJudged,    // Backspace and other control keys, or `expected` has no code
};

// Judges `key`, pressed after the letters `typed`, against `expected`.
KeyVerdict JudgeKey(const FiveStrokeCodes& codes, std::wstring_view expected, std::string_view typed,
                    wchar_t key);

// Where the keys pressed (`typed`, then `key`) first went off every code of
// `expected`, for the hint line and the radical chart.
struct CodeMiss {
    size_t position = 0;  // of the key off course, from 1
    wchar_t should = 0;   // the letter due there, or Space after a complete code
    wchar_t pressed = 0;  // the key pressed there
    bool operator==(const CodeMiss&) const = default;
};
// Nothing when the keys are still on course or `expected` has no code.
std::optional<CodeMiss> FindMiss(const FiveStrokeCodes& codes, std::wstring_view expected,
                                 std::string_view typed, wchar_t key);

// The hint line after a wrong key: the expected text, its codes shortest
// first and the first key off course with what it should have been, such as
// "鬼 rqc / rqci：第 2 键应为 q，按了 w".
std::wstring MissHint(const FiveStrokeCodes& codes, std::wstring_view expected, std::string_view typed,
                      wchar_t key);

// Punctuation has no code: a key that stands for a Chinese mark, as on a
// Chinese keyboard layout (, for ，and 、 on \\), types the mark `expected`
// when it is one of the key's, else the key's first. 0 for any other key.
wchar_t ChinesePunctuation(wchar_t key, wchar_t expected);

}  // namespace quorlax
