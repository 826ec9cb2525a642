#include "platform/EventPump.h"

#include "platform/InputGate.h"
#include "platform/base/Hooks.h"

#include <QCoreApplication>

namespace platform {

void InstallQtEventPump()
{
    InstallInputGate();
    // One pump, during a press too: input reaches the gate in the order it
    // came, drops among it, and the gate keeps it.
    SetPumpHook([] {
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        }
    });
    SetPumpWithoutInputHook(nullptr);
}

void DoEvents()
{
    Pump();
}

} // namespace platform
