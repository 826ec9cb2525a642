#include "platform/EventPump.h"

#include "platform/base/Hooks.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QPointer>

#include <utility>

namespace platform {

void InstallQtEventPump()
{
    SetPumpHook([] {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    });
    SetPumpWithoutInputHook([] {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            // Under the glib loop the input left queued waits until something
            // else wakes the loop: wake it, so the next full pass takes it.
            QAbstractEventDispatcher::instance()->wakeUp();
        }
    });
}

void DoEvents()
{
    Pump();
}

void PostAfterInputHold(QObject& context, std::function<void()> action)
{
    AfterInputHold([guard = QPointer<QObject>(&context), action = std::move(action)]() mutable {
        if (guard) {
            QMetaObject::invokeMethod(guard, std::move(action), Qt::QueuedConnection);
        }
    });
}

} // namespace platform
