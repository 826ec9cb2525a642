#pragma once

#include "foundation/VariantText.h"

#include <cstdint>
#include <string>
#include <string_view>

// Settings in the per-user registry. A key path left empty is built from the
// section: "Software\" & lower-case(company & "\" & section), an empty section
// standing for the program title. An empty value is stored as "***" and reads
// back as "". The section "common" belongs to outside tools: the program reads
// it and never changes it.
namespace basic {

// The root key of the current user; 0 stands for it too. Other roots are not
// kept by the program: reads give the default and writes fail.
inline constexpr std::int32_t CurrentUserRoot = static_cast<std::int32_t>(0x80000001u);
// The section written by outside tools (CurrentQuorUser, CurrentQuorUserGroup,
// DebugLogPath).
inline constexpr std::string_view SharedSection = "common";

// The stored text trimmed of blanks, or the default's text when the key or the
// value is missing. A value is read back whole, however long.
std::string RegRead(std::string_view key, const VariantText& defaultValue = {}, std::string_view section = {},
                    std::int32_t hKey = 0, std::string_view keyPath = {});

// 1 when the value was written, else 0 (the failure is logged).
int RegWrite(std::string_view key, const VariantText& value, std::string_view section = {}, std::int32_t hKey = 0,
             std::string_view keyPath = {});

void RegDeleteValue(std::string_view key, std::string_view section = {}, std::int32_t hKey = 0,
                    std::string_view keyPath = {});

// Removes one section key (lower-cased) under keyPath, by default the
// company's key; the other sections stay, and so does a key with sub-keys.
// 1 when a key was there and is gone, else 0.
int RegDeleteKey(std::string_view section = {}, std::int32_t hKey = 0, std::string_view keyPath = {});

} // namespace basic
