#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace platform {

// Turns SIGTERM and SIGINT into a call on the event loop: the signal handler
// only writes a byte to a pipe, and OnSignal runs on the program's thread the
// next time events are dispatched. One watcher at a time; while it lives the
// two signals no longer end the process by themselves.
class TerminationSignals final : public QObject {
public:
    TerminationSignals();
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

    // False when the pipe or the handlers could not be set up (logged).
    bool Installed() const { return installed_; }

    // The signal number that arrived.
    std::function<void(int signal)> OnSignal;

private:
    void Drain();

    bool installed_ = false;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace platform
