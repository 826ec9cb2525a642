#pragma once

#include "foundation/Colors.h"
#include "platform/Surface.h"

// Painting the face of a surface in one of the background styles -2..15:
// plain fill, three-colour gradients, bevels, an inset panel, concentric
// rounded rectangles or circles, and brushed metal.
namespace basic {

// Value of a style-13 argument left to its default.
inline constexpr int DefaultShapeValue = -99999;

// Paints the surface in a style; colour -1 takes the default shade (white, the
// light face, the shadow). radius and centre (pixels) matter to style 13 only.
// Another style, or a surface on which a style's steps cannot be taken,
// leaves the surface as far as it got.
void PaintBackground(platform::Surface& surface, int style, Color colour1, Color colour2, Color colour3,
                     int radius = DefaultShapeValue, int centreX = DefaultShapeValue, int centreY = DefaultShapeValue);

} // namespace basic
