#pragma once

#include <string>
#include <string_view>

// Small text routines for paths. "/" and "\" both separate folders; the
// routines keep the separators a path came with (so a path written on Windows
// stays as it was) and add "/" where a path has none.
namespace basic {

// The system folder with a trailing "/".
std::string SystemFolder();

// mode 0 adds a trailing separator when missing, mode 1 removes one. An "http"
// address takes "/" only. A blank path gives "".
std::string FixTrailingSeparator(std::string_view path, int mode);

// The name with the extension (a leading "." added when missing, lower-cased)
// appended, unless it already ends with it in any case. "" for an empty name.
std::string EnsureExtension(std::string_view name, std::string_view extension);

// Joins the parts asked for (1 = include), in order: the folder (before the
// last separator), the separator, the base name (before the last "."), the
// dot and the extension. caseMode 1 lower-cases, 2 upper-cases the result.
std::string GetPathPart(std::string_view path, int folder, int separator, int base, int dot, int extension,
                        int caseMode);

// The first free numbered name base & 001 (width digits) & extension in the
// path's folder; with always 0 the path itself while no file has its name.
// withFolder / withExtension choose the parts of the result.
std::string MakeNumberedFileName(std::string_view path, int withFolder, int withExtension, int width, int always);

// One field of the comma-separated assign table: CR, LF, NUL, TAB and BS
// dropped, '"' made "”", "," and "，" made ".".
std::string MakeFieldSafe(std::string_view text);

// ASCII case changes that leave multi-byte characters alone.
std::string LowerAscii(std::string_view text);
std::string UpperAscii(std::string_view text);

} // namespace basic
