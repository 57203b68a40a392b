// The code look-up: a plain scan of the joined table, as each entry is the
// character followed by its four code characters.
#include "core/code_table.h"

#include "platform/gbk.h"

namespace quorlax {
namespace {

constexpr size_t kCodeLength = 4;
constexpr wchar_t kColon[] = L"：";

// The character's GBK code as a signed 16-bit number must lie below −1000:
// a two-byte code below 0xFC18.
bool IsLookedUp(wchar_t c) {
    const unsigned code = GbkCode(c);
    return code >= 0x8000 && static_cast<long>(code) - 65536 < -1000;
}

}  // namespace

std::optional<std::wstring> LookUpCode(std::wstring_view codeTable, std::wstring_view next) {
    if (next.empty() || !IsLookedUp(next.front())) return std::nullopt;
    // The scan covers positions 1..n − 1: a character only in the very last
    // place is not found, and the last occurrence before it wins.
    if (codeTable.size() < 2) return std::nullopt;
    const size_t at = codeTable.substr(0, codeTable.size() - 1).rfind(next.front());
    if (at == std::wstring_view::npos) return std::nullopt;
    std::wstring label(1, next.front());
    label += kColon;
    label += codeTable.substr(at + 1, kCodeLength);
    return label;
}

}  // namespace quorlax
