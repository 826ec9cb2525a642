#pragma once

#include <cstdint>

namespace platform {

// How a block transfer combines source and destination pixels.
enum class RasterOp : std::uint32_t {
    SrcCopy = 0x00CC0020,   // destination = source
    SrcAnd = 0x008800C6,    // destination = destination AND source (mask rows)
    SrcInvert = 0x00660046, // destination = destination XOR source (image rows)
};

// How lines, boxes and circles combine the pen with the picture below.
enum class DrawMode : int {
    MaskPen = 9,  // picture AND pen: a colour that tints what lies below
    CopyPen = 13, // the pen replaces the picture
};

// The three forms of a line drawn in twips.
enum class LineShape {
    Line,      // from the first point up to, not including, the second
    Box,       // rectangle outline through both corners
    FilledBox, // rectangle with both corners, filled in the line colour
};

// A rectangle in pixels; right and bottom lie just outside it.
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// Edge kinds of a bevelled rectangle: an outer and an inner ring, each
// raised or sunken.
inline constexpr unsigned EdgeRaisedOuter = 0x1;
inline constexpr unsigned EdgeSunkenOuter = 0x2;
inline constexpr unsigned EdgeRaisedInner = 0x4;
inline constexpr unsigned EdgeSunkenInner = 0x8;
inline constexpr unsigned EdgeRaised = EdgeRaisedOuter | EdgeRaisedInner; // 5
inline constexpr unsigned EdgeSunken = EdgeSunkenOuter | EdgeSunkenInner; // 10
inline constexpr unsigned EdgeEtched = EdgeSunkenOuter | EdgeRaisedInner; // 6
inline constexpr unsigned EdgeBump = EdgeRaisedOuter | EdgeSunkenInner;   // 9

// Which sides of the rectangle get the edge, and how.
inline constexpr unsigned EdgeLeft = 0x1;
inline constexpr unsigned EdgeTop = 0x2;
inline constexpr unsigned EdgeRight = 0x4;
inline constexpr unsigned EdgeBottom = 0x8;
inline constexpr unsigned EdgeRect = EdgeLeft | EdgeTop | EdgeRight | EdgeBottom;
// Soft: the outer ring takes the stronger top-left shade (white when raised,
// black when sunken), the inner ring the milder one.
inline constexpr unsigned EdgeSoft = 0x1000;

} // namespace platform
