// A second start of the built program that hands its command line to a
// running session: its exit status tells a launcher whether the session took
// it, and a session that never answers is given up after 5 s.
#include "ProgramRun.h"
#include "ShellFixture.h"

#include "mainwindow/Sessions.h"
#include "platform/SessionEndpoint.h"
#include "support/HelperProcess.h"

#include <gmock/gmock.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <memory>
#include <regex>
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
    // How long the start took says little on a busy machine; what it logged
    // says which way it went.
    const Finished refused = Run({"B", QString(70000, 'x')});
    EXPECT_EQ(refused.exitCode, 1) << refused.errors;
    const std::string said = refused.errors + ErrorLog();
    EXPECT_THAT(said, testing::HasSubstr("refused: the text is too long"));
    EXPECT_THAT(said, testing::Not(testing::HasSubstr("no answer")));
    EXPECT_EQ(running.Finish(), 0);
    EXPECT_EQ(running.ReadLine(), "") << "the session got nothing";
}

// A session busy playing takes no command line; sixteen wait, and the
// seventeenth start is refused rather than one already acknowledged dropped.
// Its log line is in the dated error log of the log folder, where the
// operator reads the day.
TEST_F(SecondStart, FailsWhenTheSessionsQueueIsFullAndLogsItInTheDayLog)
{
    Store("UseMultiSession", "1");
    HelperProcess busy("tolv_test_receiver", {"hoard", Sessions::SessionCaption(1)});
    ASSERT_EQ(busy.ReadLine(), "claimed");
    for (int i = 1; i <= 16; ++i) {
        HelperProcess earlier("tolv_test_session",
                              {"sendto", Sessions::SessionCaption(1), "B /shows/" + std::to_string(i)});
        ASSERT_EQ(earlier.Finish(), 1) << i;
    }
    const Finished refused = Run({"B", "//studio/shows/late.tlv"});
    EXPECT_EQ(refused.exitCode, 1) << refused.errors;
    EXPECT_EQ(busy.Finish(), 0);
    for (int i = 1; i <= 16; ++i) {
        EXPECT_EQ(busy.ReadLine(), "B /shows/" + std::to_string(i));
    }
    EXPECT_EQ(busy.ReadLine(), "");

    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(logs.Path())) {
        names.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(std::regex_match(names.front(), std::regex("[0-9]{8} - .* - tolv\\.err"))) << names.front();
    EXPECT_THAT(ErrorLog(),
                testing::HasSubstr("Session tolvB did not take the command line: B //studio/shows/late.tlv"));
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
    // A start that is refused without waiting shows what a start costs on
    // this machine now (seconds under sanitizers on a busy one).
    const Finished atOnce = Run({"D", QString(70000, 'x')});
    const Finished finished = Run({"D", "//studio/shows/morning.tlv"});
    stopped.Signal(SIGCONT);
    EXPECT_EQ(atOnce.exitCode, 1) << atOnce.errors;
    EXPECT_EQ(finished.exitCode, 1) << finished.errors;
    EXPECT_GE(finished.elapsed, 5s) << "given up before its deadline";
    // Nor a second deadline later (a wait made twice).
    EXPECT_LT(finished.elapsed, atOnce.elapsed + 9s) << "a start that does not wait took " << atOnce.elapsed.count()
                                                     << " ms";
    EXPECT_EQ(stopped.Finish(), 0);
}

} // namespace
