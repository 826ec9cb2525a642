#pragma once

#include "platform/Surface.h"

#include <cstdint>
#include <string_view>

class UC_Check;

namespace basic {

// Sets up a check box in one call: the shared box image (when given), its
// background from the picture at its own position, then font size, size rate,
// caption and value, in this order.
void ApplySkin(UC_Check& control, std::string_view caption, std::int32_t value, const platform::Surface* picture,
               float fontSize, platform::Surface* gradHdc, float sizeRate);

} // namespace basic
