#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// What the drop of a drag that began in this program took, file by file, so
// that a move empties its source only of what its target took: a play list
// that refuses a file (its wave format, its title) or a button that takes
// only the first file leaves the rest where it was. The effect the drag ends
// with cannot tell this: it is one value for all of the drag's files.
// Files are counted by their place in the drag's list, which the drag keeps;
// their paths may come back in another spelling.
namespace playback::dragmoves {

// A drag of this program starts: what earlier drops noted is forgotten.
void Begin();
// A control of this program carried out the drop of the running drag and
// took the file at index of the drag's list (Answered without Took: it took
// nothing). Ignored when no drag of this program runs.
void Answered();
void Took(std::size_t index);
// Ends the drag: for each of its files whether a control of this program took
// it; none when no control of this program answered (the drop went to
// another program, or nowhere).
std::optional<std::vector<bool>> End(std::size_t files);

} // namespace playback::dragmoves
