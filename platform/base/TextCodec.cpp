#include "platform/base/TextCodec.h"

#include <cerrno>
#include <iconv.h>
#include <mutex>
#include <optional>
#include <vector>

namespace textcodec {

namespace {

// The length of the valid UTF-8 character of more than one byte at i, or 0
// when the bytes there are no such character.
std::size_t MultiByteCharAt(std::span<const std::uint8_t> bytes, std::size_t i)
{
    const std::uint8_t c = bytes[i];
    std::size_t len = 0;
    std::uint32_t cp = 0;
    if (c >= 0xC2 && c <= 0xDF) {
        len = 2;
        cp = c & 0x1Fu;
    } else if (c >= 0xE0 && c <= 0xEF) {
        len = 3;
        cp = c & 0x0Fu;
    } else if (c >= 0xF0 && c <= 0xF4) {
        len = 4;
        cp = c & 0x07u;
    } else {
        return 0;
    }
    if (i + len > bytes.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const std::uint8_t t = bytes[i + k];
        if ((t & 0xC0u) != 0x80u) {
            return 0;
        }
        cp = (cp << 6) | (t & 0x3Fu);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) || (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

} // namespace

bool IsValidUtf8(std::span<const std::uint8_t> bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] < 0x80) {
            ++i;
            continue;
        }
        const std::size_t len = MultiByteCharAt(bytes, i);
        if (len == 0) {
            return false;
        }
        i += len;
    }
    return true;
}

bool IsValidUtf8(std::string_view text)
{
    return IsValidUtf8(std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

Encoding Detect(std::span<const std::uint8_t> bytes)
{
    return IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Cp932;
}

Encoding DetectDespiteStrayBytes(std::span<const std::uint8_t> bytes)
{
    std::size_t characters = 0;
    std::size_t strays = 0;
    bool afterStray = false;
    std::size_t i = 0;
    while (i < bytes.size()) {
        if (bytes[i] < 0x80) {
            ++i;
            afterStray = false;
            continue;
        }
        if (const std::size_t len = MultiByteCharAt(bytes, i); len != 0) {
            // Half-width katakana of code page 932 pair up into two-byte UTF-8
            // characters ("ﾃｰ" is C3 B0); only longer ones, as every kana and
            // kanji is, weigh against the stray bytes.
            if (len > 2) {
                ++characters;
            }
            i += len;
            afterStray = false;
            continue;
        }
        // Code page 932 text has runs of such bytes; UTF-8 damaged here and
        // there has them one at a time.
        if (afterStray) {
            return Encoding::Cp932;
        }
        ++strays;
        ++i;
        afterStray = true;
    }
    return strays == 0 || strays < characters ? Encoding::Utf8 : Encoding::Cp932;
}

namespace {

// iconv descriptors are not thread-safe; conversions are rare and short, so
// one lock per direction keeps them usable from any thread.
struct Converter {
    Converter(const char* to, const char* from) : cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (cd != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    iconv_t cd;
    std::mutex lock;
};

Converter& FromCp932()
{
    static Converter converter("UTF-8", "CP932");
    return converter;
}

Converter& ToCp932()
{
    static Converter converter("CP932", "UTF-8");
    return converter;
}

// Runs a conversion; an input sequence the converter refuses is skipped by
// skip(in) bytes and replaced by `replacement`.
std::string Convert(Converter& converter, const char* data, std::size_t size, std::string_view replacement,
                    std::size_t (*skip)(const char*, std::size_t))
{
    std::string out;
    if (converter.cd == reinterpret_cast<iconv_t>(-1)) {
        return std::string(data, size);
    }
    std::lock_guard guard(converter.lock);
    iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
    std::vector<char> buffer(size * 4 + 16);
    char* in = const_cast<char*>(data);
    std::size_t inLeft = size;
    while (inLeft > 0) {
        char* outPtr = buffer.data();
        std::size_t outLeft = buffer.size();
        const std::size_t r = iconv(converter.cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer.data(), static_cast<std::size_t>(outPtr - buffer.data()));
        if (r != static_cast<std::size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            continue;
        }
        // EILSEQ or EINVAL (a sequence cut at the end): replace and go on.
        const std::size_t step = skip(in, inLeft);
        out.append(replacement);
        in += step;
        inLeft -= step;
        iconv(converter.cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::size_t SkipOneByte(const char*, std::size_t)
{
    return 1;
}

std::size_t SkipOneUtf8Char(const char* data, std::size_t left)
{
    const std::size_t len = Utf8CharLength(static_cast<unsigned char>(*data));
    return len > left ? left : len;
}

} // namespace

std::string DecodeCp932(std::span<const std::uint8_t> bytes)
{
    return Convert(FromCp932(), reinterpret_cast<const char*>(bytes.data()), bytes.size(), "\xEF\xBF\xBD", SkipOneByte);
}

std::string Decode(std::span<const std::uint8_t> bytes)
{
    return Decode(bytes, Detect(bytes));
}

std::string Decode(std::span<const std::uint8_t> bytes, Encoding encoding)
{
    if (encoding == Encoding::Utf8) {
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    return DecodeCp932(bytes);
}

std::string EncodeCp932(std::string_view utf8)
{
    return Convert(ToCp932(), utf8.data(), utf8.size(), "?", SkipOneUtf8Char);
}

ReadBack ReadBackOf(std::span<const std::uint8_t> bytes, std::string_view text, Detector detect)
{
    const Encoding encoding = detect(bytes);
    if (Decode(bytes, encoding) == text) {
        return ReadBack::Same;
    }
    // Bytes that code page 932 reads as the text lose nothing; only the
    // reader's judgement of them is wrong.
    return encoding == Encoding::Utf8 && DecodeCp932(bytes) == text ? ReadBack::TakenForUtf8
                                                                    : ReadBack::CharactersNotHeld;
}

std::optional<std::string> EncodeCp932ReadingBack(std::string_view text, Detector detect, ReadBack* why)
{
    std::string bytes = EncodeCp932(text);
    const ReadBack readBack =
        ReadBackOf(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), text, detect);
    if (why != nullptr) {
        *why = readBack;
    }
    if (readBack != ReadBack::Same) {
        return std::nullopt;
    }
    return bytes;
}

std::string WentOverToUtf8Note(std::string_view path, ReadBack why)
{
    if (why == ReadBack::TakenForUtf8) {
        return std::string(path) + ": its code page 932 bytes would read as UTF-8; saved as UTF-8";
    }
    return std::string(path) + " holds characters code page 932 cannot hold; saved as UTF-8";
}

std::string NotUtf8Note(std::string_view path, std::string_view value)
{
    return std::string(path) + " cannot hold \"" + ShowingStrayBytes(value) +
           "\", which is no UTF-8 text; the old value stays";
}

std::string ShowingStrayBytes(std::string_view text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    const std::span<const std::uint8_t> bytes(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    std::string shown;
    std::size_t i = 0;
    while (i < bytes.size()) {
        std::size_t len = bytes[i] < 0x80 ? 1 : MultiByteCharAt(bytes, i);
        if (len != 0) {
            shown.append(text.substr(i, len));
        } else {
            shown += "\\x";
            shown += hex[bytes[i] >> 4];
            shown += hex[bytes[i] & 0x0F];
            len = 1;
        }
        i += len;
    }
    return shown;
}

std::string Encode(std::string_view utf8, Encoding encoding)
{
    return encoding == Encoding::Utf8 ? std::string(utf8) : EncodeCp932(utf8);
}

std::size_t Utf8CharLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4) {
        return 4;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        return 3;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return 2;
    }
    return 1;
}

namespace {

// Byte length of the character at position i, never past the end and never
// swallowing bytes that do not continue it.
std::size_t CharAt(std::string_view text, std::size_t i)
{
    const std::size_t len = Utf8CharLength(static_cast<unsigned char>(text[i]));
    std::size_t k = 1;
    while (k < len && i + k < text.size() && (static_cast<unsigned char>(text[i + k]) & 0xC0u) == 0x80u) {
        ++k;
    }
    return k;
}

} // namespace

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharAt(text, i)) {
        ++count;
    }
    return count;
}

std::string_view Utf8Left(std::string_view text, std::size_t n)
{
    std::size_t i = 0;
    for (std::size_t c = 0; c < n && i < text.size(); ++c) {
        i += CharAt(text, i);
    }
    return text.substr(0, i);
}

std::string_view Utf8Right(std::string_view text, std::size_t n)
{
    const std::size_t total = Utf8Length(text);
    if (n >= total) {
        return text;
    }
    std::size_t i = 0;
    for (std::size_t c = 0; c < total - n; ++c) {
        i += CharAt(text, i);
    }
    return text.substr(i);
}

std::string_view Utf8CutBytes(std::string_view text, std::size_t maxBytes)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const std::size_t len = CharAt(text, i);
        if (i + len > maxBytes) {
            break;
        }
        i += len;
    }
    return text.substr(0, i);
}

} // namespace textcodec
