#include "foundation/Language.h"

#include "foundation/DayLog.h"
#include "foundation/Settings.h"
#include "platform/SystemLanguage.h"
#include "platform/base/Numbers.h"

namespace basic {

std::int32_t LangMode = 0;
std::int32_t LangDllMissing = 0;

namespace {

bool langInitDone = false;

} // namespace

std::int32_t DecideLangMode(int systemLangId)
{
    // The Japanese id 0x0411 has both bits of its primary language set.
    if ((systemLangId & 0x11) != 0x11) {
        return 1;
    }
    const std::string stored = GetSetting("LangMode", 0);
    const auto mode = numeric::ParseLong(stored);
    if (!mode || (*mode != 0 && *mode != 1)) {
        // Any other mode would leave every caption empty.
        WriteLog("InitLanguage: setting LangMode \"" + stored + "\" is not 0 or 1; Japanese is used", 1, 0);
        return 0;
    }
    return *mode;
}

void InitLanguage()
{
    if (langInitDone) {
        return;
    }
    langInitDone = true;
    LangMode = DecideLangMode(platform::SystemDefaultLangId());
    LangDllMissing = 0;
}

std::string LangText(std::string_view japaneseText, std::string_view englishText)
{
    switch (LangMode) {
    case 0:
        return std::string(japaneseText);
    case 1:
        return std::string(englishText.empty() ? japaneseText : englishText);
    default:
        return {};
    }
}

} // namespace basic
