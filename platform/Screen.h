#pragma once

namespace platform {

// Twips per pixel of the primary screen: 1440 / its logical DPI, rounded
// (15 at 96 DPI). 15 when there is no screen.
int ScreenTwipsPerPixel();

} // namespace platform
