// The F1 look-up of a character's five-stroke code in the code table.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlax {

// The look-up result label's text for `next`, the caption of the next cell
// to type, searched in `codeTable` (the code table with its lines joined):
// the character, the full-width colon "：" and the up to four characters after
// its last occurrence among table positions 1..length − 1, for example
// "中：khk ". Nothing (the label keeps its text) when `next` is empty, is not a
// two-byte GBK character with a code below 0xFC18 (letters, digits and other
// one-byte characters are not looked up), or does not occur there.
std::optional<std::wstring> LookUpCode(std::wstring_view codeTable, std::wstring_view next);

}  // namespace quorlax
