#pragma once

// The pixels of a one-pixel line, as the error walk from (x1, y1) towards
// (x2, y2) sets them (the end point itself left out), limited to those that
// land on a width x height picture. Each pixel is found from its step number,
// so a line that runs far outside the picture costs only what lands on it:
// a background pattern on a picture thousands of pixels wide stays quick.
// Coordinates must lie within +-2^20 (the surface holds them there).
#include <functional>

namespace platform {

void ForEachPixelOnPicture(int x1, int y1, int x2, int y2, int width, int height,
                           const std::function<void(int x, int y)>& plot);

} // namespace platform
