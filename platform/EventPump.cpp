#include "platform/EventPump.h"

#include "platform/base/Hooks.h"

#include <QCoreApplication>

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
        }
    });
}

void DoEvents()
{
    Pump();
}

} // namespace platform
