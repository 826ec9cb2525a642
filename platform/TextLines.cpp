#include "platform/TextLines.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>
#include <utility>

namespace platform {

namespace {

constexpr std::string_view Utf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr const char* LinesJoinedRefusal =
    "a line end of a CR alone would run into the line end after it, and two lines would read as one; not saved";

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// Lines with zero bytes (a UTF-16 line, a stretch zeroed by a crash) are no
// 8-bit text: only the other lines, and a mark, tell the file's encoding.
// One or two stray zero bytes leave their lines the 8-bit text they are.
textcodec::Judgement JudgeEightBitLines(std::string_view bytes)
{
    const bool stray = std::count(bytes.begin(), bytes.end(), '\0') <= 2;
    std::string text(bytes.substr(0, bytes.starts_with(Utf8ByteOrderMark) ? Utf8ByteOrderMark.size() : 0));
    for (std::size_t start = text.size(); start < bytes.size();) {
        const std::size_t end = std::min(bytes.find_first_of("\r\n", start), bytes.size() - 1) + 1;
        const std::string_view line = bytes.substr(start, end - start);
        if (stray || line.find('\0') == std::string_view::npos) {
            std::copy_if(line.begin(), line.end(), std::back_inserter(text), [](char c) { return c != '\0'; });
        }
        start = end;
    }
    return textcodec::Judge(AsBytes(text));
}

} // namespace

TextLines::TextLines(std::string_view bytes)
{
    // A mark decides; without one, only bytes that are UTF-16 text from
    // start to end are UTF-16.
    if (const textcodec::Utf16Judgement utf16Text = textcodec::JudgeUtf16(AsBytes(bytes)); utf16Text.order) {
        utf16InDoubt = utf16Text.inDoubt;
        ReadUtf16(bytes, *utf16Text.order, textcodec::Utf16ByteOrderMark(AsBytes(bytes)).has_value());
        return;
    }
    // Zero bytes beside 8-bit text: a UTF-16 stretch, or text of an order
    // that could not be told. 8-bit lines written into it would mix
    // encodings for good.
    zeroBytes = bytes.find('\0') != std::string_view::npos;
    const textcodec::Judgement judgement = JudgeEightBitLines(bytes);
    encoding = judgement.encoding;
    certain = judgement.certain;
    supported = judgement.supported;
    if (bytes.starts_with(Utf8ByteOrderMark)) {
        byteOrderMark = Utf8ByteOrderMark;
        bytes.remove_prefix(Utf8ByteOrderMark.size());
    }
    Split(bytes, [&](Line& line) {
        line.text = Decode(line.raw);
        if (encoding == textcodec::Encoding::Cp932 &&
            line.text.find(textcodec::ReplacementCharacter) != std::string::npos) {
            readWhole = false;
        }
    });
}

void TextLines::ReadUtf16(std::string_view bytes, textcodec::Utf16Order order, bool marked)
{
    const std::string_view body = marked ? bytes.substr(textcodec::Utf16MarkSize) : bytes;
    textcodec::Utf16Reading reading = textcodec::DecodeUtf16(AsBytes(body), order);
    // FF FE 00 00 is the mark of UTF-32, whose characters UTF-16 would
    // read as pairs with a NUL.
    if (marked && order == textcodec::Utf16Order::LittleEndian && body.starts_with(std::string_view("\0\0", 2))) {
        reading = {std::nullopt, "a UTF-32 byte order mark"};
    }
    if (!reading.text) {
        // Read as anything else, its values would be misread, and a save
        // would write 8-bit lines into it: it is left whole as it is.
        unreadable = "it starts with a UTF-16 byte order mark but is no UTF-16 text (" + reading.failure +
                     "); nothing in it is read, and it is left as it is";
        unreadableBytes = bytes;
        return;
    }
    utf16 = order;
    byteOrderMark = marked ? textcodec::Utf16Mark(order) : std::string();
    // Every UTF-16 text has one UTF-8 text, so each line's bytes are those
    // of its text, and a line that is not changed keeps them.
    Split(*reading.text, [&](Line& line) {
        line.text = std::move(line.raw);
        line.raw = Encode(line.text);
    });
}

template <class Finish> void TextLines::Split(std::string_view body, Finish finish)
{
    bool newLineKnown = false;
    std::size_t start = 0;
    while (start < body.size()) {
        // A line ends at CR LF, at LF, or at a CR alone (an old Macintosh
        // line end, or a line edited on another system).
        const std::size_t end = body.find_first_of("\r\n", start);
        Line line;
        if (end == std::string_view::npos) {
            line.raw = body.substr(start);
            start = body.size();
        } else {
            const bool crlf = body[end] == '\r' && end + 1 < body.size() && body[end + 1] == '\n';
            line.ending = crlf                ? std::string_view("\r\n")
                          : body[end] == '\r' ? std::string_view("\r")
                                              : std::string_view("\n");
            line.raw = body.substr(start, end - start);
            start = end + line.ending.size();
            if (!newLineKnown) {
                newLine = line.ending;
                newLineKnown = true;
            }
        }
        finish(line);
        lines.push_back(std::move(line));
    }
}

std::string TextLines::Decode(std::string_view raw) const
{
    return textcodec::Decode(AsBytes(raw), encoding);
}

std::string TextLines::Encode(std::string_view text) const
{
    if (utf16) {
        return textcodec::EncodeUtf16(text, *utf16);
    }
    return textcodec::Encode(text, encoding);
}

TextLines::Line TextLines::MakeLine(std::string_view text, std::string ending) const
{
    Line line;
    line.raw = Encode(text);
    line.ending = std::move(ending);
    line.text = text;
    return line;
}

bool TextLines::TakesText(std::string_view text)
{
    // A file that takes no change says so, whatever the text.
    if (supported || textcodec::IsAscii(text) || zeroBytes) {
        return true;
    }
    // No reading gives the file text of its own: it is in another code page,
    // and a new text in either encoding would be a line unlike the others.
    refusal = "it reads as neither UTF-8 nor code page 932 text; a text that is not ASCII is not saved: \"" +
              textcodec::ShowingStrayBytes(text) + "\"";
    return false;
}

template <class Change> bool TextLines::Apply(std::string_view line, Change change)
{
    refusal.clear();
    if (!unreadable.empty()) {
        refusal = unreadable + std::string(TakesNoChange);
        return false;
    }
    if (zeroBytes) {
        refusal = "it holds zero bytes beside its text, as UTF-16 does, but reads as settings lines in no one "
                  "byte order, so " +
                  std::string(textcodec::ByteOrderUntold) + "; nothing is written into it, and it is left as it is" +
                  std::string(TakesNoChange);
        return false;
    }
    if (utf16InDoubt) {
        // Written in the order it is read in, a line could run on a value of
        // the other order, which had no line end to stop it.
        refusal = "it is UTF-16 without a byte order mark that reads as settings lines in neither byte order, so " +
                  std::string(textcodec::ByteOrderUntold) + "; nothing is written into it, and it is left as it is" +
                  std::string(TakesNoChange);
        return false;
    }
    std::vector<Line> before = lines;
    change();
    if (!KeepReadingBack()) {
        lines = std::move(before);
        // The log names the key and the value that were not saved.
        refusal += ": \"" + textcodec::ShowingStrayBytes(line) + "\"";
        return false;
    }
    return true;
}

TextLines::NextReading TextLines::ReadBack() const
{
    const TextLines next(Bytes());
    // Its order in doubt, UTF-16 no longer reads as UTF-16 of its order.
    if (next.utf16InDoubt != utf16InDoubt) {
        return NextReading::Otherwise;
    }
    const bool sameKind = next.utf16 == utf16 && (utf16 || next.encoding == encoding);
    if (next.lines.size() != lines.size()) {
        // Read as before, a line end of a CR alone met the LF of an empty
        // line after it: one line end where there were two.
        return sameKind ? NextReading::LinesJoined : NextReading::Otherwise;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (next.lines[i].text != lines[i].text) {
            return NextReading::Otherwise;
        }
    }
    return NextReading::Same;
}

bool TextLines::KeepReadingBack()
{
    const NextReading next = ReadBack();
    if (next == NextReading::Same) {
        return true;
    }
    if (next == NextReading::LinesJoined) {
        refusal = LinesJoinedRefusal;
        return false;
    }
    if (utf16) {
        // UTF-16 holds every text; only one without a mark can read
        // otherwise, when its order could no longer be told. It stays
        // without a mark, as the tool that wrote it wants it.
        refusal = "as UTF-16 without a byte order mark it would no longer read as UTF-16 of its order after the "
                  "change; not saved";
        return false;
    }
    if (encoding == textcodec::Encoding::Utf8) {
        // A first line that begins with the mark's bytes would lose them to
        // the next read as the file's mark: a mark of the file's own keeps
        // them the line's.
        if (certain && byteOrderMark.empty() && Body().starts_with(Utf8ByteOrderMark)) {
            byteOrderMark = Utf8ByteOrderMark;
            if (ReadBack() == NextReading::Same) {
                return true;
            }
            byteOrderMark.clear();
        }
        refusal = certain ? "its stray bytes would make it read as code page 932; not saved"
                          : "it reads as UTF-8 and as code page 932 alike, and after the change it would read "
                            "otherwise; not saved";
        return false;
    }
    if (!readWhole) {
        refusal = "going over to UTF-8 would write for good what code page 932 could not read in it; not saved";
        return false;
    }
    if (!certain) {
        // Its lines may be UTF-8 misread: going over would write them so for good.
        refusal = "it may be UTF-8 read as code page 932; going over to UTF-8 could write that for good; not saved";
        return false;
    }
    // The going-over is a save like any other: it stands only as the next
    // start reads it.
    TextLines over = *this;
    over.GoOverToUtf8();
    if (const NextReading overNext = over.ReadBack(); overNext != NextReading::Same) {
        refusal = overNext == NextReading::LinesJoined
                      ? LinesJoinedRefusal
                      : "even gone over to UTF-8 it would read otherwise after the change; not saved";
        return false;
    }
    *this = std::move(over);
    return true;
}

void TextLines::GoOverToUtf8()
{
    // Text that code page 932 holds, and that is read back otherwise, was
    // taken for UTF-8.
    whyUtf8 = textcodec::ReadBack::TakenForUtf8;
    for (Line& line : lines) {
        if (textcodec::DecodeCp932(AsBytes(line.raw)) != line.text) {
            whyUtf8 = textcodec::ReadBack::CharactersNotHeld;
        }
        line.raw = line.text;
    }
    // The mark makes every later reading UTF-8 for certain.
    byteOrderMark = Utf8ByteOrderMark;
    encoding = textcodec::Encoding::Utf8;
    certain = true;
    wentOverToUtf8 = true;
}

bool TextLines::Replace(std::size_t i, std::string_view text)
{
    refusal.clear();
    if (lines[i].text == text) {
        return true; // its bytes stay as they are
    }
    if (!textcodec::IsValidUtf8(text) || !TakesText(text)) {
        return false;
    }
    return Apply(text, [&] { lines[i] = MakeLine(text, lines[i].ending); });
}

bool TextLines::Insert(std::size_t i, std::string_view text)
{
    refusal.clear();
    if (!textcodec::IsValidUtf8(text) || !TakesText(text)) {
        return false;
    }
    return Apply(text, [&] {
        // A line added after an unfinished last line finishes it first.
        if (i == lines.size() && !lines.empty() && lines.back().ending.empty()) {
            lines.back().ending = newLine;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(i), MakeLine(text, newLine));
    });
}

bool TextLines::Erase(std::size_t i)
{
    // What is left may read otherwise without the line's bytes.
    const std::string removed = lines[i].text;
    return Apply(removed, [&] { lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(i)); });
}

std::string TextLines::Body() const
{
    std::string bytes;
    for (const Line& line : lines) {
        bytes += line.raw;
        bytes += utf16 ? textcodec::EncodeUtf16(line.ending, *utf16) : line.ending;
    }
    return bytes;
}

std::string TextLines::Bytes() const
{
    if (!unreadable.empty()) {
        return unreadableBytes;
    }
    return byteOrderMark + Body();
}

} // namespace platform
