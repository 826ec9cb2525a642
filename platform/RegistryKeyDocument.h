#pragma once

#include "platform/TextLines.h"

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// The values of one registry key, as its file holds them: one "name=value"
// line per value. Names compare without regard to case and are trimmed of
// blanks; lines that begin with "#" or ";" are comments. In names and values
// "%25", "%0A", "%0D" and "%00" stand for "%", line feed, carriage return and
// NUL, and in names "%3D" for "=" (and "%20", "%09", "%23", "%3B" where a name
// would otherwise lose a blank or read as a comment); any other "%" is itself,
// so values written by hand need no escaping unless they hold line breaks.
// Other lines are kept as they are.
class RegistryKeyDocument {
public:
    explicit RegistryKeyDocument(std::string_view bytes) : lines(bytes) {}

    std::optional<std::string> Find(std::string_view name) const;
    // Replaces the first value of that name, or adds one at the end; a name or
    // value that is no UTF-8 text is refused with false (see TextLines).
    bool Set(std::string_view name, std::string_view value);
    // Removes every value of that name; false when that was refused (see
    // TextLines).
    bool Remove(std::string_view name);

    std::string Bytes() const { return lines.Bytes(); }
    // True once a change made a code page 932 file UTF-8, and why.
    bool WentOverToUtf8() const { return lines.WentOverToUtf8(); }
    textcodec::ReadBack WhyUtf8() const { return lines.WhyUtf8(); }
    // Why the last change was refused for the file's encoding, or "".
    const std::string& Refusal() const { return lines.Refusal(); }

    static std::string EscapeName(std::string_view name);
    static std::string EscapeValue(std::string_view value);
    static std::string Unescape(std::string_view text);

private:
    struct Entry {
        std::string name;
        std::string value;
    };
    static std::optional<Entry> EntryOf(std::string_view line);

    TextLines lines;
};

} // namespace platform
