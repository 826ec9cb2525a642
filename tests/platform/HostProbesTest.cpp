#include "platform/IcmpEcho.h"
#include "platform/Ipv4Address.h"
#include "platform/PumpingWait.h"
#include "platform/SocketEchoTransport.h"
#include "platform/SocketHandle.h"
#include "platform/SystemHostResolver.h"
#include "platform/TcpProbe.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <vector>

// Every probe here goes to the loopback (127.0.0.0/8) and nowhere else.
namespace {

using platform::Ipv4Address;
using platform::ProbeOutcome;

const Ipv4Address loopback{127, 0, 0, 1};

// A TCP socket bound to a free loopback port; listening or not.
class LoopbackPort {
public:
    explicit LoopbackPort(bool listening) : socket_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address = platform::SocketAddressOf(loopback, 0);
        socklen_t size = sizeof address;
        EXPECT_EQ(bind(socket_.Get(), reinterpret_cast<sockaddr*>(&address), size), 0);
        EXPECT_EQ(getsockname(socket_.Get(), reinterpret_cast<sockaddr*>(&address), &size), 0);
        port_ = ntohs(address.sin_port);
        if (listening) {
            EXPECT_EQ(listen(socket_.Get(), 4), 0);
        }
    }
    std::uint16_t Port() const { return port_; }
    int Fd() const { return socket_.Get(); }

private:
    platform::SocketHandle socket_;
    std::uint16_t port_ = 0;
};

// Refuses ICMP sockets as a machine without ping permission does.
int RefuseIcmp(int domain, int type, int protocol)
{
    if (protocol == IPPROTO_ICMP) {
        errno = (type & SOCK_RAW) == SOCK_RAW ? EPERM : EACCES;
        return -1;
    }
    return platform::OpenSystemSocket(domain, type, protocol);
}

class CapturedLog {
public:
    CapturedLog()
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
    }
    ~CapturedLog() { platform::SetLogSink({}); }
    CapturedLog(const CapturedLog&) = delete;
    CapturedLog& operator=(const CapturedLog&) = delete;
    std::vector<std::string> lines;
};

TEST(Ipv4Address, OnlyFourDottedDecimalNumbersAreAnAddress)
{
    EXPECT_EQ(platform::ParseDottedIpv4("127.0.0.1"), loopback);
    EXPECT_EQ(platform::ParseDottedIpv4("192.0.2.255"), (Ipv4Address{192, 0, 2, 255}));
    for (const char* text : {"", "localhost", "127.1", "256.0.0.1", "1.2.3.4.", " 1.2.3.4", "1.2.3.4 ", "1..2.3",
                             "1.2.3.4x", "1234.1.1.1", "-1.2.3.4", "fs01"}) {
        EXPECT_FALSE(platform::ParseDottedIpv4(text)) << text;
    }
    EXPECT_EQ(platform::FormatIpv4(Ipv4Address{10, 0, 200, 7}), "10.0.200.7");
    EXPECT_TRUE(platform::IsLoopback(Ipv4Address{127, 8, 9, 10}));
    EXPECT_FALSE(platform::IsLoopback(Ipv4Address{128, 0, 0, 1}));
}

TEST(SystemHostResolver, LocalhostIsLoopbackWithoutAskingAndBadNamesAreRefused)
{
    platform::SystemHostResolver resolver;
    EXPECT_EQ(resolver.Resolve("localhost"), loopback);
    EXPECT_EQ(resolver.Resolve("LocalHost"), loopback);
    EXPECT_EQ(resolver.Resolve("studio.localhost"), loopback);
    // A numeric host is converted by the lookup itself, on its worker thread.
    EXPECT_EQ(resolver.Resolve("127.0.0.2"), (Ipv4Address{127, 0, 0, 2}));
    for (const char* name : {"", "two words", "a/b", "a\\b", "tab\there"}) {
        EXPECT_FALSE(resolver.Resolve(name)) << name;
    }
    EXPECT_FALSE(resolver.Resolve(std::string(300, 'a')));
}

TEST(TcpProbe, AConnectionAndARefusalBothShowTheHostIsAlive)
{
    const LoopbackPort listening(true);
    EXPECT_EQ(
        platform::TcpConnectProbe(platform::OpenSystemSocket, loopback, listening.Port(), testsupport::RealWaitMs),
        ProbeOutcome::Answered);
    const LoopbackPort closed(false);
    EXPECT_EQ(platform::TcpConnectProbe(platform::OpenSystemSocket, loopback, closed.Port(), testsupport::RealWaitMs),
              ProbeOutcome::Answered);
}

TEST(SocketEchoTransport, WithoutIcmpSocketsItSaysSoOnceAndConnectsInstead)
{
    const CapturedLog log;
    const LoopbackPort listening(true);
    platform::SocketEchoTransport transport(RefuseIcmp, listening.Port());
    EXPECT_TRUE(transport.HostAnswers(loopback, testsupport::RealWaitMs));
    EXPECT_TRUE(transport.HostAnswers(Ipv4Address{127, 0, 0, 9}, testsupport::RealWaitMs));
    ASSERT_EQ(log.lines.size(), 1U);
    EXPECT_NE(log.lines[0].find("ICMP"), std::string::npos) << log.lines[0];
    EXPECT_NE(log.lines[0].find(std::to_string(listening.Port())), std::string::npos) << log.lines[0];
}

TEST(SocketEchoTransport, NoSocketAtAllIsNoAnswerAndNoFallback)
{
    const CapturedLog log;
    int opened = 0;
    platform::SocketEchoTransport transport(
        [&](int, int, int) {
            ++opened;
            errno = EMFILE;
            return -1;
        },
        platform::FileSharingPort);
    EXPECT_FALSE(transport.HostAnswers(loopback, 1000));
    EXPECT_EQ(opened, 2) << "the datagram and the raw socket were tried";
    EXPECT_TRUE(log.lines.empty());
}

TEST(IcmpEcho, TheLoopbackAnswersAnEchoRequest)
{
    const ProbeOutcome outcome = platform::IcmpEcho(platform::OpenSystemSocket, loopback, testsupport::RealWaitMs);
    if (outcome == ProbeOutcome::NotPermitted) {
        GTEST_SKIP() << "this machine permits neither ICMP datagram nor raw sockets";
    }
    EXPECT_EQ(outcome, ProbeOutcome::Answered);
}

TEST(SocketEchoTransport, TheLoopbackAnswersWhateverWayTheMachinePermits)
{
    platform::SocketEchoTransport transport;
    EXPECT_TRUE(transport.HostAnswers(loopback, testsupport::RealWaitMs));
}

TEST(PumpingWait, EventsRunWhileASocketStaysSilent)
{
    const LoopbackPort listening(true); // nobody connects
    int pumps = 0;
    platform::SetPumpHook([&] { ++pumps; });
    const int events =
        platform::PollPumping(listening.Fd(), POLLIN, platform::DeadlineAfter(3 * platform::WaitSliceMs));
    platform::SetPumpHook({});
    EXPECT_EQ(events, 0);
    EXPECT_GE(pumps, 1);

    pumps = 0;
    EXPECT_EQ(platform::PollPumping(listening.Fd(), POLLIN, platform::DeadlineAfter(-5)), 0);
    EXPECT_EQ(pumps, 0) << "a deadline already passed waits for nothing";
}

} // namespace
