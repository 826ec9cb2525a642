#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Texts read from and written to byte buffers: cue labels, ".tip" side files,
// font face names. Line ends and NULs are found on the bytes (they never occur
// inside a UTF-8 or code page 932 character); the text between is then decoded
// as UTF-8 when it is valid UTF-8, else as code page 932.
namespace basic {

// Line terminators of BytesToTextLine.
inline constexpr int TerminatorNone = -1; // read up to lastIndex
inline constexpr int TerminatorNul = 0;
inline constexpr int TerminatorCr = 1;
inline constexpr int TerminatorCrLf = 2;

// Writes the trimmed text's code page 932 bytes into bytes, cut at its end and
// zero-filled after the text; returns how many bytes the text needed.
int StringToBytes(std::string_view text, std::span<std::uint8_t> bytes);

// The text from index start up to the terminator of mode, lastIndex or the end
// of the buffer, whichever comes first. A NUL always ends the text; in mode 2 a
// CR not followed by LF is dropped.
std::string BytesToTextLine(std::span<const std::uint8_t> bytes, int lastIndex, int mode, int start);

// Splits a whole buffer into lines at CR LF (a lone CR and NULs are dropped,
// a lone LF stays in its line, as the files shared with the older systems
// expect); an unfinished non-empty last line counts too. lines holds the lines
// in order; the result is their number.
int BytesToLines(std::span<const std::uint8_t> bytes, std::vector<std::string>& lines);

} // namespace basic
