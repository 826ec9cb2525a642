// A running session that answers hand-overs, for the tests of a second start:
//   serve <caption>   claims the session, says "claimed" (or "refused" and
//                     ends), then says every text handed to it, one per line,
//                     until its input closes.
//   hoard <caption>   the same, but takes no text until its input closes
//                     (a session busy playing), then says every text waiting.
#include "platform/SessionEndpoint.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

void Say(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const std::string mode = argc == 3 ? argv[1] : "";
    if (mode != "serve" && mode != "hoard") {
        return 64;
    }
    if (!platform::ClaimProcessSession(argv[2])) {
        Say("refused");
        return 1;
    }
    Say("claimed");
    const auto sayWaiting = [] {
        while (auto text = platform::ProcessSession()->TakeText()) {
            Say(*text);
        }
    };
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, sayWaiting);
    if (mode == "serve") {
        poll.start(5);
    }
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&input] {
        char buffer[64];
        if (read(0, buffer, sizeof buffer) <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
        }
    });
    const int result = QCoreApplication::exec();
    sayWaiting();
    platform::ReleaseProcessSession();
    return result;
}
