#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Texts are UTF-8 inside the program. Files written on the older systems this
// program shares folders with are in code page 932 (Shift-JIS); a buffer that
// is valid UTF-8 is taken as UTF-8, anything else as code page 932.
namespace textcodec {

enum class Encoding { Utf8, Cp932 };

bool IsValidUtf8(std::span<const std::uint8_t> bytes);
bool IsValidUtf8(std::string_view text);
// No byte of the text is above 7F: it reads the same in every encoding here.
bool IsAscii(std::string_view text);

// Which encoding a buffer read from outside is in: UTF-8 when it starts with
// a byte order mark or is valid UTF-8, else code page 932.
Encoding Detect(std::span<const std::uint8_t> bytes);

// A UTF-8 byte order mark (EF BB BF) at the start.
bool HasByteOrderMark(std::span<const std::uint8_t> bytes);

// How every text file the program writes back is read: settings files,
// registry key files and assign tables. A byte order mark means UTF-8. A file
// stays UTF-8 whatever script its text is in, also with a damaged character
// (a stray or cut byte, an overlong form, a surrogate), when its UTF-8
// characters outweigh the damage; code page 932 text, half-width katakana
// included, forms UTF-8 only by chance, and chance characters mix scripts
// inside a word or are rare alone; a Latin letter inside a lowercase word
// ("Sơn", "Azərbaycan") is written text. The other way round, the accented
// letters of UTF-8 and of ISO 8859-1 form code page 932 only by chance: kanji
// or half-width katakana glued to a lowercase Latin letter, a character
// glued between two Latin letters ("São" as "S縊"), a lone half-width
// katakana, a user-defined character. The damaged bytes stay in the decoded
// text, for the reader to refuse the lines that hold them or keep them as
// they are. certain is false where the bytes read well both ways and the
// evidence is thin, or where code page 932 has no text of its own or reads
// a word as chance: a writer then never takes the file over to UTF-8, which
// would write a misreading for good. supported is false where, in doubt,
// the likelier reading has no text of its own either, only the other
// reading's damage and chance against it (a file in another code page, ISO
// 8859-1 or Windows-1252, misread), or where it is UTF-8 and code page 932
// reads as Japanese text too. No encoding is then surely the file's own, and
// a writer adds no line that is not ASCII.
struct Judgement {
    Encoding encoding = Encoding::Utf8;
    bool certain = true;
    bool supported = true;
};
Judgement Judge(std::span<const std::uint8_t> bytes);
// Judge's encoding.
Encoding DetectDespiteStrayBytes(std::span<const std::uint8_t> bytes);

// U+FFFD, which the code page 932 decoder puts in place of a byte it cannot read.
inline constexpr std::string_view ReplacementCharacter = "\xEF\xBF\xBD";

// Decodes code page 932; a byte sequence that is not valid there becomes U+FFFD.
std::string DecodeCp932(std::span<const std::uint8_t> bytes);
// Decodes by Detect, without a byte order mark.
std::string Decode(std::span<const std::uint8_t> bytes);
std::string Decode(std::span<const std::uint8_t> bytes, Encoding encoding);

// Encodes UTF-8 text into code page 932; a character it cannot hold becomes "?".
std::string EncodeCp932(std::string_view utf8);

// Why a code page 932 file went over to UTF-8: code page 932 holds no place
// for some characters and hands others back as look-alikes ("〜" as "～",
// "¥" as "\"); and its bytes can form UTF-8 that the next reading takes for
// UTF-8 ("ﾂｱ" is C2 B1, which reads as "±").
enum class ReadBack {
    Same,
    CharactersNotHeld, // the code page 932 bytes lack characters of the text
    TakenForUtf8,      // they hold the text, but the reader takes them for UTF-8
};
// What a writer logs after the file at path went over to UTF-8 for that reason.
std::string WentOverToUtf8Note(std::string_view path, ReadBack why);
// What a writer logs when it refuses value, which is no UTF-8 text, for the
// file (or key) at path: no file read as text can give it back.
std::string NotUtf8Note(std::string_view path, std::string_view value);
// A text for a log line: every byte that is no part of a UTF-8 character is
// shown as "\xNN", so the log stays UTF-8 and the byte can be told.
std::string ShowingStrayBytes(std::string_view text);
std::string Encode(std::string_view utf8, Encoding encoding);

// Byte length of the UTF-8 character that starts with lead (1 for a stray byte).
std::size_t Utf8CharLength(unsigned char lead);
// Number of characters of a UTF-8 text (a stray byte counts as one).
std::size_t Utf8Length(std::string_view text);
// The first n characters / the last n characters of a UTF-8 text.
std::string_view Utf8Left(std::string_view text, std::size_t n);
std::string_view Utf8Right(std::string_view text, std::size_t n);
// The longest prefix of at most maxBytes bytes that ends on a character boundary.
std::string_view Utf8CutBytes(std::string_view text, std::size_t maxBytes);

} // namespace textcodec
