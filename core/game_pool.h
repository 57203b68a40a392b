// The three pools a game draws its labels from.
#pragma once

namespace quorlax {

enum class GamePool { Chinese, English, Digits };

}  // namespace quorlax
