#pragma once

// Sizes of the main window that follow the display's size factor.
namespace DisplaySizes {

// Font sizes in whole points: 9 (small) and 12 (large) x the size factor,
// rounded half to even.
int SmallFont(float sizeFactor);
int LargeFont(float sizeFactor);
// A length x the size factor, rounded half to even to whole twips, then cut
// down to whole pixels.
int Snap(double twips, float sizeFactor, int twipsPerPixel);
// A length x the size factor, rounded half to even to whole twips.
int Scaled(double twips, float sizeFactor);

} // namespace DisplaySizes
