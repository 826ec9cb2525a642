#pragma once

namespace platform {

inline constexpr int LangIdJapanese = 0x0411;
inline constexpr int LangIdEnglishUnitedStates = 0x0409;

// The system's default language as a language id, from the locale the
// program runs in: the first set of LC_ALL, LC_MESSAGES and LANG. A locale
// beginning with "ja" is Japanese; anything else (or none) is English.
int SystemDefaultLangId();

} // namespace platform
