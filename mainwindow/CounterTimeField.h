#pragma once

#include <cstdint>
#include <optional>

namespace controls {
class UC_TextPicture;
} // namespace controls

// The time field of a counter (the strips' and the monitor window's): the
// time in "Impact" at its size, or smaller where the face that stands in for
// it is wider or the time has more minute digits than two (a sound of 100
// minutes or more, a wave file of many hours), so that the whole time,
// tenths included, always shows. Its left edge keeps the widest time of that
// many digits centred, so the digits stand still while the time runs.
namespace CounterTimeField {

// Adds the field as the counter's next text space, fitted to the counter's
// present size and its frame of frameLines. top: where the field begins
// (twips), none to centre its ink.
void Add(controls::UC_TextPicture& counter, float size, std::optional<std::int32_t> top, int frameLines);

} // namespace CounterTimeField
