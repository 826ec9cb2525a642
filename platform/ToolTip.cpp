#include "platform/ToolTip.h"

#include <QWidget>

namespace platform {

void SetToolTipText(QWidget& control, std::string_view text)
{
    control.setToolTip(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

std::string ToolTipText(const QWidget& control)
{
    return control.toolTip().toStdString();
}

} // namespace platform
