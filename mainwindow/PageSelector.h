#pragma once

class FrmMain;

// The page selector of each output: a framed box with the title line (page
// number and name, written by playback) above one numbered button per page.
namespace PageSelector {

// Builds the selectors of outputs 0..NumOut-1: a full build (displayOnly 0)
// loads the elements of outputs 1..3 that show one; both forms size, colour
// and initialise them. The first output's selector is always measured, since
// the status strips of every output take its height, and hidden when it is
// switched off.
void Build(FrmMain& window, int displayOnly);

} // namespace PageSelector
