// GBK helpers on Windows, through the real code page 936 whatever the
// system's ANSI code page is.
#include <windows.h>

#include "platform/gbk.h"

namespace quorlax {

constexpr UINT kGbkCodePage = 936;

CharClass ClassifyGbk(wchar_t c) {
    if (c == 0) return CharClass::Neither;
    char buf[4];
    BOOL used_default = FALSE;
    int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, &c, 1, buf, sizeof buf, nullptr,
                                &used_default);
    if (n <= 0 || used_default) return CharClass::Neither;
    if (n == 1) return CharClass::Narrow;
    if (n == 2) return CharClass::Wide;
    return CharClass::Neither;
}

std::wstring DecodeGbk(std::string_view bytes) {
    if (bytes.empty()) return {};
    int n = MultiByteToWideChar(kGbkCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        MultiByteToWideChar(kGbkCodePage, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

}  // namespace quorlax
