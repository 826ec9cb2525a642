// SIGTERM and SIGINT close the program as the end of the desktop session
// does: through the event loop, without a question and without saving.
#include "PlayerFixture.h"

#include "platform/TerminationSignals.h"
#include "support/RealWait.h"

#include <QEventLoop>
#include <QTimer>

#include <gmock/gmock.h>

#include <csignal>

namespace {

using Outcome = FrmMain::StartOutcome;

class Termination : public shelltest::PlayerFixture {
protected:
    // Raises the signal and runs the event loop until the watcher has seen
    // it, as the program's loop would; then the window closes as the program
    // closes it after its loop.
    int RaiseAndEnd(int signal)
    {
        platform::TerminationSignals watcher;
        EXPECT_TRUE(watcher.Installed());
        int seen = 0;
        QEventLoop loop;
        watcher.OnSignal = [&](int number) {
            seen = number;
            loop.quit();
        };
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(testsupport::RealWaitMs);
        std::raise(signal);
        loop.exec();
        window->EndSession();
        return seen;
    }
};

TEST_F(Termination, SigtermWhileASoundPlaysClosesWithoutQuestionOrSave)
{
    ASSERT_EQ(Start(), Outcome::Running);
    PutPlayer(0);
    ASSERT_EQ(OpenVoices(), 1);

    EXPECT_EQ(RaiseAndEnd(SIGTERM), SIGTERM);
    EXPECT_TRUE(window->Ended());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(ports.Log.Starting("OpenSaveAssignFile 1").empty());
    EXPECT_EQ(OpenVoices(), 0);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(Stored("STBYActive_1"), "0");
    EXPECT_GE(ports.Log.IndexOf("SendRemoteCommand 0 11 0"), 0);
    EXPECT_EQ(DayLogEntries().back(), "***正常終了***");
}

TEST_F(Termination, SigintEndsTheSameWay)
{
    ASSERT_EQ(Start(), Outcome::Running);
    PutPlayer(0);
    EXPECT_EQ(RaiseAndEnd(SIGINT), SIGINT);
    EXPECT_TRUE(window->Ended());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(OpenVoices(), 0);
}

TEST_F(Termination, AWindowClosedAlreadyIsNotClosedAgain)
{
    Store("SaveEnd", "3");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_TRUE(window->Unload());
    window->EndSession();
    const std::vector<std::string> entries = DayLogEntries();
    EXPECT_EQ(std::count(entries.begin(), entries.end(), "***正常終了***"), 1);
}

} // namespace
