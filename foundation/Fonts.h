#pragma once

#include "foundation/FontedControl.h"
#include "platform/Font.h"
#include "platform/FontWindow.h"

#include <string>
#include <string_view>
#include <vector>

// The program's table of created fonts. Controls keep indexes into it and
// pass them back to apply the same font again cheaply; an index stays valid
// until FreeFont empties the table.
namespace basic {

struct FontCacheEntry {
    platform::FontHandle Handle;
    float Size = 0;
    bool Bold = false;
    bool Italic = false;
    std::string FaceName;
    // 1 / 1.34 for "メイリオ", whose cell is made taller; controls scale a
    // text height by it when they centre text vertically.
    float HeightRatio = 1;
};

// Face of the interface font: "" until set ("メイリオ" with the setting
// AltFont 1); SetControlFont takes "ＭＳ Ｐゴシック" for "".
extern std::string UIFontFace;

const std::vector<FontCacheEntry>& FontCache();
int FontCount();

// Creates a font of size points and appends it to the table: 1, or 0 when it
// cannot be created (nothing is appended). The font's cell is
// size x 20 / TwipsPerPixel pixels high, 1.34 times that for "メイリオ".
int MakeFont(float size, bool bold, bool italic, std::string_view faceName);

// Gives window a font of the table and returns its index, -3 on failure.
// fontIndex 0 or more uses that entry; -1 finds or creates the font the
// control describes (and sends it to the control's window); -2 finds or
// creates the font of size (0 or less: 9), bold, italic and faceName ("":
// the interface face). The table's first entry is always the interface font
// at 9 points.
int SetControlFont(platform::FontWindow window, int fontIndex, const FontedControl* control, float size, bool bold,
                   bool italic, std::string_view faceName);

// Empties the table; the indexes controls kept become invalid.
void FreeFont();

} // namespace basic
