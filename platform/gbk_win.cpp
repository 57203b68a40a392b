// GBK helpers on Windows, through the real code page 936 whatever the
// system's ANSI code page is.
#include <windows.h>

#include "platform/gbk.h"

namespace quorlax {

constexpr UINT kGbkCodePage = 936;

int GbkBytes(wchar_t c, unsigned char (&out)[8]) {
    BOOL used_default = FALSE;
    int n = WideCharToMultiByte(kGbkCodePage, WC_NO_BEST_FIT_CHARS, &c, 1, reinterpret_cast<char*>(out),
                                sizeof out, nullptr, &used_default);
    return (n <= 0 || used_default) ? 0 : n;
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
