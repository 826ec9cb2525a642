#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace acceptance {

using Bytes = std::vector<std::uint8_t>;

// Damages well-formed inputs the ways files, ports and peers damage them:
// flipped bits, cut ends, numbers at and beyond the limits of their types,
// huge fields, NULs and invalid UTF-8. Deterministic for a seed, on every
// platform (its own generator, no library distributions).
class Mutator {
public:
    explicit Mutator(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL) {}

    // A damaged copy of input with one to four damages, at most maxBytes long.
    Bytes Mutate(std::span<const std::uint8_t> input, std::size_t maxBytes);

    // 0 .. bound - 1 (bound > 0).
    std::uint32_t Below(std::uint32_t bound);
    std::uint64_t Next();

private:
    void FlipBits(Bytes& bytes);
    void Truncate(Bytes& bytes);
    void ExtremeNumber(Bytes& bytes);
    void HugeField(Bytes& bytes, std::size_t maxBytes);
    void Nuls(Bytes& bytes);
    void InvalidUtf8(Bytes& bytes);
    void Separators(Bytes& bytes);
    void RepeatPiece(Bytes& bytes, std::size_t maxBytes);
    void RandomBytes(Bytes& bytes);

    std::uint64_t state_;
};

inline Bytes ToBytes(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}
inline std::string ToText(std::span<const std::uint8_t> bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

} // namespace acceptance
