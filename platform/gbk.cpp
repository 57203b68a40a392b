// Code-page independent parts of the GBK helpers.
#include "platform/gbk.h"

namespace quorlax {

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
