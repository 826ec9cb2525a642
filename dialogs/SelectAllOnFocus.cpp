#include "dialogs/SelectAllOnFocus.h"

#include <QEvent>
#include <QLineEdit>

bool SelectAllOnFocus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (auto* box = qobject_cast<QLineEdit*>(watched); box != nullptr) {
            box->selectAll();
        }
    }
    return false;
}
