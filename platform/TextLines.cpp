#include "platform/TextLines.h"

#include <cstdint>
#include <optional>
#include <span>
#include <utility>

namespace platform {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

} // namespace

TextLines::TextLines(std::string_view bytes)
{
    if (bytes.starts_with(Utf8ByteOrderMark)) {
        byteOrderMark = Utf8ByteOrderMark;
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    }
    encoding = textcodec::Detect(AsBytes(bytes));
    bool newLineKnown = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find('\n', start);
        Line line;
        if (end == std::string_view::npos) {
            line.raw = bytes.substr(start);
            start = bytes.size();
        } else {
            const bool crlf = end > start && bytes[end - 1] == '\r';
            const std::size_t rawEnd = crlf ? end - 1 : end;
            line.ending = crlf ? std::string_view("\r\n") : std::string_view("\n");
            line.raw = bytes.substr(start, rawEnd - start);
            start = end + 1;
            if (!newLineKnown) {
                newLine = line.ending;
                newLineKnown = true;
            }
        }
        line.text = Decode(line.raw);
        lines.push_back(std::move(line));
    }
}

std::string TextLines::Decode(std::string_view raw) const
{
    return textcodec::Decode(AsBytes(raw), encoding);
}

std::string TextLines::Encode(std::string_view text)
{
    if (encoding == textcodec::Encoding::Utf8) {
        return std::string(text);
    }
    if (std::optional<std::string> exact = textcodec::EncodeCp932Exact(text)) {
        return std::move(*exact);
    }
    // Bytes that are no UTF-8 would make the whole file read as code page 932
    // again, and every line gone over to UTF-8 would then read as mojibake.
    if (!textcodec::IsValidUtf8(text)) {
        return textcodec::EncodeCp932(text);
    }
    GoOverToUtf8();
    return std::string(text);
}

void TextLines::GoOverToUtf8()
{
    for (Line& line : lines) {
        line.raw = line.text;
    }
    encoding = textcodec::Encoding::Utf8;
    wentOverToUtf8 = true;
}

void TextLines::Replace(std::size_t i, std::string_view text)
{
    std::string raw = Encode(text);
    Line& line = lines[i];
    line.raw = std::move(raw);
    line.text = Decode(line.raw);
}

void TextLines::Insert(std::size_t i, std::string_view text)
{
    // A line added after an unfinished last line finishes it first. A bare CR
    // that ends it stays part of it: a LF right after it would make the two
    // one line end.
    if (i == lines.size() && !lines.empty() && lines.back().ending.empty()) {
        Line& last = lines.back();
        last.ending = last.raw.ends_with('\r') ? std::string("\r\n") : newLine;
    }
    Line line;
    line.raw = Encode(text);
    line.ending = newLine;
    line.text = Decode(line.raw);
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
}

void TextLines::Erase(std::size_t i)
{
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i));
}

std::string TextLines::Bytes() const
{
    std::string bytes = byteOrderMark;
    for (const Line& line : lines) {
        bytes += line.raw;
        bytes += line.ending;
    }
    return bytes;
}

} // namespace platform
