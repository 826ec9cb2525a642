// Serial lines flooded with noise (a wrong baud rate, a loose cable): the
// engine tick reads through what piled up and drops it, so nothing in the
// noise acts and a command sent afterwards acts at once, or once a box that
// keeps sending has kept within the allowance for 250 ms; keys at a person's
// speed are never noise, even with a poll late, with CR LF after each text
// command, or eight sent at once however close the polls; the framing stays
// what it is over one read per tick; and a late poll that finds many commands
// carries out a bounded number per tick.
#include "RemoteModel.h"
#include "platform/base/Hooks.h"
#include "support/PseudoTerminal.h"
#include "tests/remote/RemoteControlFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <random>
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
        basic::SaveSetting("ComBaud_1", "38400");
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
    // Buttons played since the last call (a key or a command plays one).
    std::size_t Played()
    {
        const auto played =
            static_cast<std::size_t>(std::count_if(targets.calls.begin(), targets.calls.end(),
                                                   [](const std::string& call) { return call.rfind("Pon ", 0) == 0; }));
        targets.calls.clear();
        return played;
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
        // The line falls quiet for 100 ms before the command.
        clock.Advance(50);
        control->PollRemote();
        clock.Advance(50);
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
    // their order, with ticks 50 ms apart.
    Open(remote::ProtocolText);
    SendAndPoll(T("xB0"));
    EXPECT_EQ(targets.Take(), "");
    clock.Advance(50);
    SendAndPoll(T("02xxB012P003B"));
    EXPECT_EQ(targets.Take(), "Pon 0,1,0,0,0; Pon 0,11,0,0,0; ChangePage 0,2,0");
    clock.Advance(50);
    SendAndPoll(T("004"));
    EXPECT_EQ(targets.Take(), "Pon 0,3,0,0,0");
}

TEST_F(SerialNoise, CommandsALatePollFindsActAFewPerTickInOrder)
{
    Open(remote::ProtocolBinary1);
    // The tick was held for a second: 40 bytes are no noise then.
    clock.Advance(1000);
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

// Binary1 commands 1..count: buttons 1..count of output 1.
Bytes Buttons(int count)
{
    Bytes bytes;
    for (int button = 1; button <= count; ++button) {
        bytes.push_back(static_cast<std::uint8_t>(button));
    }
    return bytes;
}

TEST_F(SerialNoise, OnBinary1FourCommandsEach50MsActWithOneSliceToSpareAndMoreAreNoise)
{
    // A 50 ms poll may read four commands and the four a quiet line left
    // unused, however long it stayed quiet: nine are noise.
    Open(remote::ProtocolBinary1);
    for (int poll = 0; poll < 10; ++poll) {
        clock.Advance(50);
        control->PollRemote();
    }
    clock.Advance(50);
    SendAndPoll(Buttons(9));
    EXPECT_EQ(targets.Take(), "");
    // Once a poll reads nothing, one line tells what was dropped.
    EXPECT_EQ(Logged("Com7 input dropped"), 0);
    clock.Advance(50);
    control->PollRemote();
    EXPECT_EQ(Logged("Com7 input dropped (noise): 9 bytes"), 1);

    clock.Advance(50);
    SendAndPoll(Buttons(8));
    EXPECT_EQ(Played(), 8u);
    // The slice to spare is spent: four act, five are noise.
    clock.Advance(50);
    SendAndPoll(Buttons(4));
    EXPECT_EQ(Played(), 4u);
    clock.Advance(50);
    SendAndPoll(Buttons(5));
    EXPECT_EQ(targets.Take(), "");
    clock.Advance(50);
    control->PollRemote();
    EXPECT_EQ(Logged("Com7 input dropped (noise): 5 bytes"), 1);
    EXPECT_EQ(Logged("Com7 input dropped"), 2);
}

// The same key on each protocol: page 2 and its button 3 of output 1 (the
// "Binary3" frame names button 35 of 32 a page), with the answer it gets;
// one command that plays button 3 of the page shown (on "Binary4" it selects
// page 1 first); and the most bytes a box may send for one command: a text
// box may end each with CR LF.
struct ProtocolCase {
    const char* name;
    int protocol;
    Bytes key;
    Bytes answer;
    Bytes command;
    std::size_t longestCommand;
};
const std::vector<ProtocolCase> ProtocolCases{
    {"Text", remote::ProtocolText, T("P002B003"), {}, T("B003"), 6},
    {"TextLines", remote::ProtocolText, T("P002\r\nB003\r\n"), {}, T("B003\r\n"), 6},
    {"Binary1", remote::ProtocolBinary1, B({202, 3}), {}, B({3}), 1},
    {"Binary2", remote::ProtocolBinary2, B({0x80, 0x13, 0x02, 0x80, 0x12, 0x03}), {}, B({0x80, 0x12, 0x03}), 3},
    {"Binary3", remote::ProtocolBinary3, B({Stx, 'D', '0', '3', '5', Etx}), B({Stx, 0x06, '0', Etx}),
     B({Stx, 'D', '0', '0', '3', Etx}), 6},
    {"Binary4", remote::ProtocolBinary4, T("010203\r\n"), T("OK\r\n"), T("010103\r\n"), 8},
};
void PrintTo(const ProtocolCase& item, std::ostream* out)
{
    *out << item.name;
}
constexpr const char* KeyActs = "ChangePage 0,1,0; Pon 0,2,0,0,0";
constexpr std::int64_t PollMs = 50;

class SerialNoiseOnEveryProtocol : public SerialNoise, public testing::WithParamInterface<ProtocolCase> {
protected:
    void Open(int baud)
    {
        basic::SaveSetting("ComBaud_1", std::to_string(baud));
        SerialNoise::Open(GetParam().protocol);
        lineMs_ = 0;
    }
    // Random bytes as the line brings them, in the pieces a poll every 50 ms
    // finds, for durationMs or up to atMost bytes. A byte takes 10 bits on
    // the line, 11 with the parity bit of "Binary3".
    std::size_t SendNoise(int baud, std::int64_t durationMs, std::size_t atMost)
    {
        const std::int64_t bitsPerByte = GetParam().protocol == remote::ProtocolBinary3 ? 11 : 10;
        std::mt19937 random(55);
        std::size_t sent = 0;
        for (std::int64_t ms = PollMs; ms <= durationMs && sent < atMost; ms += PollMs) {
            const std::size_t due = std::min(atMost, static_cast<std::size_t>(ms * baud / bitsPerByte / 1000));
            Bytes piece(due - sent);
            for (std::uint8_t& byte : piece) {
                byte = static_cast<std::uint8_t>(random() >> 24);
            }
            sent = due;
            line.Send(piece);
            clock.Advance(PollMs);
            control->PollRemote();
        }
        return sent;
    }
    // Nothing in the noise acted; the key the box sends 100 ms after it acts
    // within two polls, and one line tells how many bytes were dropped.
    void ExpectTheKeyActsAfterTheNoise(std::size_t noiseBytes)
    {
        EXPECT_EQ(targets.Take(), "");
        EXPECT_EQ(line.ReceiveWaiting(), Bytes{});
        clock.Advance(PollMs);
        control->PollRemote();
        clock.Advance(PollMs);
        line.Send(GetParam().key);
        control->PollRemote();
        clock.Advance(PollMs);
        control->PollRemote();
        EXPECT_EQ(targets.Take(), KeyActs);
        EXPECT_EQ(line.Receive(GetParam().answer.size()), GetParam().answer);
        EXPECT_EQ(Logged("Com7 input dropped (noise): " + std::to_string(noiseBytes) + " bytes"), 1);
        EXPECT_EQ(Logged("Com7 input dropped"), 1);
    }
    // The line ms by ms for durationMs, on from where the previous run ended:
    // at each ms the box sends what box gives for it, then the tick polls
    // when one is due, every 50 ms, but the poll due at latePollMs (if not 0)
    // comes 3 ms late. Returns the bytes sent.
    std::size_t Run(std::int64_t durationMs, const std::function<Bytes(std::int64_t)>& box, std::int64_t latePollMs = 0)
    {
        std::size_t sent = 0;
        for (const std::int64_t end = lineMs_ + durationMs; lineMs_ < end;) {
            clock.Advance(1);
            ++lineMs_;
            const Bytes bytes = box(lineMs_);
            line.Send(bytes);
            sent += bytes.size();
            const bool late = latePollMs > 0 && lineMs_ == latePollMs + 3;
            if (late || (lineMs_ % PollMs == 0 && lineMs_ != latePollMs)) {
                control->PollRemote();
            }
        }
        return sent;
    }

private:
    std::int64_t lineMs_ = 0;
};

TEST_P(SerialNoiseOnEveryProtocol, TwentyKilobytesOfRandomNoiseAt128000Baud)
{
    Open(128000);
    const std::size_t sent = SendNoise(128000, 60'000, 20 * 1024);
    ASSERT_EQ(sent, 20u * 1024);
    ExpectTheKeyActsAfterTheNoise(sent);
}

TEST_P(SerialNoiseOnEveryProtocol, SixtySecondsOfRandomNoiseAt38400Baud)
{
    Open(38400);
    ExpectTheKeyActsAfterTheNoise(SendNoise(38400, 60'000, SIZE_MAX));
}

// At 38400 baud, a key every 50 ms, with a page and a button each.
TEST_P(SerialNoiseOnEveryProtocol, KeysAtAPersonsSpeedAllActAlsoWhenAPollComesLate)
{
    Open(38400);
    std::string expected;
    Bytes answers;
    for (int key = 1; key <= 30; ++key) {
        clock.Advance(PollMs);
        if (key <= 25) {
            line.Send(GetParam().key);
            expected += std::string(key == 1 ? "" : "; ") + KeyActs;
            answers = answers + GetParam().answer;
        }
        // The tick is held for half a second after key 10, then polls every
        // 50 ms again.
        if (key <= 10 || key >= 20) {
            control->PollRemote();
        }
    }
    EXPECT_EQ(targets.Take(), expected);
    EXPECT_EQ(line.Receive(answers.size()), answers);
    EXPECT_EQ(Logged("Com7 input dropped"), 0);
}

TEST_P(SerialNoiseOnEveryProtocol, ABoxThatKeepsSendingAfterNoiseActsAgainOnceItStayedWithinTheAllowanceFor250Ms)
{
    Open(38400);
    const std::size_t noise = SendNoise(38400, 200, SIZE_MAX);
    // The box sends its key every 40 ms, so that every poll reads some of it.
    const auto keyEvery40Ms = [this](std::int64_t ms) { return ms % 40 == 20 ? GetParam().key : Bytes{}; };
    std::size_t dropped = noise + Run(200, keyEvery40Ms);
    EXPECT_EQ(Played(), 0u);
    EXPECT_EQ(Logged("Com7 input dropped"), 0);
    // The poll 250 ms after the noise ends it; what it read goes with it.
    dropped += Run(50, keyEvery40Ms);
    EXPECT_EQ(Played(), 0u);
    EXPECT_EQ(Logged("Com7 input dropped (noise): " + std::to_string(dropped) + " bytes"), 1);
    // Every key after it acts, over 195 polls more, with its answer.
    const std::size_t keys = Run(9750, keyEvery40Ms) / GetParam().key.size();
    EXPECT_EQ(keys, 244u);
    EXPECT_EQ(Played(), keys);
    EXPECT_EQ(line.ReceiveWaiting(), Repeated(GetParam().answer, keys * GetParam().answer.size()));
    EXPECT_EQ(Logged("Com7 input dropped"), 1);
}

TEST_P(SerialNoiseOnEveryProtocol, NoiseWhoseTailKeepsWithinTheAllowanceDoesNotActByItsTail)
{
    Open(38400);
    std::size_t dropped = SendNoise(38400, 200, SIZE_MAX);
    // A tail that reads like a key every 40 ms, for 200 ms.
    dropped += Run(200, [this](std::int64_t ms) { return ms % 40 == 20 ? GetParam().key : Bytes{}; });
    ExpectTheKeyActsAfterTheNoise(dropped);
}

// Commands spread evenly over each 50 ms, four in every slice or four and two
// in turn, or four at once each 50 ms, for 200 polls from a second before
// midnight; one poll comes 3 ms late and reads five of them (eight at once).
TEST_P(SerialNoiseOnEveryProtocol, FourCommandsEvery50MsAllActAlsoWhenOnePollIsLate)
{
    struct Turns {
        std::vector<std::int64_t> perSlice;
        std::size_t commands;
        bool atOnce = false;
    };
    for (const Turns& turns : {Turns{{4}, 800}, Turns{{4, 2}, 600}, Turns{{4}, 800, true}}) {
        SCOPED_TRACE(turns.commands);
        SCOPED_TRACE(turns.atOnce ? "at once" : "spread");
        SetNow(Date(2026, 3, 2), At(23, 59, 59));
        Open(38400);
        const auto box = [&turns, this](std::int64_t ms) {
            const std::int64_t count =
                turns.perSlice[static_cast<std::size_t>((ms - 1) / PollMs) % turns.perSlice.size()];
            const std::int64_t inSlice = (ms - 1) % PollMs;
            if (turns.atOnce) {
                return inSlice == 0
                           ? Repeated(GetParam().command, static_cast<std::size_t>(count) * GetParam().command.size())
                           : Bytes{};
            }
            // Command i of the slice comes i x 50 / count ms after its first.
            const std::int64_t i = (inSlice * count + PollMs - 1) / PollMs;
            return i < count && i * PollMs / count == inSlice ? GetParam().command : Bytes{};
        };
        // The poll due at 1050 ms, after a slice of four, comes past the
        // first command of the next slice.
        const std::size_t sent = Run(200 * PollMs, box, 1050) / GetParam().command.size();
        EXPECT_EQ(sent, turns.commands);
        EXPECT_EQ(Played(), sent);
        EXPECT_EQ(line.ReceiveWaiting(), Repeated(GetParam().answer, sent * GetParam().answer.size()));
        EXPECT_EQ(Logged("Com7 input dropped"), 0);
        control->CloseComm(0);
    }
}

// Eight commands at once, once a second, each read by a poll that comes 4 to
// 49 ms after the one before: all act. A byte more than eight of the longest
// commands is noise, also at a poll 10 ms after the one before.
TEST_P(SerialNoiseOnEveryProtocol, EightCommandsAtOnceActHoweverSoonAfterThePreviousPollTheyAreRead)
{
    Open(38400);
    const Bytes command = GetParam().command;
    const auto idleSecond = [this] {
        for (int poll = 0; poll < 19; ++poll) {
            clock.Advance(PollMs);
            control->PollRemote();
        }
    };
    for (std::int64_t second = 0; second < 10; ++second) {
        idleSecond();
        clock.Advance(4 + 5 * second);
        SendAndPoll(Repeated(command, 8 * command.size()));
    }
    idleSecond();
    EXPECT_EQ(Played(), 80u);
    EXPECT_EQ(line.ReceiveWaiting(), Repeated(GetParam().answer, 80 * GetParam().answer.size()));
    EXPECT_EQ(Logged("Com7 input dropped"), 0);

    idleSecond();
    clock.Advance(10);
    SendAndPoll(Repeated(command, 8 * GetParam().longestCommand + 1));
    idleSecond();
    EXPECT_EQ(Played(), 0u);
    EXPECT_EQ(line.ReceiveWaiting(), Bytes{});
    EXPECT_EQ(Logged("Com7 input dropped (noise): "), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryProtocol, SerialNoiseOnEveryProtocol, testing::ValuesIn(ProtocolCases),
                         [](const testing::TestParamInfo<ProtocolCase>& param) {
                             return std::string(param.param.name);
                         });

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
