#include "ProgramRun.h"

#include "support/HelperProcess.h"
#include "support/RealWait.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace shelltest {

std::string ProgramPath()
{
    return testsupport::HelperPath("../tolv");
}

Finished RunProgram(const QString& program, const QStringList& arguments,
                    const std::vector<std::pair<QString, QString>>& set, const QStringList& unset)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& name : unset) {
        environment.remove(name);
    }
    for (const auto& [name, value] : set) {
        environment.insert(name, value);
    }
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::SeparateChannels);
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&process, &QProcess::errorOccurred, &loop, &QEventLoop::quit);
    const auto started = std::chrono::steady_clock::now();
    process.start(program, arguments);
    guard.start(testsupport::RealWaitMs);
    loop.exec();
    Finished result;
    result.elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(testsupport::RealWaitMs);
        return result;
    }
    result.errors = process.readAllStandardError().toStdString();
    if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    return result;
}

} // namespace shelltest
