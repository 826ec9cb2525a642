#pragma once

#include "foundation/Colors.h"
#include "platform/Surface.h"

#include <cstdint>
#include <string_view>

// Frames and outlines drawn on a surface: sunken or raised edges, captioned
// group frames, bevelled frames and gradient outlines. Lengths are twips
// unless said otherwise.
namespace basic {

// A soft edge on all four sides of the rectangle: sunken when the flag is not
// 0, else raised.
void DrawEdgeRect(platform::Surface& picture, std::int32_t left, std::int32_t top, std::int32_t width,
                  std::int32_t height, int sunken);

// A group frame from (x1, y1) to (x2, y2): a bump edge when the caption is
// empty, else a dark and a white outline whose top edge leaves room for the
// caption printed 300 twips from the left.
void DrawButtonFace(platform::Surface& surface, float x1, float y1, float x2, float y2, std::string_view caption);

// A bevel of thickness pixels round the surface, lighter than colour2 at the
// top and left, darker than colour1 at the bottom and right; unless
// keepBackground, the surface is first painted with a diagonal gradient.
void DrawFrame(platform::Surface& surface, Color colour1, Color colour2, int keepBackground, int thickness);

// A rounded rectangle outline (pixels) whose colour runs from colour1 through
// colour2 and back.
void DrawLineHdc(platform::Surface& surface, int left, int top, int right, int bottom, Color colour1, Color colour2,
                 int penWidth);

// A circle (shape 0) or square (shape 1) outline (pixels) with the same
// colour run; another shape draws nothing.
void DrawLineHdc2(platform::Surface& surface, int left, int top, int right, int bottom, Color colour1, Color colour2,
                  int penWidth, int shape);

} // namespace basic
