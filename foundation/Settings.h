#pragma once

#include "foundation/VariantText.h"

#include <string>
#include <string_view>

// The one store every setting of the program goes through. Which store a call
// reaches: with a store name, AppPath() & name & ".ini" when that file exists,
// else the registry section of that name; with base 1 (the store all sessions
// share), AppPath() & title & ".ini" when it exists, else the registry section
// of the title; otherwise this session's SettingsIniPath when set, else the
// registry section SettingsStoreName.
namespace basic {

// Store kinds of ResolveSettingsStore.
inline constexpr int StoreUndecided = 0;
inline constexpr int StoreRegistry = 1;
inline constexpr int StoreIni = 2;

// The INI file path (mode StoreIni) or the registry section (mode
// StoreRegistry; "" stands for the title) of a call.
std::string ResolveSettingsStore(std::string_view storeName, int base, int& mode);

// The stored text, else the default's text. In an INI store a missing key is
// written back with its default, so the file fills itself as the program runs;
// the registry is never written by a read.
std::string GetSetting(std::string_view key, const VariantText& defaultValue = {}, int base = 0,
                       std::string_view storeName = {});

void SaveSetting(std::string_view key, const VariantText& value, int base = 0, std::string_view storeName = {});

} // namespace basic
