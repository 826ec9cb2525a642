#pragma once

#include <QFont>

#include <memory>
#include <string>

namespace platform {

// A font request as the program's font routines describe it.
struct LogicalFont {
    int height = 0; // character cell height in pixels (ascent plus descent)
    int weight = 0; // 0 the face's normal weight, else 1..1000 (400 normal, 700 bold)
    bool italic = false;
    int charSet = 0; // 128 Shift-JIS, 0 ANSI; the installed face decides the glyphs
    std::string faceName;
};

// A created font: what Qt draws with, and the cell it stands for. Text is laid
// out in whole cells, so a row of text is exactly as high as requested even
// where the installed face only comes in other pixel sizes.
struct Font {
    QFont face;
    int cellHeight = 0;
    int ascent = 0; // from the top of the cell to the baseline
};

using FontHandle = std::shared_ptr<const Font>;

} // namespace platform
