#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The one choice of the run between Japanese and English texts.
namespace basic {

// 0 Japanese, 1 English; decided once by InitLanguage.
extern std::int32_t LangMode;
// 1 when windows must set the interface font on their standard controls
// themselves; Qt's controls take it from their window, so it stays 0.
extern std::int32_t LangDllMissing;

// Decides the language once per run (later calls do nothing): English unless
// the system's language is Japanese; then the setting LangMode chooses.
void InitLanguage();

// The language a start chooses on a system of the given language id: English
// when the id is not Japanese (the setting is then not read), else the
// setting LangMode (0 Japanese, 1 English; any other value counts as its
// default 0, with a log line).
std::int32_t DecideLangMode(int systemLangId);

// The text of the run's language: with English an empty English text falls
// back to the Japanese one; any other mode gives an empty text.
std::string LangText(std::string_view japaneseText, std::string_view englishText);

} // namespace basic
