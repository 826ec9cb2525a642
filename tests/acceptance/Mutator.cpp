#include "Mutator.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace acceptance {

namespace {

// Numbers at and just beyond the limits of the types that read them, and
// texts that look like numbers to a careless reader.
constexpr std::array<std::string_view, 22> ExtremeNumbers{"2147483647",
                                                          "2147483648",
                                                          "-2147483648",
                                                          "-2147483649",
                                                          "4294967295",
                                                          "4294967296",
                                                          "-1",
                                                          "0",
                                                          "-0",
                                                          "99999999999999999999999999",
                                                          "9223372036854775808",
                                                          "32767",
                                                          "32768",
                                                          "-32769",
                                                          "65535",
                                                          "255",
                                                          "256",
                                                          "1e308",
                                                          "&HFFFFFFFFF",
                                                          "&H80000000",
                                                          "0x7FFFFFFF",
                                                          "NaN"};

constexpr std::array<std::string_view, 9> BadUtf8{"\xC3",         "\xFF",     "\xC0\xAF",     "\xED\xA0\x80",
                                                  "\xF0\x9F\x98", "\xE3\x81", "\x80\x80\x80", "\xF8\x88\x80\x80\x80",
                                                  "\x82\xA0\x81"};

constexpr std::array<std::string_view, 12> SeparatorTexts{"\"", ",", "\r", "\n", "\r\n", "=",
                                                          "[",  "]", "\\", "/",  ";",    "\x02"};

bool IsDigit(std::uint8_t byte)
{
    return byte >= '0' && byte <= '9';
}

void InsertText(Bytes& bytes, std::size_t at, std::string_view text)
{
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), text.begin(), text.end());
}

} // namespace

std::uint64_t Mutator::Next()
{
    // splitmix64: small, fast and the same everywhere.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint32_t Mutator::Below(std::uint32_t bound)
{
    return static_cast<std::uint32_t>(Next() % bound);
}

Bytes Mutator::Mutate(std::span<const std::uint8_t> input, std::size_t maxBytes)
{
    Bytes bytes(input.begin(), input.end());
    const std::uint32_t damages = 1 + Below(4);
    for (std::uint32_t i = 0; i < damages; ++i) {
        switch (Below(9)) {
        case 0:
            FlipBits(bytes);
            break;
        case 1:
            Truncate(bytes);
            break;
        case 2:
            ExtremeNumber(bytes);
            break;
        case 3:
            HugeField(bytes, maxBytes);
            break;
        case 4:
            Nuls(bytes);
            break;
        case 5:
            InvalidUtf8(bytes);
            break;
        case 6:
            Separators(bytes);
            break;
        case 7:
            RepeatPiece(bytes, maxBytes);
            break;
        default:
            RandomBytes(bytes);
            break;
        }
    }
    if (bytes.size() > maxBytes) {
        bytes.resize(maxBytes);
    }
    return bytes;
}

void Mutator::FlipBits(Bytes& bytes)
{
    if (bytes.empty()) {
        return;
    }
    const std::uint32_t flips = 1 + Below(8);
    for (std::uint32_t i = 0; i < flips; ++i) {
        bytes[Below(static_cast<std::uint32_t>(bytes.size()))] ^= static_cast<std::uint8_t>(1U << Below(8));
    }
}

void Mutator::Truncate(Bytes& bytes)
{
    if (!bytes.empty()) {
        bytes.resize(Below(static_cast<std::uint32_t>(bytes.size())));
    }
}

void Mutator::ExtremeNumber(Bytes& bytes)
{
    const std::string_view number = ExtremeNumbers[Below(ExtremeNumbers.size())];
    // Replace a run of digits when there is one near a random place, else insert.
    std::size_t at = bytes.empty() ? 0 : Below(static_cast<std::uint32_t>(bytes.size()));
    const auto digit = std::find_if(bytes.begin() + static_cast<std::ptrdiff_t>(at), bytes.end(), IsDigit);
    if (digit != bytes.end()) {
        const auto end = std::find_if_not(digit, bytes.end(), IsDigit);
        at = static_cast<std::size_t>(digit - bytes.begin());
        bytes.erase(digit, end);
    }
    InsertText(bytes, at, number);
}

void Mutator::HugeField(Bytes& bytes, std::size_t maxBytes)
{
    // Long enough to pass any fixed buffer a reader might keep, bounded so a
    // run stays fast.
    const std::size_t room = maxBytes > bytes.size() ? maxBytes - bytes.size() : 0;
    const std::size_t length = std::min<std::size_t>(room, 256 + Below(64 * 1024));
    const std::uint8_t fill = static_cast<std::uint8_t>(Below(3) == 0 ? '9' : 'A' + Below(26));
    const std::size_t at = bytes.empty() ? 0 : Below(static_cast<std::uint32_t>(bytes.size() + 1));
    bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), length, fill);
}

void Mutator::Nuls(Bytes& bytes)
{
    const std::uint32_t count = 1 + Below(4);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = Below(static_cast<std::uint32_t>(bytes.size() + 1));
        if (at < bytes.size() && Below(2) == 0) {
            bytes[at] = 0;
        } else {
            bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), std::uint8_t{0});
        }
    }
}

void Mutator::InvalidUtf8(Bytes& bytes)
{
    const std::size_t at = Below(static_cast<std::uint32_t>(bytes.size() + 1));
    InsertText(bytes, at, BadUtf8[Below(BadUtf8.size())]);
}

void Mutator::Separators(Bytes& bytes)
{
    const std::uint32_t count = 1 + Below(6);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = Below(static_cast<std::uint32_t>(bytes.size() + 1));
        InsertText(bytes, at, SeparatorTexts[Below(SeparatorTexts.size())]);
    }
}

void Mutator::RepeatPiece(Bytes& bytes, std::size_t maxBytes)
{
    if (bytes.empty()) {
        return;
    }
    const std::size_t from = Below(static_cast<std::uint32_t>(bytes.size()));
    const std::size_t length = 1 + Below(static_cast<std::uint32_t>(std::min<std::size_t>(bytes.size() - from, 256)));
    const Bytes piece(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                      bytes.begin() + static_cast<std::ptrdiff_t>(from + length));
    const std::uint32_t repeats = 1 + Below(64);
    for (std::uint32_t i = 0; i < repeats && bytes.size() + length <= maxBytes; ++i) {
        const std::size_t at = Below(static_cast<std::uint32_t>(bytes.size() + 1));
        bytes.insert(bytes.begin() + static_cast<std::ptrdiff_t>(at), piece.begin(), piece.end());
    }
}

void Mutator::RandomBytes(Bytes& bytes)
{
    const std::uint32_t count = 1 + Below(16);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint8_t value = static_cast<std::uint8_t>(Next());
        const std::size_t at = Below(static_cast<std::uint32_t>(bytes.size() + 1));
        if (at < bytes.size()) {
            bytes[at] = value;
        } else {
            bytes.push_back(value);
        }
    }
}

} // namespace acceptance
