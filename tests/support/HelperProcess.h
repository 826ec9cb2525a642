#pragma once

// Starts one of the helper programs built beside the test executables and
// waits for what it says or for its end by running the event loop (so this
// process answers it meanwhile), never by sleeping. The long timeouts only
// stop a test that would otherwise hang.
#include "support/RealWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QProcess>
#include <QTimer>

#include <csignal>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

inline std::string HelperPath(const std::string& name)
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

// Bytes as hex digits, two a byte, for a helper that takes them so: its
// arguments pass through QString, which cannot carry a byte that is no UTF-8.
inline std::string HexOf(std::string_view bytes)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string hex;
    for (const char c : bytes) {
        hex += digits[static_cast<unsigned char>(c) >> 4];
        hex += digits[static_cast<unsigned char>(c) & 0x0F];
    }
    return hex;
}

class HelperProcess {
public:
    static constexpr int TimeoutMs = RealWaitMs;

    HelperProcess(const std::string& name, const std::vector<std::string>& arguments)
    {
        QStringList list;
        for (const std::string& argument : arguments) {
            list.push_back(QString::fromStdString(argument));
        }
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QString::fromStdString(HelperPath(name)), list);
    }
    ~HelperProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(TimeoutMs);
        }
    }
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool WaitStarted() { return process_.waitForStarted(TimeoutMs); }

    // The next line the helper writes ("" when it ended first).
    std::string ReadLine()
    {
        RunUntil([this] { return process_.canReadLine() || process_.state() == QProcess::NotRunning; },
                 &QProcess::readyReadStandardOutput);
        return process_.readLine().trimmed().toStdString();
    }

    // Closes its input (the helpers that hold a session let go then) and
    // returns its exit code once it ended (-1 when it crashed or hung).
    int Finish()
    {
        process_.closeWriteChannel();
        RunUntil([this] { return process_.state() == QProcess::NotRunning; }, &QProcess::finished);
        if (process_.state() != QProcess::NotRunning || process_.exitStatus() != QProcess::NormalExit) {
            return -1;
        }
        return process_.exitCode();
    }

    // Sends a signal, such as SIGSTOP to freeze the helper where it is.
    void Signal(int number)
    {
        const auto pid = process_.processId();
        if (pid > 0) {
            ::kill(static_cast<pid_t>(pid), number);
        }
    }

    void KillHard()
    {
        const auto pid = process_.processId();
        if (pid > 0) {
            ::kill(static_cast<pid_t>(pid), SIGKILL);
        }
        RunUntil([this] { return process_.state() == QProcess::NotRunning; }, &QProcess::finished);
    }

private:
    template <class Done, class Signal> void RunUntil(Done done, Signal signal)
    {
        if (done()) {
            return;
        }
        QEventLoop loop;
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        QObject::connect(&process_, signal, &loop, [&] {
            if (done()) {
                loop.quit();
            }
        });
        QObject::connect(&process_, &QProcess::finished, &loop, &QEventLoop::quit);
        guard.start(TimeoutMs);
        if (!done()) {
            loop.exec();
        }
    }

    QProcess process_;
};

} // namespace testsupport
