#include "platform/EventPump.h"

#include "platform/InputGate.h"
#include "platform/base/Hooks.h"

#include <QCoreApplication>

namespace platform {

void InstallQtEventPump()
{
    InstallInputGate();
    // Input is dispatched during a press too, so that it reaches the gate
    // in the order it came, drops among it; the gate keeps it.
    const auto pump = [] {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    };
    SetPumpHook(pump);
    SetPumpWithoutInputHook(pump);
}

void DoEvents()
{
    Pump();
}

} // namespace platform
