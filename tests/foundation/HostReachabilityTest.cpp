#include "foundation/HostReachability.h"
#include "platform/base/Hooks.h"
#include "support/ClockFixture.h"
#include "support/FakeNetwork.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

using platform::Ipv4Address;

// Host checks on virtual time, through a resolver and a transport that send
// nothing. The documentation range 192.0.2.0/24 stands for servers.
class HostReachability : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2024, 5, 1), At(10, 0, 0, 200));
        FCT_Ping::PingCache.clear();
        resolver.names["fileserver"] = fileServer;
        transport.alive.insert(fileServer);
    }
    void TearDown() override { FCT_Ping::PingCache.clear(); }

    std::size_t Probes() const { return transport.probes.size(); }

    const Ipv4Address fileServer{192, 0, 2, 10};
    testsupport::FakeHostResolver resolver;
    testsupport::FakeEchoTransport transport;
};

TEST_F(HostReachability, PathsThatAreNoServerPathsAnswerAtOnceWithoutTraffic)
{
    for (const char* path : {"/home/op/sounds/a.wav", "C:\\sounds\\a.wav", "sounds/a.wav", "", "/", "\\x"}) {
        EXPECT_EQ(FCT_Ping::IsPathHostReachable(path, 1500, 300), 1) << path;
    }
    EXPECT_TRUE(resolver.lookups.empty());
    EXPECT_EQ(Probes(), 0U);
    EXPECT_TRUE(FCT_Ping::PingCache.empty());
}

TEST_F(HostReachability, OneEntryPerHostWhateverTheCaseTheShareOrTheSeparators)
{
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//FileServer/sounds/a.wav", 1500, 300), 1);
    ASSERT_EQ(Probes(), 1U);
    EXPECT_EQ(transport.probes[0].address, fileServer);
    EXPECT_EQ(transport.probes[0].timeoutMs, 1500);
    EXPECT_EQ(resolver.lookups, std::vector<std::string>{"fileserver"}) << "the host is asked in lower case";

    EXPECT_EQ(FCT_Ping::IsPathHostReachable("\\\\FILESERVER\\jingles\\b.wav", 1500, 300), 1);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//fileserver", 1500, 300), 1);
    EXPECT_EQ(Probes(), 1U) << "a repeated check inside the age sends nothing";
    EXPECT_EQ(resolver.lookups.size(), 1U);

    ASSERT_EQ(FCT_Ping::PingCache.size(), 1U);
    EXPECT_EQ(FCT_Ping::PingCache[0].Host, "fileserver");
    EXPECT_EQ(FCT_Ping::PingCache[0].Result, 1);
    EXPECT_EQ(FCT_Ping::PingCache[0].Time, "2024/05/01 10:00:00");
}

TEST_F(HostReachability, AnUnresolvableNameAnswersZeroAndIsCachedForTheGivenAge)
{
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//nosuchhost/share/a.wav", 1500, 60), 0);
    EXPECT_EQ(resolver.lookups.size(), 1U);
    EXPECT_EQ(Probes(), 0U) << "without an address nothing is sent";
    ASSERT_EQ(FCT_Ping::PingCache.size(), 1U);
    EXPECT_EQ(FCT_Ping::PingCache[0].Result, 0);

    clock.Advance(60'000);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//nosuchhost/other/b.wav", 1500, 60), 0);
    EXPECT_EQ(resolver.lookups.size(), 1U) << "60 s old is still within an age of 60 s";

    // The name appears in the name service meanwhile: once the answer is
    // older than the age the host is asked again, in the same entry.
    resolver.names["nosuchhost"] = Ipv4Address{192, 0, 2, 20};
    transport.alive.insert(Ipv4Address{192, 0, 2, 20});
    clock.Advance(1'000);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//nosuchhost/share/a.wav", 1500, 60), 1);
    EXPECT_EQ(resolver.lookups.size(), 2U);
    ASSERT_EQ(FCT_Ping::PingCache.size(), 1U);
    EXPECT_EQ(FCT_Ping::PingCache[0].Result, 1);
    EXPECT_EQ(FCT_Ping::PingCache[0].Time, "2024/05/01 10:01:01");
}

TEST_F(HostReachability, AHostThatDoesNotAnswerIsZeroUntilItsAnswerHasAged)
{
    transport.alive.clear();
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//fileserver/share/a.wav", 800, 300), 0);
    EXPECT_EQ(transport.probes.at(0).timeoutMs, 800);
    transport.alive.insert(fileServer);
    clock.Advance(301'000);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//fileserver/share/a.wav", 800, 300), 1);
    EXPECT_EQ(Probes(), 2U);
}

TEST_F(HostReachability, AgeZeroAsksAgainOnceTheSecondHasChanged)
{
    FCT_Ping::IsPathHostReachable("//fileserver/a/b", 1500, 0);
    clock.Advance(700); // 10:00:00.900, the same second
    FCT_Ping::IsPathHostReachable("//fileserver/a/b", 1500, 0);
    EXPECT_EQ(Probes(), 1U);
    clock.Advance(200); // 10:00:01.100
    FCT_Ping::IsPathHostReachable("//fileserver/a/b", 1500, 0);
    EXPECT_EQ(Probes(), 2U);
}

TEST_F(HostReachability, AnAnswerFromBeforeTheClockWasSetBackIsNotTrusted)
{
    FCT_Ping::IsPathHostReachable("//fileserver/a/b", 1500, 300);
    SetNow(Date(2024, 5, 1), At(9, 0, 0));
    FCT_Ping::IsPathHostReachable("//fileserver/a/b", 1500, 300);
    EXPECT_EQ(Probes(), 2U);
    EXPECT_EQ(FCT_Ping::PingCache.at(0).Time, "2024/05/01 09:00:00");
}

TEST_F(HostReachability, ADottedAddressIsUsedWithoutNameResolution)
{
    transport.alive.insert(Ipv4Address{192, 0, 2, 7});
    EXPECT_EQ(FCT_Ping::PingHost("192.0.2.7", 1000), 1);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("\\\\192.0.2.8\\share\\a.wav", 1000, 300), 0);
    EXPECT_TRUE(resolver.lookups.empty());
    ASSERT_EQ(Probes(), 2U);
    EXPECT_EQ(transport.probes[0].address, (Ipv4Address{192, 0, 2, 7}));
    EXPECT_EQ(transport.probes[1].address, (Ipv4Address{192, 0, 2, 8}));
}

// The wait for an answer pumps events, and a handler may check another host
// meanwhile: the outer check must still store its own answer in its own entry.
class PumpingTransport final : public platform::EchoTransport {
public:
    PumpingTransport() { platform::SetEchoTransport(this); }
    ~PumpingTransport() override { platform::SetEchoTransport(nullptr); }
    PumpingTransport(const PumpingTransport&) = delete;
    PumpingTransport& operator=(const PumpingTransport&) = delete;

    bool HostAnswers(const Ipv4Address& address, int) override
    {
        platform::Pump();
        return address[3] % 2 == 0;
    }
};

TEST_F(HostReachability, ACheckNestedInTheWaitKeepsBothAnswers)
{
    PumpingTransport pumping;
    resolver.names["even"] = Ipv4Address{192, 0, 2, 2};
    resolver.names["odd"] = Ipv4Address{192, 0, 2, 3};
    int nested = 0;
    platform::SetPumpHook([&] {
        if (nested++ < 8) {
            // Many hosts, so that the cache has to grow while the outer waits.
            FCT_Ping::IsPathHostReachable("//odd/share/x.wav", 1500, 300);
            for (int n = 0; n < 8; ++n) {
                FCT_Ping::IsPathHostReachable("//other" + std::to_string(n) + "/s/x", 1500, 300);
            }
        }
    });
    const std::int32_t outer = FCT_Ping::IsPathHostReachable("//even/share/y.wav", 1500, 300);
    platform::SetPumpHook({});

    EXPECT_EQ(outer, 1);
    std::optional<FCT_Ping::PingCacheEntry> even;
    std::optional<FCT_Ping::PingCacheEntry> odd;
    for (const auto& entry : FCT_Ping::PingCache) {
        if (entry.Host == "even") {
            even = entry;
        } else if (entry.Host == "odd") {
            odd = entry;
        }
    }
    ASSERT_TRUE(even && odd);
    EXPECT_EQ(even->Result, 1);
    EXPECT_EQ(odd->Result, 0);
    EXPECT_EQ(FCT_Ping::PingCache.size(), 10U) << "one entry per host";
}

// The real resolver and transport, on the loopback only.
class LoopbackHost : public testsupport::ClockFixture {
protected:
    void SetUp() override { FCT_Ping::PingCache.clear(); }
    void TearDown() override { FCT_Ping::PingCache.clear(); }
};

TEST_F(LoopbackHost, TheLoopbackAddressAndLocalhostAnswer)
{
    EXPECT_EQ(FCT_Ping::PingHost("127.0.0.1", 1000), 1);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//127.0.0.1/share/a.wav", 1000, 300), 1);
    EXPECT_EQ(FCT_Ping::IsPathHostReachable("//LocalHost/share/a.wav", 1000, 300), 1);
    ASSERT_EQ(FCT_Ping::PingCache.size(), 2U);
    EXPECT_EQ(FCT_Ping::PingCache[1].Host, "localhost");
}

} // namespace
