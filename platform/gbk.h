// GBK (code page 936) services: the width class of a character and decoding
// of data files. The encoding and decoding are the platform's: the real code
// page on Windows (gbk_win.cpp), iconv in the native build (gbk_iconv.cpp).
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

// The platform's part of the two above: the GBK bytes of one character in
// `out`, and how many there are; 0 when it has no GBK form.
int GbkBytes(wchar_t c, unsigned char (&out)[8]);

// Decodes GBK bytes; invalid sequences become U+FFFD rather than failing.
std::wstring DecodeGbk(std::string_view bytes);

// Drops every CR and LF, as reading a text file line by line and appending
// each line does.
std::wstring JoinLines(std::wstring_view text);

}  // namespace quorlax
