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
// 932 file given a text that would not read back as it was goes over to UTF-8
// whole, as one file cannot mix the two; only then are its other lines
// re-encoded (bytes a damaged line could not decode stay U+FFFD).
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(std::string_view bytes);

    std::size_t Count() const { return lines.size(); }
    // The decoded text of line i, without its line end.
    const std::string& Text(std::size_t i) const { return lines[i].text; }
    textcodec::Encoding Encoding() const { return encoding; }
    // True once a replaced or added line made a code page 932 file UTF-8.
    bool WentOverToUtf8() const { return wentOverToUtf8; }

    void Replace(std::size_t i, std::string_view text);
    // Inserts a line before line i (i == Count() appends).
    void Insert(std::size_t i, std::string_view text);
    void Erase(std::size_t i);

    // The file's bytes.
    std::string Bytes() const;

private:
    struct Line {
        std::string raw;    // bytes without the line end
        std::string ending; // "\n", "\r\n" or "" for an unfinished last line
        std::string text;   // decoded
    };

    std::string Decode(std::string_view raw) const;
    std::string Encode(std::string_view text);
    void GoOverToUtf8();

    std::vector<Line> lines;
    std::string byteOrderMark;
    std::string newLine = "\n";
    textcodec::Encoding encoding = textcodec::Encoding::Utf8;
    bool wentOverToUtf8 = false;
};

} // namespace platform
