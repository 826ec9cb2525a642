#pragma once

#include <string>
#include <string_view>

class QWidget;

namespace platform {

// The tip shown while the pointer rests on a control ("" shows none).
void SetToolTipText(QWidget& control, std::string_view text);
std::string ToolTipText(const QWidget& control);

} // namespace platform
