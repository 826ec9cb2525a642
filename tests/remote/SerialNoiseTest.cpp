// Serial lines flooded with noise (a wrong baud rate, a loose cable): the
// engine tick reads through what piled up, so a command sent afterwards acts
// at once; the framing stays what it is over one read per tick; and a line
// that turns every byte into a command costs a bounded number of commands
// per tick.
#include "RemoteModel.h"
#include "platform/base/Hooks.h"
#include "support/PseudoTerminal.h"
#include "tests/remote/RemoteControlFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace remotetest;

constexpr std::uint8_t Stx = 0x02;
constexpr std::uint8_t Etx = 0x03;

// Serial channel 1 on a pseudo-terminal, for output 1.
class SerialNoise : public RemoteControlTest {
protected:
    void SetUp() override
    {
        RemoteControlTest::SetUp();
        setenv("TOLV_COM7", line.PortPath().c_str(), 1);
        basic::SaveSetting("ComNo_1", "7");
        basic::SaveSetting("ComCh_1", "0");
    }
    void TearDown() override
    {
        unsetenv("TOLV_COM7");
        RemoteControlTest::TearDown();
    }
    void Open(int protocol)
    {
        basic::SaveSetting("ComMode_1", std::to_string(protocol));
        Init();
        ASSERT_TRUE(control->ComOpen(0));
    }
    // Bytes, one write from the box, then one engine tick's poll.
    void SendAndPoll(const Bytes& bytes)
    {
        line.Send(bytes);
        control->PollRemote();
    }

    testsupport::PseudoTerminal line;
};

// The pattern repeated to count bytes.
Bytes Repeated(const Bytes& pattern, std::size_t count)
{
    Bytes bytes;
    while (bytes.size() < count) {
        bytes.push_back(pattern[bytes.size() % pattern.size()]);
    }
    return bytes;
}

TEST_F(SerialNoise, ACommandAfterTwentyKilobytesOfNoiseActsWithinTwoTicks)
{
    struct Case {
        int protocol;
        // Bytes that make no command of the protocol, and no answer.
        Bytes noise;
        // Button 2 of output 1.
        Bytes command;
        Bytes answer;
    };
    const std::vector<Case> cases{
        {remote::ProtocolText, T("B1P2STOxPLA"), T("B002"), {}},
        // Bytes that are no remote code: 0, 101..200, 221..240, 247..254.
        {remote::ProtocolBinary1, B({0x00, 101, 150, 200, 221, 240, 247, 254}), B({0x02}), {}},
        // Frame starts with a command byte the protocol does not know.
        {remote::ProtocolBinary2, B({0x80, 0x15, 0x01, 0x7F, 0x81, 0x10, 0x02}), B({0x80, 0x12, 0x02}), {}},
        // Frame starts and letters, never an ETX.
        {remote::ProtocolBinary3, B({Stx, 'D', '0', '1', Stx, Stx, 'P', 'x'}), B({Stx, 'D', '0', '0', '2', Etx}),
         B({Stx, 0x06, '0', Etx})},
        // Digits and CRs, never an LF.
        {remote::ProtocolBinary4, T("0101020\r99"), T("010102\r\n"), T("OK\r\n")},
    };
    constexpr std::size_t NoiseBytes = 20 * 1024;
    // The pieces fit a pseudo-terminal's buffer (about 12 KB); a real port
    // holds much more.
    constexpr std::size_t Piece = 4096;
    for (const Case& item : cases) {
        SCOPED_TRACE(item.protocol);
        Open(item.protocol);
        const Bytes noise = Repeated(item.noise, NoiseBytes);
        for (std::size_t at = 0; at < noise.size(); at += Piece) {
            SendAndPoll(Bytes(noise.begin() + static_cast<std::ptrdiff_t>(at),
                              noise.begin() + static_cast<std::ptrdiff_t>(std::min(at + Piece, noise.size()))));
        }
        EXPECT_EQ(targets.Take(), "");
        SendAndPoll(item.command);
        control->PollRemote();
        EXPECT_EQ(targets.Take(),
                  item.protocol == remote::ProtocolBinary4 ? "ChangePage 0,0,0; Pon 0,1,0,0,0" : "Pon 0,1,0,0,0");
        // The command's answer, and nothing for the noise.
        EXPECT_EQ(line.Receive(item.answer.size()), item.answer);
        EXPECT_EQ(line.ReceiveWaiting(), Bytes{});
    }
}

TEST_F(SerialNoise, ReadsOfOneTickAreFramedAsReadsOfSuccessiveTicks)
{
    // Protocol 5 reads eight bytes at a time: noise before a frame puts the
    // frame across two reads of the same tick, and it still counts.
    Open(remote::ProtocolBinary4);
    SendAndPoll(T("ZZZ010102\r\n"));
    EXPECT_EQ(targets.Take(), "ChangePage 0,0,0; Pon 0,1,0,0,0");
    EXPECT_EQ(line.Receive(4), T("OK\r\n"));
    // A frame cut by the ticks completes with the next bytes.
    SendAndPoll(T("Z01010"));
    EXPECT_EQ(targets.Take(), "");
    SendAndPoll(T("3\r\n"));
    EXPECT_EQ(targets.Take(), "ChangePage 0,0,0; Pon 0,2,0,0,0");
    EXPECT_EQ(line.Receive(4), T("OK\r\n"));
    control->CloseComm(0);

    // Protocol 1: a command cut by the ticks, and several in one tick, in
    // their order.
    Open(remote::ProtocolText);
    SendAndPoll(T("xB0"));
    EXPECT_EQ(targets.Take(), "");
    SendAndPoll(T("02xxB012P003B"));
    EXPECT_EQ(targets.Take(), "Pon 0,1,0,0,0; Pon 0,11,0,0,0; ChangePage 0,2,0");
    SendAndPoll(T("004"));
    EXPECT_EQ(targets.Take(), "Pon 0,3,0,0,0");
}

TEST_F(SerialNoise, ABinary1FloodActsAFewCommandsPerTickInOrder)
{
    Open(remote::ProtocolBinary1);
    // Buttons 1..20, with bytes that are no command between them.
    Bytes flood;
    std::vector<std::string> expected;
    for (int button = 1; button <= 20; ++button) {
        flood.push_back(static_cast<std::uint8_t>(button));
        flood.push_back(static_cast<std::uint8_t>(100 + button));
        expected.push_back("Pon 0," + std::to_string(button - 1) + ",0,0,0");
    }
    line.Send(flood);
    std::vector<std::string> acted;
    for (int tick = 1; acted.size() < expected.size() && tick <= 20; ++tick) {
        control->PollRemote();
        const std::size_t before = acted.size();
        for (std::string& call : targets.calls) {
            acted.push_back(std::move(call));
        }
        targets.calls.clear();
        ASSERT_GE(acted.size() - before, 1u) << "tick " << tick;
        EXPECT_LE(acted.size() - before, static_cast<std::size_t>(RemoteControl::SerialCommandsPerPoll))
            << "tick " << tick;
    }
    EXPECT_EQ(acted, expected);
}

TEST_F(SerialNoise, APollThroughAFloodFeedsThePlayers)
{
    Open(remote::ProtocolText);
    clock.Advance(1000);
    platform::RefillIfDue();
    const std::size_t before = refillTimes.size();
    // Time passes while the tick runs.
    onPump = [this] { clock.Advance(30); };
    SendAndPoll(Repeated(T("B1P2STOxPLA"), 8 * 1024));
    EXPECT_GT(refillTimes.size(), before);
    EXPECT_EQ(targets.Take(), "");
}

TEST(SerialNoiseParsing, Binary3KeepsNoMoreThanAFrameStartWhileNoEtxComes)
{
    RemoteModel model;
    const Bytes noise = Repeated(B({Stx, 'D', '0', '1', '2', Stx, 'Q', Stx, 'M', '0', 'x'}), 20 * 1024);
    for (std::size_t at = 0; at < noise.size(); at += 6) {
        model.Feed(remote::ProtocolBinary3,
                   Bytes(noise.begin() + static_cast<std::ptrdiff_t>(at),
                         noise.begin() + static_cast<std::ptrdiff_t>(std::min(at + 6, noise.size()))));
        // At most a frame cut by the read: STX, "D" or "Q", three bytes.
        ASSERT_LE(model.state.buffer.size(), 5u);
    }
    EXPECT_TRUE(model.done.empty());
    model.Feed(remote::ProtocolBinary3, B({Stx, 'D', '0', '0', '2', Etx}));
    EXPECT_EQ(model.done, (Actions{Cmd(0, 2), Ack(0)}));
}

} // namespace
