#pragma once

#include <string_view>

namespace platform {
class Form;
}

// Message boxes centred on the window that asks, kept on the screens.
namespace basic {

// Shows a message box owned by ownerForm (null: none) and returns the
// pressed button: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No.
// style is the sum of the buttons (0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore,
// 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel), the icon (16 stop, 32
// question, 48 exclamation, 64 information) and the default button (256
// second, 512 third). Unless the owner is minimised, the box is centred on
// it and kept on the screens.
int ShowMessage(std::string_view text, int style, std::string_view title, platform::Form* ownerForm);

// index 0: the largest right edge, 1: the largest bottom edge over all
// screens; in pixels when inPixels is not 0, else in twips. Taken once per
// run; other indexes give 0.
int EnumMonitors(int index, int inPixels);
// Forgets the screens' extent, so the next call takes it again (tests).
void ForgetMonitorExtent();

struct BoxPlace {
    int x;
    int y;
};
// Where a box of width x height pixels goes: centred on (centreX, centreY),
// moved left and up to end at the screens' right and bottom edges, and then
// never left of 0 or above 0.
BoxPlace MessageBoxPosition(int centreX, int centreY, int width, int height, int rightEdge, int bottomEdge);

} // namespace basic
