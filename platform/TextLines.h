#pragma once

#include "platform/base/TextCodec.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// A small text file (an INI file, a registry key file) held as lines that keep
// their exact bytes. Each line is decoded once for reading (UTF-8, else code
// page 932, judged on the whole file); only lines that are replaced or added
// are encoded again, in the file's own encoding and with its own line end. So
// a rewrite leaves every other line as it was, even a damaged one. A code page
// 932 file whose bytes after a change would not read back as its texts goes
// over to UTF-8 whole, as one file cannot mix the two; only then are its other
// lines re-encoded (bytes a damaged line could not decode stay U+FFFD). A line
// that is no UTF-8 text is refused: every line is read as text, so it would
// never read back as it was, and in a UTF-8 file its bytes would make the
// whole file read as code page 932.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(std::string_view bytes);

    std::size_t Count() const { return lines.size(); }
    // The decoded text of line i, without its line end.
    const std::string& Text(std::size_t i) const { return lines[i].text; }
    textcodec::Encoding Encoding() const { return encoding; }
    // True once a change made a code page 932 file UTF-8, and why.
    bool WentOverToUtf8() const { return wentOverToUtf8; }
    textcodec::ReadBack WhyUtf8() const { return whyUtf8; }

    // Both refuse text that is no UTF-8 with false, changing nothing.
    bool Replace(std::size_t i, std::string_view text);
    // Inserts a line before line i (i == Count() appends).
    bool Insert(std::size_t i, std::string_view text);
    void Erase(std::size_t i);

    // The file's bytes.
    std::string Bytes() const;

private:
    struct Line {
        std::string raw;    // bytes without the line end
        std::string ending; // "\n", "\r\n", or for the last line "\r" or "" (unfinished)
        std::string text;   // decoded
    };

    std::string Decode(std::string_view raw) const;
    std::string Encode(std::string_view text) const;
    Line MakeLine(std::string_view text, std::string ending) const;
    // Goes over to UTF-8 when the bytes would not read back as the lines' texts.
    void KeepReadingBack();
    void GoOverToUtf8(textcodec::ReadBack why);
    std::string Body() const;

    std::vector<Line> lines;
    std::string byteOrderMark;
    std::string newLine = "\n";
    textcodec::Encoding encoding = textcodec::Encoding::Utf8;
    bool wentOverToUtf8 = false;
    textcodec::ReadBack whyUtf8 = textcodec::ReadBack::Same;
};

} // namespace platform
