#pragma once

#include <cstdint>
#include <span>

namespace platform::audio {

// Mixed samples (-1 .. 1) to a card's integer formats, in the machine's byte order: scaled
// by the format's full scale, held within it, rounded to the nearest integer
// with halves to even (as the cards' own converters do). A sample that is not
// a number becomes silence rather than a full-scale click. Every period of
// every device goes through these, so they convert four samples at a time.
// out has room for the samples in the format.
void FloatsToS16(std::span<const float> samples, std::uint8_t* out);
void FloatsToS32(std::span<const float> samples, std::uint8_t* out);

} // namespace platform::audio
