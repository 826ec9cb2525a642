#include "platform/SysColors.h"

#include <array>

namespace platform {

namespace {

// The classic desktop scheme: a grey button face with white highlights and
// black dark shadows, the look the program's pictures are drawn for.
constexpr std::array<Color, 31> sysColorTable{
    Rgb(192, 192, 192), // scroll bar
    Rgb(0, 128, 128),   // desktop
    Rgb(0, 0, 128),     // active caption
    Rgb(128, 128, 128), // inactive caption
    Rgb(192, 192, 192), // menu
    Rgb(255, 255, 255), // window
    Rgb(0, 0, 0),       // window frame
    Rgb(0, 0, 0),       // menu text
    Rgb(0, 0, 0),       // window text
    Rgb(255, 255, 255), // caption text
    Rgb(192, 192, 192), // active border
    Rgb(192, 192, 192), // inactive border
    Rgb(128, 128, 128), // application workspace
    Rgb(0, 0, 128),     // highlight
    Rgb(255, 255, 255), // highlight text
    Rgb(192, 192, 192), // button face
    Rgb(128, 128, 128), // button shadow
    Rgb(128, 128, 128), // grey text
    Rgb(0, 0, 0),       // button text
    Rgb(192, 192, 192), // inactive caption text
    Rgb(255, 255, 255), // button highlight
    Rgb(0, 0, 0),       // 3-D dark shadow
    Rgb(223, 223, 223), // 3-D light
    Rgb(0, 0, 0),       // tool tip text
    Rgb(255, 255, 225), // tool tip background
    Rgb(0, 0, 0),       // (no colour at this index)
    Rgb(0, 0, 255),     // hot-tracked item
    Rgb(16, 132, 208),  // active caption gradient
    Rgb(181, 181, 181), // inactive caption gradient
    Rgb(0, 0, 128),     // menu highlight
    Rgb(192, 192, 192), // menu bar
};

} // namespace

Color GetSysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(sysColorTable.size())) {
        return 0;
    }
    return sysColorTable[static_cast<std::size_t>(index)];
}

Color ResolveColor(Color color)
{
    if (IsSystemColor(color)) {
        return GetSysColor(static_cast<int>(static_cast<std::uint32_t>(color) & 0xFFu));
    }
    return static_cast<Color>(static_cast<std::uint32_t>(color) & 0xFFFFFFu);
}

} // namespace platform
