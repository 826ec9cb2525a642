#include "foundation/Settings.h"

#include "foundation/FileAccess.h"
#include "foundation/IniFile.h"
#include "foundation/ModuleValues.h"
#include "foundation/Registry.h"
#include "platform/base/AppIdentity.h"

namespace basic {

std::string ResolveSettingsStore(std::string_view storeName, int base, int& mode)
{
    mode = StoreUndecided;
    if (!storeName.empty()) {
        std::string named = AppPath() + std::string(storeName) + ".ini";
        if (FileExists(named) == 1) {
            mode = StoreIni;
            return named;
        }
        mode = StoreRegistry;
        return std::string(storeName);
    }
    if (base != 1) {
        if (!SettingsIniPath.empty()) {
            mode = StoreIni;
            return SettingsIniPath;
        }
        mode = StoreRegistry;
        return SettingsStoreName;
    }
    std::string shared = AppPath() + App::Title + ".ini";
    if (FileExists(shared) == 1) {
        mode = StoreIni;
        return shared;
    }
    mode = StoreRegistry;
    return {};
}

std::string GetSetting(std::string_view key, const VariantText& defaultValue, int base, std::string_view storeName)
{
    int mode = StoreUndecided;
    const std::string target = ResolveSettingsStore(storeName, base, mode);
    if (mode == StoreIni) {
        return IniRead(key, defaultValue, target, "", 1);
    }
    return RegRead(key, defaultValue, target, 0, "");
}

void SaveSetting(std::string_view key, const VariantText& value, int base, std::string_view storeName)
{
    int mode = StoreUndecided;
    const std::string target = ResolveSettingsStore(storeName, base, mode);
    if (mode == StoreIni) {
        IniWrite(key, value, target, "");
    } else {
        RegWrite(key, value, target, 0, "");
    }
}

} // namespace basic
