// Fuzz target: the join box's address check, on any text the box can hold.
//
// Input: UTF-16 code units, low byte first (an odd last byte is ignored).
#include <arpa/inet.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "net/wire.h"

namespace {

using namespace quorlax;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\u3000'; }

// A host name by its labels, checked apart from the classifier's own scan.
bool IsHostNameByLabels(std::wstring_view s) {
    if (s.empty() || s.size() > 253) return false;
    bool letterOrDash = false;
    std::size_t start = 0;
    while (true) {
        const std::size_t dot = s.find(L'.', start);
        const std::wstring_view label = s.substr(start, dot == std::wstring_view::npos ? s.npos : dot - start);
        if (label.empty() || label.size() > 63 || label.front() == L'-' || label.back() == L'-') return false;
        for (wchar_t c : label) {
            const bool digit = c >= L'0' && c <= L'9';
            const bool letter = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
            if (!digit && !letter && c != L'-') return false;
            letterOrDash = letterOrDash || !digit;
        }
        if (dot == std::wstring_view::npos) break;
        start = dot + 1;
    }
    return letterOrDash;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2) text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const std::wstring_view trimmed = TrimAddress(text);
    FUZZ_CHECK(trimmed.empty() || (!IsBlank(trimmed.front()) && !IsBlank(trimmed.back())));
    FUZZ_CHECK(TrimAddress(trimmed) == trimmed);

    const AddressKind kind = ClassifyAddress(text);
    FUZZ_CHECK(ClassifyAddress(trimmed) == kind);

    // Dotted IPv4 is what the C library's strict parser takes (four decimal
    // parts 0-255, no leading zeros); anything else ASCII-only is not.
    bool ascii = true, nul = false;
    std::string narrow;
    for (wchar_t c : trimmed) {
        ascii = ascii && c < 0x80;
        nul = nul || c == 0;
        narrow.push_back(static_cast<char>(c));
    }
    if (ascii && !nul) {
        in_addr address{};
        FUZZ_CHECK((inet_pton(AF_INET, narrow.c_str(), &address) == 1) == (kind == AddressKind::Ipv4));
    } else {
        FUZZ_CHECK(kind != AddressKind::Ipv4);
    }
    if (kind != AddressKind::Ipv4) FUZZ_CHECK((kind == AddressKind::HostName) == IsHostNameByLabels(trimmed));
    return 0;
}
