// UTF-8 for the files the program writes for its player (the practice
// records): wide text to UTF-8 and strictly back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quorlax {

inline bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }
// One code point as UTF-8.
void AppendUtf8(std::string& out, char32_t c);
// Wide text as UTF-8; a lone surrogate becomes U+FFFD.
std::string ToUtf8(std::wstring_view text);
// Strict UTF-8 to wide text; nothing for a broken or overlong sequence.
std::optional<std::wstring> FromUtf8(std::string_view bytes);

}  // namespace quorlax
