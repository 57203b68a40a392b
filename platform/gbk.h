// GBK (code page 936) services: the width class of a character and decoding
// of data files. Implemented with the real code page on Windows (gbk_win.cpp)
// and with iconv in the native build (gbk_iconv.cpp).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorlax {

// Narrow: one byte in GBK; wide: two bytes; neither: NUL, or no GBK form.
enum class CharClass : unsigned char { Neither, Narrow, Wide };

CharClass ClassifyGbk(wchar_t c);
std::vector<CharClass> ClassifyGbk(std::wstring_view text);

// The character's code in GBK as an unsigned number: the byte for a one-byte
// character, lead·256 + trail for a two-byte one, 0 when it has no GBK form.
unsigned GbkCode(wchar_t c);

// Decodes GBK bytes; invalid sequences become U+FFFD rather than failing.
std::wstring DecodeGbk(std::string_view bytes);

// Drops every CR and LF, as reading a text file line by line and appending
// each line does.
std::wstring JoinLines(std::wstring_view text);

}  // namespace quorlax
