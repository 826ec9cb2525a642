#include "platform/SessionEndpoint.h"
#include "platform/SessionFolder.h"
#include "platform/base/LogSink.h"
#include "platform/base/VirtualClock.h"
#include "support/HelperProcess.h"
#include "support/RealWait.h"
#include "support/ScratchFolder.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <future>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using testsupport::HelperProcess;

class Sessions : public testing::Test {
protected:
    void SetUp() override
    {
        platform::SetLogSink([this](std::string_view text, int) { log.emplace_back(text); });
    }
    void TearDown() override
    {
        platform::ReleaseProcessSession();
        platform::SetLogSink(nullptr);
    }

    static int Send(const std::string& caption, const std::string& text)
    {
        HelperProcess sender("tolv_test_session", {"sendto", caption, text});
        return sender.Finish();
    }
    // The same for a text that is no UTF-8, byte for byte.
    static int SendBytes(const std::string& caption, const std::string& bytes)
    {
        HelperProcess sender("tolv_test_session", {"sendhex", caption, testsupport::HexOf(bytes)});
        return sender.Finish();
    }

    std::vector<std::string> log;
};

TEST_F(Sessions, LiveInAPrivateFolderOfTheUser)
{
    const std::string folder = platform::SessionFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder, std::string(std::getenv("XDG_RUNTIME_DIR")) + "/tolv/");
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    chmod(folder.c_str(), 0755);
    platform::SessionFolder();
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u) << "a folder others could enter is closed again";

    // Captions that are not file names still get names of their own.
    EXPECT_NE(platform::SessionSocketPath("a/b"), platform::SessionSocketPath("a%2Fb"));
    EXPECT_EQ(platform::SessionSocketPath("a/b").find('/', folder.size()), std::string::npos);
    const std::string longCaption(300, 'x');
    EXPECT_LT(platform::SessionSocketPath(longCaption).size(), sizeof(sockaddr_un{}.sun_path));
    EXPECT_NE(platform::SessionSocketPath(longCaption), platform::SessionSocketPath(longCaption + "y"));
}

TEST_F(Sessions, AClaimedSessionRunsUntilItIsReleased)
{
    EXPECT_FALSE(platform::SessionRunning("tolv - Quorvant"));
    ASSERT_TRUE(platform::ClaimProcessSession("tolv - Quorvant"));
    EXPECT_TRUE(platform::SessionRunning("tolv - Quorvant"));
    EXPECT_FALSE(platform::SessionRunning("tolvB - Quorvant"));
    EXPECT_EQ(platform::SessionEndpoint::Claim("tolv - Quorvant"), nullptr) << "one holder at a time";
    platform::ReleaseProcessSession();
    EXPECT_FALSE(platform::SessionRunning("tolv - Quorvant"));
    EXPECT_FALSE(std::filesystem::exists(platform::SessionSocketPath("tolv - Quorvant")));
}

// A sender that got its acknowledgement counts on its text: when sixteen
// wait, the seventeenth is refused (its sender learns it), none is dropped.
TEST_F(Sessions, TextsWaitInOrderAndTheSeventeenthIsRefused)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolvC - Quorvant"));
    for (int i = 1; i <= 16; ++i) {
        ASSERT_EQ(Send("tolvC - Quorvant", "file" + std::to_string(i) + ".tlv"), 1) << i;
    }
    EXPECT_EQ(Send("tolvC - Quorvant", "file17.tlv"), 0);
    platform::SessionEndpoint& session = *platform::ProcessSession();
    EXPECT_EQ(session.Waiting(), platform::SessionEndpoint::QueueLimit);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log.front().find("refused"), std::string::npos) << log.front();
    EXPECT_NE(log.front().find("file17.tlv"), std::string::npos) << log.front();

    // Once one is taken there is room again.
    EXPECT_EQ(session.TakeText(), "file1.tlv");
    EXPECT_EQ(Send("tolvC - Quorvant", "file18.tlv"), 1);
    for (int i = 2; i <= 16; ++i) {
        EXPECT_EQ(session.TakeText(), "file" + std::to_string(i) + ".tlv");
    }
    EXPECT_EQ(session.TakeText(), "file18.tlv");
    EXPECT_EQ(session.TakeText(), std::nullopt);
}

// A command line names files by their bytes: a Latin-1 byte of an older
// share's name, or bytes that would read as code page 932, arrive as they
// were sent, and a UTF-8 name beside them is not turned into anything else.
TEST_F(Sessions, ACommandLineArrivesByteForByte)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolvD - Quorvant"));
    const std::string latin1 = "A /srv/caf\xE9.txt /srv/caf\xC3\xA9.txt";
    const std::string cp932 = "/srv/\x83\x65\x83\x58\x83\x67.tlv";
    ASSERT_EQ(SendBytes("tolvD - Quorvant", latin1), 1);
    ASSERT_EQ(SendBytes("tolvD - Quorvant", cp932), 1);
    EXPECT_EQ(platform::ProcessSession()->TakeText(), latin1);
    EXPECT_EQ(platform::ProcessSession()->TakeText(), cp932);
}

TEST_F(Sessions, ASenderFindsNoSessionOfAnotherCaption)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolvB - Quorvant"));
    EXPECT_EQ(Send("tolv - Quorvant", "x.tlv"), 0);
    EXPECT_EQ(Send("tolvB", "x.tlv"), 0);
    EXPECT_EQ(platform::ProcessSession()->Waiting(), 0u);
}

TEST_F(Sessions, AHolderKilledHardLeavesASessionTheNextStartClaims)
{
    HelperProcess holder("tolv_test_session", {"hold", "tolv - Quorvant"});
    ASSERT_EQ(holder.ReadLine(), "claimed");
    EXPECT_TRUE(platform::SessionRunning("tolv - Quorvant"));
    EXPECT_FALSE(platform::ClaimProcessSession("tolv - Quorvant"));

    holder.KillHard();
    const std::string socketPath = platform::SessionSocketPath("tolv - Quorvant");
    EXPECT_TRUE(std::filesystem::exists(socketPath)) << "the dead holder's socket is still there";
    EXPECT_FALSE(platform::SessionRunning("tolv - Quorvant"));
    EXPECT_EQ(Send("tolv - Quorvant", "lost.tlv"), 0) << "nobody takes it";

    ASSERT_TRUE(platform::ClaimProcessSession("tolv - Quorvant"));
    EXPECT_EQ(Send("tolv - Quorvant", "/srv/show 1.tlv"), 1);
    EXPECT_EQ(platform::ProcessSession()->TakeText(), "/srv/show 1.tlv");
}

// A second start against a session that takes nothing: stopped (SIGSTOP),
// its backlog filled by others. The deadline is shortened for the test; the
// program's own 5 s is waited for once, by the built program's second start.
TEST_F(Sessions, ASecondStartGivesUpOnAStoppedSessionByItsDeadline)
{
    constexpr int deadlineMs = 300;
    HelperProcess holder("tolv_test_session", {"hold", "tolvD - Quorvant"});
    ASSERT_EQ(holder.ReadLine(), "claimed");
    holder.Signal(SIGSTOP);
    const auto sendInTime = [&](const std::string& text) {
        auto sending = std::async(std::launch::async,
                                  [&] { return platform::SendToSession("tolvD - Quorvant", text, deadlineMs); });
        // Only a guard against a hang: the deadline ends the send long before.
        if (sending.wait_for(testsupport::RealWait) != std::future_status::ready) {
            holder.KillHard(); // its socket closes, which ends any wait on it
            ADD_FAILURE() << "the send outlived its deadline";
            return -1;
        }
        return sending.get();
    };

    // Connected, but never answered.
    EXPECT_EQ(sendInTime("first.tlv"), 0);
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("no answer"), std::string::npos) << log.back();

    // Others fill the backlog, so connecting itself would wait.
    const std::string socketPath = platform::SessionSocketPath("tolvD - Quorvant");
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    std::vector<int> waiting;
    for (int i = 0; i < 64; ++i) {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        const bool connected = connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
        if (!connected) {
            close(fd);
            break;
        }
        waiting.push_back(fd);
    }
    ASSERT_LT(waiting.size(), 64u) << "the backlog never filled";
    EXPECT_EQ(sendInTime("second.tlv"), 0);
    EXPECT_NE(log.back().find("no connection"), std::string::npos) << log.back();
    for (const int fd : waiting) {
        close(fd);
    }
    holder.Signal(SIGCONT);
}

TEST_F(Sessions, ProcessesStartedAtOnceNeverClaimTheSameSession)
{
    const std::vector<std::string> captions{"tolv - Quorvant", "tolvB - Quorvant", "tolvC - Quorvant",
                                            "tolvD - Quorvant"};
    std::vector<std::string> arguments{"first"};
    arguments.insert(arguments.end(), captions.begin(), captions.end());
    std::vector<std::unique_ptr<HelperProcess>> starts;
    for (int i = 0; i < 6; ++i) {
        starts.push_back(std::make_unique<HelperProcess>("tolv_test_session", arguments));
    }
    std::vector<std::string> claimed;
    for (auto& start : starts) {
        claimed.push_back(start->ReadLine());
    }
    std::sort(claimed.begin(), claimed.end());
    EXPECT_EQ(claimed, (std::vector<std::string>{"-1", "-1", "0", "1", "2", "3"}));
    for (auto& start : starts) {
        EXPECT_EQ(start->Finish(), 0);
    }
}

TEST_F(Sessions, AConnectionThatSendsNonsenseIsDroppedAndOthersStillArrive)
{
    ASSERT_TRUE(platform::ClaimProcessSession("tolv - Quorvant"));
    const std::string socketPath = platform::SessionSocketPath("tolv - Quorvant");
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socketPath.copy(address.sun_path, sizeof address.sun_path - 1);
    ASSERT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    const char huge[4] = {'\xff', '\xff', '\xff', '\x7f'};
    ASSERT_EQ(send(fd, huge, sizeof huge, MSG_NOSIGNAL), 4);
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
    }
    char answer = 0;
    EXPECT_EQ(recv(fd, &answer, 1, 0), 0) << "the session hung up";
    close(fd);
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(Send("tolv - Quorvant", "after.tlv"), 1);
    EXPECT_EQ(platform::ProcessSession()->TakeText(), "after.tlv");
    EXPECT_EQ(platform::ProcessSession()->Waiting(), 0u);
}

// Connections that hold descriptors without handing anything over, on the
// program's clock.
class CarelessPeers : public Sessions {
protected:
    static constexpr const char* Caption = "tolvE - Quorvant";

    void SetUp() override
    {
        Sessions::SetUp();
        ASSERT_TRUE(platform::ClaimProcessSession(Caption));
        session = platform::ProcessSession();
    }
    void TearDown() override
    {
        for (const int fd : clients) {
            close(fd);
        }
        Sessions::TearDown();
    }
    // A connection that says nothing.
    int Connect()
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        platform::SessionSocketPath(Caption).copy(address.sun_path, sizeof address.sun_path - 1);
        EXPECT_EQ(connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
        clients.push_back(fd);
        return fd;
    }
    static void Pump()
    {
        for (int i = 0; i < 5; ++i) {
            QCoreApplication::processEvents();
        }
    }
    // A connection made without waiting; -1 when the backlog is full.
    int ConnectIfRoom()
    {
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        platform::SessionSocketPath(Caption).copy(address.sun_path, sizeof address.sun_path - 1);
        if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            close(fd);
            return -1;
        }
        clients.push_back(fd);
        return fd;
    }
    // The byte count of a text of 60,000 bytes, and its first byte.
    static void Announce(int fd)
    {
        const char start[5] = {'\x60', '\xEA', '\x00', '\x00', 'x'};
        ASSERT_EQ(send(fd, start, sizeof start, MSG_NOSIGNAL), 5);
    }
    static void TrickleOne(int fd)
    {
        const char byte = 'x';
        EXPECT_EQ(send(fd, &byte, 1, MSG_NOSIGNAL), 1);
    }
    static bool HungUp(int fd)
    {
        char byte = 0;
        return recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
    }

    platform::VirtualClock clock;
    platform::ScopedVirtualClock installed{clock};
    platform::SessionEndpoint* session = nullptr;
    std::vector<int> clients;
};

TEST_F(CarelessPeers, SixteenAtOnceAndTheIdleOnesCloseAfterTwoSeconds)
{
    for (int i = 0; i < 16; ++i) {
        Connect();
        Pump();
    }
    EXPECT_EQ(session->Connections(), 16u);
    EXPECT_FALSE(session->Accepting());
    // Four more wait in the backlog, unanswered.
    for (int i = 0; i < 4; ++i) {
        Connect();
    }
    Pump();
    EXPECT_EQ(session->Connections(), 16u);

    clock.Advance(platform::SessionEndpoint::DeliveryLimitMs - 1);
    Pump();
    EXPECT_EQ(session->Connections(), 16u);
    EXPECT_FALSE(HungUp(clients[0]));
    clock.Advance(1);
    Pump();
    for (int i = 0; i < 16; ++i) {
        EXPECT_TRUE(HungUp(clients[static_cast<std::size_t>(i)])) << i;
    }
    EXPECT_EQ(session->Connections(), 4u) << "the waiting ones are taken now";
    EXPECT_TRUE(session->Accepting());

    // A real hand-over still arrives.
    EXPECT_EQ(Send(Caption, "real.tlv"), 1);
    EXPECT_EQ(session->TakeText(), "real.tlv");
    clock.Advance(platform::SessionEndpoint::DeliveryLimitMs);
    Pump();
    EXPECT_EQ(session->Connections(), 0u);
}

TEST_F(CarelessPeers, ATextThatTricklesInLosesItsSlotTwoSecondsAfterItWasTaken)
{
    const int fd = Connect();
    Pump();
    ASSERT_EQ(session->Connections(), 1u);
    Announce(fd);
    // A byte every half second: never quiet, never done.
    for (int elapsed = 500; elapsed < platform::SessionEndpoint::DeliveryLimitMs; elapsed += 500) {
        clock.Advance(500);
        TrickleOne(fd);
        Pump();
        EXPECT_EQ(session->Connections(), 1u) << elapsed;
    }
    clock.Advance(499);
    TrickleOne(fd);
    Pump();
    EXPECT_EQ(session->Connections(), 1u);
    clock.Advance(1);
    Pump();
    EXPECT_EQ(session->Connections(), 0u);
    EXPECT_TRUE(HungUp(fd));
}

TEST_F(CarelessPeers, ThirtySlowSendersCannotKeepASecondStartOut)
{
    // Thirty peers announce a long text and send a byte every 1.5 s; those
    // the full backlog turns away would try again, and are left out here.
    std::vector<int> slow;
    for (int i = 0; i < 30; ++i) {
        const int fd = ConnectIfRoom();
        if (fd >= 0) {
            Announce(fd);
            slow.push_back(fd);
        }
        Pump();
    }
    ASSERT_EQ(session->Connections(), platform::SessionEndpoint::ConnectionLimit);
    ASSERT_GT(slow.size(), platform::SessionEndpoint::ConnectionLimit) << "some wait in the backlog";

    // The second start waits in connect() meanwhile.
    HelperProcess secondStart("tolv_test_session", {"sendto", Caption, "/srv/show.tlv"});
    ASSERT_TRUE(secondStart.WaitStarted());
    clock.Advance(1500);
    for (const int fd : slow) {
        TrickleOne(fd);
    }
    Pump();
    clock.Advance(500);
    Pump();
    EXPECT_EQ(secondStart.Finish(), 1);
    EXPECT_EQ(session->TakeText(), "/srv/show.tlv");
}

TEST_F(CarelessPeers, OutOfDescriptorsListeningPausesForASecondAndSaysSoOnce)
{
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    const int waiting = Connect();
    // Every descriptor this process may have is taken.
    rlimit tight = saved;
    tight.rlim_cur = static_cast<rlim_t>(testsupport::OpenDescriptorCount() + 16);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &tight), 0);
    std::vector<int> fillers;
    for (int fd = dup(waiting); fd >= 0; fd = dup(waiting)) {
        fillers.push_back(fd);
    }
    const auto release = [&] {
        for (const int fd : fillers) {
            close(fd);
        }
        fillers.clear();
        setrlimit(RLIMIT_NOFILE, &saved);
    };
    Pump();
    const bool paused = !session->Accepting();
    const std::size_t afterFirst = log.size();
    // A second later it tries again, and fails again without a word.
    clock.Advance(platform::SessionEndpoint::AcceptPauseMs);
    Pump();
    const bool pausedAgain = !session->Accepting();
    const std::size_t afterSecond = log.size();
    release();

    EXPECT_TRUE(paused);
    EXPECT_TRUE(pausedAgain);
    ASSERT_EQ(afterFirst, 1u);
    EXPECT_EQ(afterSecond, 1u);
    EXPECT_NE(log[0].find("Too many open files"), std::string::npos) << log[0];
    EXPECT_EQ(session->Connections(), 0u);

    clock.Advance(platform::SessionEndpoint::AcceptPauseMs);
    Pump();
    EXPECT_TRUE(session->Accepting());
    EXPECT_EQ(session->Connections(), 1u) << "the waiting connection is taken at last";
    EXPECT_EQ(Send(Caption, "after.tlv"), 1);
    EXPECT_EQ(session->TakeText(), "after.tlv");
}

} // namespace
