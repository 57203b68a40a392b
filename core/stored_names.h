// The names under which the settings store keeps the player's choices
// (HKEY_CURRENT_USER\Software\Quorlax). Players' stores hold them: never
// rename one. The hall of fame's names are the scores room's own.
#pragma once

namespace quorlax {

inline constexpr wchar_t kChoicesSection[] = L"register";  // the section of every choice below
inline constexpr wchar_t kBackColorKey[] = L"ys1";    // background colour: signed decimal of 0x00BBGGRR
inline constexpr wchar_t kTextColorKey[] = L"wz1";    // text colour, the same way
inline constexpr wchar_t kTextFontKey[] = L"wzzt";    // text font: the face name
inline constexpr wchar_t kPictureKey[] = L"t1";       // background picture: its full path, "" for none
inline constexpr wchar_t kCodeHintKey[] = L"tsbm";    // "1" while a missed cell shows its code
inline constexpr wchar_t kCodeModeKey[] = L"wbsr";    // "1" while letters type five-stroke codes
inline constexpr wchar_t kTargetSpeedKey[] = L"mbsd"; // the practice target in 字/分: 30, 45, 60, 80, 100 or 120

// Told once when the store refuses one of these choices.
inline constexpr wchar_t kAppearanceUnsaved[] = L"外观设置无法保存，下次启动时不会保留。游戏继续。";

}  // namespace quorlax
