#pragma once

#include <cstdint>
#include <span>

namespace platform::audio {

// Mixed samples (-1 .. 1) to a card's formats. The integer formats are
// scaled by their full scale, held within it and rounded to the nearest
// integer with halves to even (as the cards' own converters do); floats are
// held within -1 .. 1. A sample that is not a number becomes silence rather
// than a full-scale click. Every period of every device goes through these:
// the common 16- and 32-bit formats convert four samples at a time.
// out has room for the samples in the format.
void FloatsToS16(std::span<const float> samples, std::uint8_t* out); // machine byte order
void FloatsToS32(std::span<const float> samples, std::uint8_t* out); // machine byte order
// 24 bits little-endian, in the low three bytes of four (the fourth repeats
// the sign) or packed in three bytes.
void FloatsToS24(std::span<const float> samples, std::uint8_t* out, bool packed);
void FloatsToFloat(std::span<const float> samples, std::uint8_t* out); // machine byte order

} // namespace platform::audio
