#pragma once

#include "platform/base/TextCodec.h"
#include "playback/AssignRecords.h"
#include "playback/AssignText.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

struct MainState;

// The assign table file as text: reading a whole file into a table set, and
// writing the live tables. Lines end with CR LF when written; a CR, a CR LF or
// a lone LF ends a line when read, so files edited elsewhere still read.
namespace playback {

// Beyond this a file is bad before it can take much memory (lines are bound
// by MaxAssignLineBytes).
inline constexpr std::size_t MaxAssignFileBytes = 64u * 1024u * 1024u;

struct AssignParseResult {
    // 0 when every line was good, else the number (from 1) of the first bad one.
    int BadLine = 0;
    // What was wrong with it, for the log.
    std::string Problem;
    AssignTextForm Form;
};

// Fills tables (prepared by FreshTablesForRead) from the file's bytes. The
// tablePath gives the folder of bare names and whether the root mapping of
// syncDrive applies. A line whose key lies outside the tables (output digit
// other than none or 1..4, page outside 01..20, button outside 001..100, list
// item 000) stops the read there and is reported in BadLine, as does a line
// longer than MaxAssignLineBytes or one holding a NUL or a byte that is not
// UTF-8, or in code page 932 a byte that could not be decoded (no path is
// stored with a replacement character for it); a UTF-16 file, with a byte
// order mark or without one, is bad at its first line; lines that are no
// assign lines are skipped. A
// numeric value outside its field's range (PlayMode 0..3, sequence mark 0..1,
// StartMS within a day either way) is taken as the field's default, with one
// log line naming the line.
AssignParseResult ParseAssignFile(std::span<const std::uint8_t> bytes, std::string_view tablePath,
                                  const std::pair<std::string, std::string>& syncDrive, AssignTableSet& tables);

// The file's text (UTF-8, CR LF): with a user name the user line first, then
// per output the button page captions and buttons, then per output the list
// captions and list items, of the pages below PageNum and the buttons below
// each output's ButtonsPerPage. Paths, captions and the user name are cleaned
// so that no field can break the line. A line with a field that is no UTF-8
// text is left out, its key and that field (stray bytes shown as "\xNN")
// added to *leftOut when given: the reader would refuse the line, and as code
// page 932 it would not read back either.
std::string BuildAssignFile(const MainState& state, std::string_view targetPath, int pathMode,
                            const std::optional<std::string>& userName, std::vector<std::string>* leftOut = nullptr);

// Value 1 of the first user line of the text, or "".
std::string FindFileUser(std::span<const std::uint8_t> bytes);

// Calls visit for each line of the decoded text, with its number from 1;
// visit returns false to stop.
template <class Visit> void ForEachLine(std::string_view text, Visit&& visit)
{
    std::size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of("\r\n", start);
        const std::string_view line = text.substr(start, end == std::string_view::npos ? end : end - start);
        if (end == std::string_view::npos) {
            end = text.size();
        } else if (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') {
            ++end;
        }
        if (!visit(line, ++number)) {
            return;
        }
        start = end + 1;
    }
}

} // namespace playback
