// GBK helpers for the native build, through iconv.
#include <iconv.h>

#include <cerrno>
#include <cstring>

#include "platform/gbk.h"
#include "platform/non_copyable.h"

namespace quorlax {
namespace {

// One conversion descriptor per direction, opened on first use.
class Converter : NonCopyable {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

iconv_t ToGbk() {
    static Converter c("GBK", "WCHAR_T");
    return c.get();
}
iconv_t FromGbk() {
    static Converter c("WCHAR_T", "GBK");
    return c.get();
}

}  // namespace

int GbkBytes(wchar_t c, unsigned char (&out)[8]) {
    if (c < 0x80) {  // ASCII is itself in GBK
        out[0] = static_cast<unsigned char>(c);
        return 1;
    }
    iconv(ToGbk(), nullptr, nullptr, nullptr, nullptr);
    char in_buf[sizeof(wchar_t)];
    std::memcpy(in_buf, &c, sizeof c);
    char* in = in_buf;
    char* o = reinterpret_cast<char*>(out);
    size_t in_left = sizeof in_buf, out_left = sizeof out;
    if (iconv(ToGbk(), &in, &in_left, &o, &out_left) == static_cast<size_t>(-1)) return 0;
    return static_cast<int>(sizeof out - out_left);
}

std::wstring DecodeGbk(std::string_view bytes) {
    std::wstring out;
    iconv(FromGbk(), nullptr, nullptr, nullptr, nullptr);
    const char* src = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        wchar_t wbuf[256];
        char* in = const_cast<char*>(src);
        char* o = reinterpret_cast<char*>(wbuf);
        size_t out_left = sizeof wbuf;
        size_t rc = iconv(FromGbk(), &in, &left, &o, &out_left);
        out.append(wbuf, (sizeof wbuf - out_left) / sizeof(wchar_t));
        src = in;
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // An invalid or truncated sequence: replace one byte and go on.
            out.push_back(L'\xFFFD');
            ++src;
            --left;
            iconv(FromGbk(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

}  // namespace quorlax
