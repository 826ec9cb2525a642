#pragma once

#include "foundation/VariantText.h"

#include <cstddef>
#include <string>
#include <string_view>

// Settings in INI files. An empty file name means the program's own
// AppPath() & title & ".ini", an empty section the section "conf". An empty
// value is stored as "***" and reads back as "".
namespace basic {

// The longest value IniRead returns, in characters; longer values are cut.
inline constexpr std::size_t IniValueLimit = 254;

// The stored text, or the default's text when the key is missing; with
// writeBack 1 a missing key is written into the file with the default.
std::string IniRead(std::string_view key, const VariantText& defaultValue = {}, std::string_view file = {},
                    std::string_view section = {}, int writeBack = 0);

// Writes the value's text. A failed write leaves the file as it was and is
// logged.
void IniWrite(std::string_view key, const VariantText& value, std::string_view file = {},
              std::string_view section = {});

} // namespace basic
