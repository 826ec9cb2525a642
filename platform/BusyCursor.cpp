#include "platform/BusyCursor.h"

#include <QApplication>
#include <QCursor>

namespace platform {

namespace {
bool busyShown = false;
}

void SetBusyCursor(bool busy)
{
    if (busy == busyShown || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    busyShown = busy;
    if (busy) {
        QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    } else {
        QApplication::restoreOverrideCursor();
    }
}

bool BusyCursor()
{
    return busyShown;
}

} // namespace platform
