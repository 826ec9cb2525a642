#pragma once

#include "platform/base/TextCodec.h"
#include "platform/base/Utf16Text.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// How the refusal of every change to a file that takes none ends: it names
// no value, as it is the same for all.
inline constexpr std::string_view TakesNoChange = "; no value is saved into it";

// A small text file (an INI file, a registry key file) held as lines that keep
// their exact bytes. Each line is decoded once for reading, in the encoding
// judged on the whole file (textcodec::Judge, as for assign tables: a UTF-8
// file with a stray byte stays UTF-8, the byte kept in its line's text); only
// lines that are replaced or added are encoded again, in the file's own
// encoding and with its own line end. So a rewrite leaves every other line as
// it was, even a damaged one. Every change is checked as the next read will
// judge the new bytes: it stands only when each line then reads as it reads
// now. A code page 932 file whose bytes after a change would not read so goes
// over to UTF-8 whole, with a byte order mark so that no later reading can
// doubt it; only then are its other lines re-encoded. It goes over only from
// a certain reading that read every byte: a file that reads both ways (in
// doubt), or has bytes code page 932 cannot read, may be something else
// misjudged, and going over would write its misread texts for good. Such a
// change, one that would make a UTF-8 file read otherwise, and a line that
// is no UTF-8 text (every line is read as text) are refused, leaving
// everything as it was.
// A line ends at CR LF, LF or a CR alone, and keeps its own end; an added
// line takes the file's first line end.
// A byte order mark decides the encoding, whatever follows it: a UTF-16 one
// makes the file UTF-16 of its order, a UTF-8 one UTF-8. Without a mark a
// file is UTF-16 only when it is UTF-16 text of one order from start to end
// (textcodec::Utf16OrderWithoutMark). A UTF-16 file's lines are read and
// written in UTF-16 of its order, and it keeps or lacks its mark; a change
// that an unmarked file could not hold and still be told UTF-16 of its order
// for certain is refused. One without a mark whose order its settings lines
// do not tell (textcodec::Utf16OrderInDoubt) is read in the likelier order
// and refuses every change: a line written in the wrong order would run on
// the last value of the right one.
// One with a UTF-16 mark whose bytes are no UTF-16 text (an odd count, a
// broken surrogate pair, UTF-32) reads as no lines and refuses every change.
// A file that is not UTF-16 but holds zero bytes (a UTF-16 line added by
// another tool, a stretch zeroed by a crash) is read as 8-bit text and
// refuses every change: 8-bit lines in it would mix encodings for good. A
// refused change leaves the file byte for byte as it was.
class TextLines {
public:
    TextLines() = default;
    explicit TextLines(std::string_view bytes);

    std::size_t Count() const { return lines.size(); }
    // The decoded text of line i, without its line end.
    const std::string& Text(std::size_t i) const { return lines[i].text; }
    textcodec::Encoding Encoding() const { return encoding; }
    // False when the file reads both ways and the judgement may be wrong.
    bool Certain() const { return certain; }
    // True once a change made a code page 932 file UTF-8, and why.
    bool WentOverToUtf8() const { return wentOverToUtf8; }
    textcodec::ReadBack WhyUtf8() const { return whyUtf8; }

    // Each returns false for a refused change, changing nothing; Replace and
    // Insert refuse text that is no UTF-8.
    bool Replace(std::size_t i, std::string_view text);
    // Inserts a line before line i (i == Count() appends).
    bool Insert(std::size_t i, std::string_view text);
    bool Erase(std::size_t i);
    // Why the last change was refused for the file's encoding, or "" (also
    // when it was refused for text that is no UTF-8).
    const std::string& Refusal() const { return refusal; }

    // The file's bytes.
    std::string Bytes() const;

private:
    struct Line {
        std::string raw;    // bytes without the line end
        std::string ending; // "\r\n", "\n", "\r", or for the last line "" (unfinished)
        std::string text;   // decoded
    };

    // bytes start with the order's mark when marked.
    void ReadUtf16(std::string_view bytes, textcodec::Utf16Order order, bool marked);
    // Cuts body into lines at their ends; finish(line) fills in the line's
    // raw bytes and text from the part of body it was given in raw.
    template <class Finish> void Split(std::string_view body, Finish finish);
    std::string Decode(std::string_view raw) const;
    std::string Encode(std::string_view text) const;
    Line MakeLine(std::string_view text, std::string ending) const;
    // Applies a change to lines, then keeps the file reading back as its
    // texts, going over to UTF-8 where that helps; else puts everything back
    // and names the line (added, replaced or removed) in the refusal.
    template <class Change> bool Apply(std::string_view line, Change change);
    // False when the bytes would not read back as the lines' texts and going
    // over to UTF-8 cannot help; goes over when it can.
    bool KeepReadingBack();
    enum class NextReading { Same, LinesJoined, Otherwise };
    // How the next read of the bytes, judged afresh, gives the lines' texts.
    NextReading ReadBack() const;
    // False, with the refusal, for a text that is not ASCII in a file that
    // no reading gives text of its own (textcodec::Judgement::supported).
    bool TakesText(std::string_view text);
    void GoOverToUtf8();
    std::string Body() const;

    std::vector<Line> lines;
    std::string byteOrderMark;
    // The line end of added lines, as text ("\r\n", "\n", "\r"): UTF-16
    // files hold them encoded.
    std::string newLine = "\n";
    // The byte order of a UTF-16 file.
    std::optional<textcodec::Utf16Order> utf16;
    // A UTF-16 file without a mark whose order cannot be told
    // (textcodec::Utf16OrderInDoubt): it takes no change.
    bool utf16InDoubt = false;
    // Zero bytes in a file that is no UTF-16 text: it takes no change.
    bool zeroBytes = false;
    // Why a file with a UTF-16 mark cannot be read, and its bytes, kept whole.
    std::string unreadable;
    std::string unreadableBytes;
    textcodec::Encoding encoding = textcodec::Encoding::Utf8;
    // The judgement of the encoding is not in doubt.
    bool certain = true;
    bool supported = true;
    // Every byte was read as text in the file's encoding: no code page 932
    // byte became U+FFFD.
    bool readWhole = true;
    std::string refusal;
    bool wentOverToUtf8 = false;
    textcodec::ReadBack whyUtf8 = textcodec::ReadBack::Same;
};

} // namespace platform
