#pragma once

#include <QImage>

namespace listview {

// Cells of the default icon strip.
enum ListIcon : int { IconPlay = 0, IconPause, IconStop, IconReady, IconDone, IconError, IconCount };

// The default icon strip of a list view: cells of 16 x 16 pixels side by
// side, the images in the top row on black, their masks (black where the
// icon is) in the row below.
QImage DefaultListIcons();

} // namespace listview
