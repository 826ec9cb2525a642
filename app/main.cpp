// The program: its composition (the main window and every service wired
// into it, app/Composition) and the event loop. The program ends when the
// window unloads, or at SIGTERM or SIGINT, which close it as the end of the
// desktop session does (no question, no save) once every nested event loop
// has returned.
//
// Exit status: 0, also for a second start that ends at once; 1 when the
// running session named on the command line did not take it; 2 without a
// display.
//
// TOLV_SCREENSHOT=<file.png> is for the tests: once started, the program
// writes a picture of its main window there and ends the same way.
#include "Composition.h"
#include "platform/TerminationSignals.h"
#include "platform/base/AppIdentity.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

bool HasDisplay()
{
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    if (!HasDisplay()) {
        std::fprintf(stderr, "%s: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n",
                     App::Title);
        return 2;
    }
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(App::Title);
    QCoreApplication::setOrganizationName(App::CompanyName);
    // The main window's unload ends the program, not the last closed window.
    QApplication::setQuitOnLastWindowClosed(false);

    bool terminating = false;
    platform::TerminationSignals termination;
    termination.OnSignal = [&terminating](int) {
        terminating = true;
        // Every event loop returns, nested ones first; the window closes
        // after the main loop.
        QCoreApplication::exit(0);
    };

    Composition program;
    FrmMain& window = program.Window;

    switch (program.Start()) {
    case FrmMain::StartOutcome::Running:
        break;
    case FrmMain::StartOutcome::HandedOver:
    case FrmMain::StartOutcome::AlreadyRunning:
        // The running session goes on as the operator left it.
        return 0;
    case FrmMain::StartOutcome::NotTaken:
    case FrmMain::StartOutcome::NoFreeSession:
    case FrmMain::StartOutcome::LogOnRequired:
    case FrmMain::StartOutcome::PortsMissing:
        // A launcher or script learns that nothing took its command line:
        // no session did, or none could start.
        return 1;
    }
    if (const char* screenshot = std::getenv("TOLV_SCREENSHOT"); screenshot != nullptr && *screenshot != '\0') {
        const std::string path = screenshot;
        QTimer::singleShot(0, &window, [&window, &terminating, path] {
            window.grab().save(QString::fromStdString(path));
            terminating = true;
            QCoreApplication::exit(0);
        });
    }
    if (!terminating) {
        QApplication::exec();
    }
    window.EndSession();
    return 0;
}
