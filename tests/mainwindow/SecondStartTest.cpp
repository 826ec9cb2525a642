// A second start of the built program that hands its command line to a
// running session: its exit status tells a launcher whether the session took
// it, and a session that never answers is given up after 5 s.
#include "ProgramRun.h"
#include "ShellFixture.h"

#include "mainwindow/Sessions.h"
#include "platform/SessionEndpoint.h"
#include "support/HelperProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;
using shelltest::Finished;
using testsupport::HelperProcess;

class SecondStart : public shelltest::ShellFixture {
protected:
    // The built program, with this test's registry and null audio.
    Finished Run(const QStringList& arguments)
    {
        return shelltest::RunProgram(
            QString::fromStdString(shelltest::ProgramPath()), arguments,
            {{"XDG_CONFIG_HOME", QString::fromStdString(registry.Path() + "config")}, {"TOLV_AUDIO", "null"}});
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

TEST_F(SecondStart, FailsWhenTheSessionCannotTakeItsCommandLine)
{
    Store("UseMultiSession", "1");
    HelperProcess running("tolv_test_receiver", {"serve", Sessions::SessionCaption(1)});
    ASSERT_EQ(running.ReadLine(), "claimed");
    // Longer than any session takes: refused without waiting for an answer.
    const Finished refused = Run({"B", QString(70000, 'x')});
    EXPECT_EQ(refused.exitCode, 1) << refused.errors;
    EXPECT_LT(refused.elapsed, 5s);
    EXPECT_EQ(running.Finish(), 0);
    EXPECT_EQ(running.ReadLine(), "") << "the session got nothing";
}

TEST_F(SecondStart, FailsWhenEverySessionRuns)
{
    Store("UseMultiSession", "1");
    std::vector<std::unique_ptr<HelperProcess>> running;
    for (int i = 0; i < 4; ++i) {
        running.push_back(std::make_unique<HelperProcess>(
            "tolv_test_session", std::vector<std::string>{"hold", Sessions::SessionCaption(i)}));
        ASSERT_EQ(running.back()->ReadLine(), "claimed");
    }
    const Finished fifth = Run({"//studio/shows/morning.tlv"});
    EXPECT_EQ(fifth.exitCode, 1) << fifth.errors;
    for (const auto& session : running) {
        EXPECT_EQ(session->Finish(), 0);
    }
}

// The one test that waits for the program's own deadline, so that a changed
// one fails here.
TEST_F(SecondStart, FailsAfterFiveSecondsWhenTheSessionIsStopped)
{
    EXPECT_EQ(platform::HandOverDeadlineMs, 5000);
    Store("UseMultiSession", "1");
    HelperProcess stopped("tolv_test_session", {"hold", Sessions::SessionCaption(3)});
    ASSERT_EQ(stopped.ReadLine(), "claimed");
    stopped.Signal(SIGSTOP);
    const Finished finished = Run({"D", "//studio/shows/morning.tlv"});
    stopped.Signal(SIGCONT);
    EXPECT_EQ(finished.exitCode, 1) << finished.errors;
    EXPECT_GE(finished.elapsed, 5s) << "given up before its deadline";
    // Not much later either; the allowance is for the start-up on a loaded machine.
    EXPECT_LT(finished.elapsed, 6500ms);
    EXPECT_EQ(stopped.Finish(), 0);
}

} // namespace
