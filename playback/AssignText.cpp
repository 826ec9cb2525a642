#include "playback/AssignText.h"

#include "platform/base/Utf16Text.h"
#include "playback/AssignFileFormat.h"

#include <unordered_map>

namespace playback {

namespace {

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

std::span<const std::uint8_t> AsBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// As the next open reads the bytes: a UTF-16 file holds no table.
bool ReadsAs(std::string_view bytes, std::string_view text)
{
    return !textcodec::Utf16TextOrder(AsBytes(bytes)) && ReadAssignText(AsBytes(bytes)).Text == text;
}

} // namespace

AssignText ReadAssignText(std::span<const std::uint8_t> bytes)
{
    const textcodec::Judgement judgement = textcodec::Judge(bytes);
    AssignText read;
    read.Form = {judgement.encoding, textcodec::HasByteOrderMark(bytes), judgement.certain, judgement.supported};
    read.Text = textcodec::Decode(read.Form.ByteOrderMark ? bytes.subspan(3) : bytes, judgement.encoding);
    return read;
}

AssignBytes EncodeAssignText(std::string_view text, std::span<const std::uint8_t> fileBytes, const AssignTextForm& form)
{
    if (textcodec::HasByteOrderMark(fileBytes)) {
        fileBytes = fileBytes.subspan(3);
    }
    // Line ends are found on the bytes: CR and LF never stand inside a
    // character of either encoding.
    const std::string_view raw(reinterpret_cast<const char*>(fileBytes.data()), fileBytes.size());
    std::unordered_map<std::string, std::string_view> kept;
    ForEachLine(raw, [&](std::string_view line, int) {
        kept.emplace(textcodec::Decode(AsBytes(line), form.Encoding), line);
        return true;
    });
    AssignBytes result;
    std::string out(form.ByteOrderMark ? ByteOrderMark : std::string_view());
    std::string firstNew;
    ForEachLine(text, [&](std::string_view line, int) {
        if (const auto found = kept.find(std::string(line)); found != kept.end()) {
            out += found->second;
        } else {
            out += textcodec::Encode(line, form.Encoding);
            // The log names a new line that is not ASCII, else any new one.
            if (firstNew.empty() || (textcodec::IsAscii(firstNew) && !textcodec::IsAscii(line))) {
                firstNew = line;
            }
        }
        out += "\r\n";
        return true;
    });
    // A table in another code page has no encoding of its own that a new
    // text could be written in.
    if (!form.Supported && !textcodec::IsAscii(firstNew)) {
        result.Refused = firstNew;
        return result;
    }
    if (ReadsAs(out, text)) {
        result.Bytes = std::move(out);
        return result;
    }
    if (!form.Certain) {
        result.Refused = firstNew;
        return result;
    }
    if (form.Encoding == textcodec::Encoding::Cp932) {
        result.WentOverToUtf8 = true;
        result.WhyUtf8 = textcodec::DecodeCp932(AsBytes(textcodec::EncodeCp932(text))) == text
                             ? textcodec::ReadBack::TakenForUtf8
                             : textcodec::ReadBack::CharactersNotHeld;
    }
    // UTF-8 text that would read otherwise without a mark reads as it is with
    // one; the going-over stands only as the next open reads it.
    std::string utf8 = std::string(ByteOrderMark) + std::string(text);
    if (!ReadsAs(utf8, text)) {
        result.WentOverToUtf8 = false;
        result.Refused = firstNew;
        return result;
    }
    result.Bytes = std::move(utf8);
    return result;
}

} // namespace playback
