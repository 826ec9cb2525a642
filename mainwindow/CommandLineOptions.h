#pragma once

#include <QRect>

#include <optional>
#include <string>
#include <string_view>

// The options of the program's command line, also of one a second start
// hands over: "B=" the display (1 big, 0 normal), "X=", "Y=", "W=", "H=" the
// main window's place and size in pixels, each also after "/"; and the
// assign table file to open (a path token, DESIGN "Paths"). FrmMain's
// ApplyCommandLine carries them out.
namespace CommandLineOptions {

// A plain decimal integer: an optional "-" and digits, nothing else, within
// 32 bits.
std::optional<int> PlainInteger(std::string_view text);

struct WindowOptions {
    std::optional<int> Big;
    std::optional<int> Left;
    std::optional<int> Top;
    std::optional<int> Width;
    std::optional<int> Height;
};

// The window options of text (the program's own command line for ""). Each
// counts only when given exactly once as a plain integer that fits: "B=" any
// (the display switches for every value but the one shown); X and Y on the
// desktop; W and H from 1 to its width and height. An option that does not
// count is logged and left out.
WindowOptions ReadWindowOptions(std::string_view text, const QRect& desktop);

// The first path token of text, "" when it has none.
std::string FileToOpen(std::string_view text);

} // namespace CommandLineOptions
