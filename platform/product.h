// The program's name, written once: window and message-box titles, the
// settings store's application, the per-user folder.
#pragma once

namespace quorlax {

inline constexpr wchar_t kProductName[] = L"Quorlax";

}  // namespace quorlax
