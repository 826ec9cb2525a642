#include "platform/SystemLanguage.h"

#include <cstdlib>
#include <string_view>

namespace platform {

int SystemDefaultLangId()
{
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return std::string_view(value).starts_with("ja") ? LangIdJapanese : LangIdEnglishUnitedStates;
        }
    }
    return LangIdEnglishUnitedStates;
}

} // namespace platform
