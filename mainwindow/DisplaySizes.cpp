#include "mainwindow/DisplaySizes.h"

#include "platform/base/Numbers.h"

namespace DisplaySizes {

int Scaled(double twips, float sizeFactor)
{
    return static_cast<int>(numeric::RoundToInt64(twips * static_cast<double>(sizeFactor)));
}

int SmallFont(float sizeFactor)
{
    return Scaled(9, sizeFactor);
}

int LargeFont(float sizeFactor)
{
    return Scaled(12, sizeFactor);
}

int Snap(double twips, float sizeFactor, int twipsPerPixel)
{
    const int whole = Scaled(twips, sizeFactor);
    return twipsPerPixel > 0 ? whole / twipsPerPixel * twipsPerPixel : whole;
}

} // namespace DisplaySizes
