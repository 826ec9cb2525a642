#pragma once

#include <string>
#include <string_view>

// The type names of files shown to the operator ("Wave Sound", "MP3 Audio",
// "XYZ File"), from the program's own table by extension, in the language of
// the desktop as a file manager would give them.
namespace FCT_AudioInf {

std::string GetFileTypeName(std::string_view fileName);
// The name for a lower-case extension (without the dot) in Japanese or English.
std::string FileTypeNameFor(std::string_view extension, bool japanese);

} // namespace FCT_AudioInf
