#pragma once

#include "platform/base/TextCodec.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The one reader of an assign table's text, which opening a table, its owner
// and sound checks and the cache clean all use, and the writer that checks
// each save against it.
namespace playback {

// How an assign table's bytes were read and are written back: in the
// encoding it was read in, with its byte order mark when it had one. A table
// whose encoding is in doubt (it reads both ways and the evidence is thin)
// never goes over to UTF-8; one that no reading gives text of its own (ISO
// 8859-1, Windows-1252) takes no new line that is not ASCII either.
struct AssignTextForm {
    textcodec::Encoding Encoding = textcodec::Encoding::Utf8;
    bool ByteOrderMark = false;
    bool Certain = true;
    bool Supported = true; // textcodec::Judgement::supported
};

// A table's text (UTF-8, without its byte order mark) and how it was read:
// textcodec::Judge, so UTF-8 when the bytes start with a byte order mark,
// also when a character of it is damaged (its line is then bad), else code
// page 932.
struct AssignText {
    std::string Text;
    AssignTextForm Form;
};
AssignText ReadAssignText(std::span<const std::uint8_t> bytes);

// The bytes that save text (as BuildAssignFile makes it) over a table whose
// bytes are fileBytes, read in form: each line the file holds keeps its
// bytes, any other is encoded in the table's encoding. The bytes stand only
// when ReadAssignText gives the text back. Else a table read for certain goes
// over to UTF-8, with a byte order mark so that no later reading can doubt it;
// a table in doubt is not saved, and Refused names the first line that is new.
// A table without Supported is not saved when a new line is not ASCII.
struct AssignBytes {
    std::optional<std::string> Bytes;
    bool WentOverToUtf8 = false;
    textcodec::ReadBack WhyUtf8 = textcodec::ReadBack::Same;
    std::string Refused;
};
AssignBytes EncodeAssignText(std::string_view text, std::span<const std::uint8_t> fileBytes,
                             const AssignTextForm& form);

} // namespace playback
