#pragma once

#include <string_view>

namespace platform {
class Form;
}

// Where each window was: its position and size in twips and its state, kept
// in this session's settings under "WindowLeft", "WindowTop", "WindowHeight",
// "WindowWidth" and "WindowState", each followed by the window's suffix.
namespace basic {

// Puts a window back where it was. Position and size only while the window is
// in its normal state; a left edge beyond the screens' right edge less 600
// twips, or a negative one, becomes 0, and so does a top edge beyond their
// bottom edge less 900. Stored values that are not numbers (or sizes that are
// not above 0, or states other than 0, 1, 2) leave that value as it is.
void RestoreWindowPos(platform::Form& form, std::string_view suffix, bool skipSize, bool skipState, bool skipPosition);

// True when this session keeps a usable width and height for the window
// with this suffix (numbers above 0); else the window keeps its own size.
bool HasStoredWindowSize(std::string_view suffix);

// Keeps where a window is: position and size only while it is in its normal
// state (a minimised or maximised window keeps the placement it last had),
// and unless skipState its state.
void SaveWindowPos(const platform::Form& form, std::string_view suffix, bool skipSize, bool skipState);

} // namespace basic
