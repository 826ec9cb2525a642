// A second start of the built program that hands its command line to a
// running session: its exit status tells a launcher whether the session took
// it, and a session that never answers is given up after 5 s.
#include "ProgramRun.h"
#include "ShellFixture.h"

#include "mainwindow/Sessions.h"
#include "platform/SessionEndpoint.h"
#include "platform/SessionFolder.h"
#include "support/HelperProcess.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using shelltest::Finished;
using testsupport::HelperProcess;

// A running session, as far as a second start can tell (its lock held, its
// socket listening), that never answers: it either hangs up at once, as a
// session does that refuses a hand-over, or keeps the connection open, as a
// stopped or hanging session does. It notes how long the second start held on.
class MuteSession {
public:
    enum class Manner { HangUp, Silent };

    MuteSession(const std::string& caption, Manner manner) : manner_(manner)
    {
        lockFd_ = open(platform::SessionLockPath(caption).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        held_ = lockFd_ >= 0 && flock(lockFd_, LOCK_EX | LOCK_NB) == 0;
        const std::string socketPath = platform::SessionSocketPath(caption);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
        unlink(socketPath.c_str());
        listenFd_ = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        held_ = held_ && bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                listen(listenFd_, 8) == 0;
        listening_ = std::make_unique<QSocketNotifier>(listenFd_, QSocketNotifier::Read);
        QObject::connect(listening_.get(), &QSocketNotifier::activated, [this] { Accept(); });
    }
    ~MuteSession()
    {
        reading_.reset();
        listening_.reset();
        for (const int fd : {connectionFd_, listenFd_, lockFd_}) {
            if (fd >= 0) {
                close(fd);
            }
        }
    }
    MuteSession(const MuteSession&) = delete;
    MuteSession& operator=(const MuteSession&) = delete;

    bool Held() const { return held_; }
    // Takes what happened on the socket meanwhile: the program's end may
    // have been seen before its hang-up.
    void Settle()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    int Connections() const { return connections_; }
    // From taking the connection to the second start's hang-up.
    std::optional<std::chrono::milliseconds> HeldOpen() const
    {
        if (!hungUp_) {
            return std::nullopt;
        }
        return std::chrono::duration_cast<std::chrono::milliseconds>(*hungUp_ - accepted_);
    }

private:
    void Accept()
    {
        const int fd = accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        ++connections_;
        if (manner_ == Manner::HangUp || connectionFd_ >= 0) {
            close(fd);
            return;
        }
        accepted_ = std::chrono::steady_clock::now();
        connectionFd_ = fd;
        reading_ = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(reading_.get(), &QSocketNotifier::activated, [this] { Read(); });
    }
    void Read()
    {
        char buffer[4096];
        ssize_t n = 0;
        while ((n = recv(connectionFd_, buffer, sizeof buffer, 0)) > 0) {
        }
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            hungUp_ = std::chrono::steady_clock::now();
            reading_->setEnabled(false);
        }
    }

    Manner manner_;
    bool held_ = false;
    int lockFd_ = -1;
    int listenFd_ = -1;
    int connectionFd_ = -1;
    int connections_ = 0;
    std::unique_ptr<QSocketNotifier> listening_;
    std::unique_ptr<QSocketNotifier> reading_;
    std::chrono::steady_clock::time_point accepted_;
    std::optional<std::chrono::steady_clock::time_point> hungUp_;
};

class SecondStart : public shelltest::ShellFixture {
protected:
    // The built program, with this test's registry and null audio.
    Finished Run(const QStringList& arguments)
    {
        return shelltest::RunProgram(QString::fromStdString(shelltest::ProgramPath()), arguments,
                                     {{"XDG_CONFIG_HOME", QString::fromStdString(registry.Path() + "config")},
                                      {"TOLV_AUDIO", "null"}});
    }
};

TEST_F(SecondStart, EndsWithZeroWhenTheSessionTookItsCommandLineOrSessionsAreOff)
{
    Store("UseMultiSession", "1");
    HelperProcess running("tolv_test_receiver", {"serve", Sessions::SessionCaption(1)});
    ASSERT_EQ(running.ReadLine(), "claimed");
    const Finished handedOver = Run({"B", "//studio/shows/morning.tlv"});
    EXPECT_EQ(handedOver.exitCode, 0) << handedOver.errors;
    EXPECT_EQ(running.ReadLine(), "B //studio/shows/morning.tlv");

    // Without sessions a second start ends at once, and that is no failure.
    Store("UseMultiSession", "0");
    const Finished second = Run({"//studio/shows/evening.tlv"});
    EXPECT_EQ(second.exitCode, 0) << second.errors;
    EXPECT_EQ(running.Finish(), 0);
    EXPECT_EQ(running.ReadLine(), "") << "the session got nothing more";
}

TEST_F(SecondStart, FailsWhenTheSessionRefusesItsCommandLine)
{
    Store("UseMultiSession", "1");
    MuteSession refusing(Sessions::SessionCaption(1), MuteSession::Manner::HangUp);
    ASSERT_TRUE(refusing.Held());
    const Finished finished = Run({"B", "//studio/shows/morning.tlv"});
    EXPECT_EQ(finished.exitCode, 1) << finished.errors;
    EXPECT_EQ(refusing.Connections(), 1);
    EXPECT_LT(finished.elapsed, 5s) << "a refusal needs no waiting for the deadline";
}

// The one test that waits for the program's own deadline, so that a changed
// one fails here.
TEST_F(SecondStart, FailsAfterFiveSecondsWhenTheSessionNeverAnswers)
{
    EXPECT_EQ(platform::HandOverDeadlineMs, 5000);
    Store("UseMultiSession", "1");
    MuteSession stopped(Sessions::SessionCaption(3), MuteSession::Manner::Silent);
    ASSERT_TRUE(stopped.Held());
    const Finished finished = Run({"D", "//studio/shows/morning.tlv"});
    EXPECT_EQ(finished.exitCode, 1) << finished.errors;
    EXPECT_GE(finished.elapsed, 5s) << "given up before its deadline";
    stopped.Settle();
    ASSERT_TRUE(stopped.HeldOpen().has_value());
    // From the session's side: the connection was held open until the
    // deadline, not much longer (the allowance is for a loaded machine).
    EXPECT_LT(*stopped.HeldOpen(), 5500ms);
    EXPECT_GT(*stopped.HeldOpen(), 4s);
}

} // namespace
