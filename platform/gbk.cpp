// Code-page independent parts of the GBK helpers.
#include "platform/gbk.h"

namespace quorlax {

CharClass ClassifyGbk(wchar_t c) {
    if (c == 0) return CharClass::Neither;
    unsigned char bytes[8];
    const int n = GbkBytes(c, bytes);
    if (n == 1) return CharClass::Narrow;
    if (n == 2) return CharClass::Wide;
    return CharClass::Neither;
}

unsigned GbkCode(wchar_t c) {
    if (c == 0) return 0;
    unsigned char bytes[8];
    const int n = GbkBytes(c, bytes);
    if (n == 1) return bytes[0];
    if (n == 2) return bytes[0] * 256u + bytes[1];
    return 0;
}

std::vector<CharClass> ClassifyGbk(std::wstring_view text) {
    std::vector<CharClass> out;
    out.reserve(text.size());
    for (wchar_t c : text) out.push_back(ClassifyGbk(c));
    return out;
}

std::wstring JoinLines(std::wstring_view text) {
    std::wstring out;
    out.reserve(text.size());
    for (wchar_t c : text)
        if (c != L'\r' && c != L'\n') out.push_back(c);
    return out;
}

}  // namespace quorlax
