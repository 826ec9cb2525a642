#pragma once

#include "platform/DragData.h"

#include <functional>

class QWidget;

namespace platform {

// Drags the file list out of source with the allowed effects and returns the
// effect the drop had (DropEffectNone when nobody took it). It returns when
// the drag ends; events run meanwhile.
int StartDrag(QWidget& source, const DragData& data, int allowedEffects);

// Test seam: while set, StartDrag hands the drag to this instead of the
// desktop and returns what it returns.
using DragHook = std::function<int(QWidget& source, const DragData& data, int allowedEffects)>;
void SetDragHook(DragHook hook);

} // namespace platform
