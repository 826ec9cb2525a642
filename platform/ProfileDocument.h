#pragma once

#include "platform/TextLines.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The contents of an INI file with the old profile functions' reading rules:
// "[section]" lines open sections, "key=value" lines inside them hold values;
// section and key names compare without regard to case and are trimmed of
// blanks, as are values; a value in matching quotes loses them. The first
// matching section and the first matching key in it count. Every other line
// (comments, blank lines, damaged lines) is kept as it is.
class ProfileDocument {
public:
    explicit ProfileDocument(std::string_view bytes) : lines(bytes) {}

    // The value of key in section, or nothing when the key is missing.
    std::optional<std::string> Find(std::string_view section, std::string_view key) const;

    // Sets key in section, adding the section at the end of the file and the
    // key after the section's last entry when they are missing. A line break
    // in the value becomes a blank, so a value can never add lines to the
    // file; the value ends at a NUL. A value that reading would change (blanks
    // at an end, or matching quotes around it) is written inside one more
    // pair of double quotes, so Find gives it back as it was set. Names that
    // cannot stand on a profile line (empty, or holding "=", "]" or a line
    // break) are refused with false, and so is a name or value that is no
    // UTF-8 text (see TextLines).
    bool Set(std::string_view section, std::string_view key, std::string_view value);

    std::string Bytes() const { return lines.Bytes(); }
    // True once a change made a code page 932 file UTF-8, and why.
    bool WentOverToUtf8() const { return lines.WentOverToUtf8(); }
    textcodec::ReadBack WhyUtf8() const { return lines.WhyUtf8(); }
    // Why the last change was refused for the file's encoding, or "".
    const std::string& Refusal() const { return lines.Refusal(); }

private:
    // A section's header line and the line after its last one (the next
    // header, or the end of the file).
    struct SectionSpan {
        std::size_t header = 0;
        std::size_t end = 0;
        bool found = false;
    };
    SectionSpan FindSection(std::string_view section) const;

    TextLines lines;
};

} // namespace platform
