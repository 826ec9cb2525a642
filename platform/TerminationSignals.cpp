#include "platform/TerminationSignals.h"

#include "platform/base/LogSink.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace platform {

namespace {

// The pipe the handler writes to: [0] read by the watcher, [1] written by the handler.
int signalPipe[2] = {-1, -1};
struct sigaction previousTerm {};
struct sigaction previousInt {};

extern "C" void OnTerminationSignal(int signal)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

TerminationSignals::TerminationSignals()
{
    if (signalPipe[0] >= 0) {
        Log("Termination signals are watched already", 1);
        return;
    }
    if (pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        Log(std::string("Termination signals cannot be watched (") + std::strerror(errno) + ")", 1);
        signalPipe[0] = signalPipe[1] = -1;
        return;
    }
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &previousTerm);
    sigaction(SIGINT, &action, &previousInt);
    notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    QObject::connect(notifier_, &QSocketNotifier::activated, this, [this] { Drain(); });
    installed_ = true;
}

TerminationSignals::~TerminationSignals()
{
    if (!installed_) {
        return;
    }
    sigaction(SIGTERM, &previousTerm, nullptr);
    sigaction(SIGINT, &previousInt, nullptr);
    notifier_->setEnabled(false);
    close(signalPipe[0]);
    close(signalPipe[1]);
    signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::Drain()
{
    unsigned char bytes[16];
    ssize_t n = 0;
    int last = 0;
    while ((n = read(signalPipe[0], bytes, sizeof bytes)) > 0) {
        last = bytes[n - 1];
    }
    if (last != 0 && OnSignal) {
        OnSignal(last);
    }
}

} // namespace platform
