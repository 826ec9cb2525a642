#include "platform/SerialPort.h"
#include "platform/ComPortNames.h"
#include "platform/SerialOutputQueue.h"
#include "platform/SerialTermios.h"
#include "platform/base/LogSink.h"
#include "support/ClockFixture.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <sys/ioctl.h>
#include <vector>

namespace {

using platform::SerialLineSettings;
using platform::SerialOutputQueue;
using testsupport::PseudoTerminal;

std::vector<std::uint8_t> Bytes(std::size_t count, std::uint8_t value = 0x55)
{
    return std::vector<std::uint8_t>(count, value);
}

termios2 ReadBack(int fd)
{
    termios2 state{};
    EXPECT_EQ(ioctl(fd, TCGETS2, &state), 0);
    return state;
}

class CapturedLog {
public:
    CapturedLog()
    {
        platform::SetLogSink([this](std::string_view text, int) { lines.emplace_back(text); });
    }
    ~CapturedLog() { platform::SetLogSink({}); }
    std::vector<std::string> lines;
};

// ---- Port names ------------------------------------------------------------

TEST(ComPortNames, ComNIsTheDeviceOfItsVariableElseTheNthSerialLine)
{
    unsetenv("TOLV_COM3");
    EXPECT_EQ(platform::ComDevicePath("Com3"), "/dev/ttyS2");
    EXPECT_EQ(platform::ComDevicePath("COM1"), "/dev/ttyS0");
    setenv("TOLV_COM3", "/dev/ttyUSB0", 1);
    EXPECT_EQ(platform::ComDevicePath("com3"), "/dev/ttyUSB0");
    setenv("TOLV_COM3", "", 1);
    EXPECT_EQ(platform::ComDevicePath("Com3"), "/dev/ttyS2");
    unsetenv("TOLV_COM3");
    for (const char* name : {"Com0", "Com", "Com-1", "Com1x", "LPT1", "", "Com 1", "Com99999999999"}) {
        EXPECT_FALSE(platform::ComDevicePath(name)) << name;
    }
}

// ---- Line settings ---------------------------------------------------------

TEST(SerialLineState, IsRawWithEightDataBitsOneStopBitAndTheChosenParity)
{
    termios2 cooked{};
    cooked.c_iflag = ICRNL | IXON | IXOFF | ISTRIP;
    cooked.c_oflag = OPOST | ONLCR;
    cooked.c_lflag = ICANON | ECHO | ISIG | IEXTEN;
    cooked.c_cflag = CS7 | CSTOPB | CRTSCTS | PARODD | B9600;

    const auto none = platform::SerialLineState(cooked, {38400, platform::ParityNone, platform::OneStopBit});
    ASSERT_TRUE(none);
    EXPECT_EQ(none->c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(none->c_cflag & (PARENB | PARODD | CSTOPB | CRTSCTS), 0u);
    EXPECT_NE(none->c_cflag & CREAD, 0u);
    EXPECT_NE(none->c_cflag & CLOCAL, 0u);
    EXPECT_EQ(none->c_iflag & (ICRNL | IXON | IXOFF | ISTRIP | INPCK), 0u);
    EXPECT_EQ(none->c_oflag & OPOST, 0u);
    EXPECT_EQ(none->c_lflag & (ICANON | ECHO | ISIG | IEXTEN), 0u);
    EXPECT_EQ(none->c_cc[VMIN], 0);
    EXPECT_EQ(none->c_cc[VTIME], 0);

    const auto even = platform::SerialLineState(cooked, {38400, platform::ParityEven, platform::OneStopBit});
    ASSERT_TRUE(even);
    EXPECT_NE(even->c_cflag & PARENB, 0u);
    EXPECT_EQ(even->c_cflag & PARODD, 0u);
    EXPECT_EQ(even->c_cflag & CSTOPB, 0u);
    EXPECT_EQ(even->c_iflag & (INPCK | IGNPAR), static_cast<tcflag_t>(INPCK | IGNPAR));
}

TEST(SerialLineState, TakesEveryRateExactlyAndRefusesWhatNoLineCanDo)
{
    for (const int rate : {110, 300, 600, 1200, 2400, 9600, 19200, 38400}) {
        const auto state = platform::SerialLineState({}, {rate, 0, 0});
        ASSERT_TRUE(state);
        EXPECT_NE(state->c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER)) << rate;
        EXPECT_EQ(state->c_ospeed, static_cast<speed_t>(rate));
    }
    for (const int rate : {14400, 28800, 56000, 128000, 256000}) {
        const auto state = platform::SerialLineState({}, {rate, 0, 0});
        ASSERT_TRUE(state);
        EXPECT_EQ(state->c_cflag & CBAUD, static_cast<tcflag_t>(BOTHER)) << rate;
        EXPECT_EQ(state->c_ospeed, static_cast<speed_t>(rate));
        EXPECT_EQ(state->c_ispeed, static_cast<speed_t>(rate));
    }
    EXPECT_FALSE(platform::SerialLineState({}, {0, 0, 0}));
    EXPECT_FALSE(platform::SerialLineState({}, {-9600, 0, 0}));
    EXPECT_FALSE(platform::SerialLineState({}, {9600, 3, 0}));
    EXPECT_FALSE(platform::SerialLineState({}, {9600, 0, 1}));
}

// ---- Output queue ----------------------------------------------------------

TEST(SerialOutputQueue, HoldsAtMostFourKibibytesAndNeverCutsASend)
{
    SerialOutputQueue queue;
    EXPECT_EQ(queue.Append(Bytes(4000), 0), 0u);
    EXPECT_EQ(queue.Append(Bytes(96), 0), 0u);
    EXPECT_EQ(queue.Size(), 4096u);
    EXPECT_EQ(queue.Append(Bytes(1), 0), 1u);
    queue.Consume(4000);
    EXPECT_EQ(queue.Front().size(), 96u);
    EXPECT_EQ(queue.Append(Bytes(4001), 0), 4001u); // would not fit whole
    EXPECT_EQ(queue.Size(), 96u);
    queue.Clear();
    EXPECT_EQ(queue.Append(Bytes(5000), 0), 904u); // an empty queue takes what fits
}

TEST(SerialOutputQueue, GivesUpSendsThatWaitedFiveSeconds)
{
    SerialOutputQueue queue;
    queue.Append(Bytes(10), 1000);
    queue.Append(Bytes(20), 3000);
    queue.Consume(4);
    EXPECT_EQ(queue.DropExpired(5999), 0u);
    EXPECT_EQ(queue.DropExpired(6000), 6u); // the rest of the first send
    EXPECT_EQ(queue.Size(), 20u);
    // A clock that went back counts the sends from the new time.
    EXPECT_EQ(queue.DropExpired(100), 0u);
    EXPECT_EQ(queue.DropExpired(5099), 0u);
    EXPECT_EQ(queue.DropExpired(5100), 20u);
    EXPECT_TRUE(queue.Empty());
}

// ---- Ports over pseudo-terminals -------------------------------------------

TEST(SerialPort, ReadsBackEveryRateOfTheRemotePageWithOrWithoutParity)
{
    PseudoTerminal line;
    platform::SerialPort port;
    for (const int rate : {110, 300, 600, 1200, 2400, 9600, 14400, 19200, 28800, 38400, 56000, 128000, 256000}) {
        for (const int parity : {platform::ParityNone, platform::ParityEven}) {
            ASSERT_TRUE(port.Open("Com1", line.PortPath(), {rate, parity, platform::OneStopBit})) << rate;
            const termios2 state = ReadBack(port.Descriptor());
            EXPECT_EQ(state.c_ospeed, static_cast<speed_t>(rate));
            EXPECT_EQ(state.c_ispeed, static_cast<speed_t>(rate));
            EXPECT_EQ(state.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
            EXPECT_EQ(state.c_cflag & CSTOPB, 0u);
            EXPECT_EQ(state.c_lflag & (ICANON | ECHO | ISIG), 0u);
            // A pseudo-terminal clears PARENB itself; the parity check of the
            // receiver shows what was asked for.
            EXPECT_EQ((state.c_iflag & INPCK) != 0, parity == platform::ParityEven) << rate;
            port.Close();
        }
    }
}

TEST(SerialPort, IsForThisPortAloneAndMissingDevicesFailWithALogLine)
{
    CapturedLog log;
    PseudoTerminal line;
    platform::SerialPort port;
    ASSERT_TRUE(port.Open("Com1", line.PortPath(), {}));
    int exclusive = 0;
    EXPECT_EQ(ioctl(port.Descriptor(), TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 1);
    platform::SerialPort second;
    EXPECT_FALSE(second.Open("Com2", line.PortPath(), {}));
    port.Close();
    EXPECT_TRUE(second.Open("Com2", line.PortPath(), {}));

    platform::SerialPort missing;
    log.lines.clear();
    EXPECT_FALSE(missing.Open("Com5", "/dev/tolv-no-such-line", {}));
    EXPECT_FALSE(missing.IsOpen());
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_NE(log.lines[0].find("Com5"), std::string::npos);
    EXPECT_FALSE(missing.Open("Com5", "/dev/null", {})); // not a serial line
}

TEST(SerialPort, ReadsReturnAtOnceWithWhatHasArrived)
{
    PseudoTerminal line;
    platform::SerialPort port;
    ASSERT_TRUE(port.Open("Com1", line.PortPath(), {}));
    std::uint8_t into[8] = {};
    EXPECT_EQ(port.Read(into), 0u);
    line.Send(std::vector<std::uint8_t>{0x02, 0x0A, 0x0D, 0x11, 0x13});
    ASSERT_TRUE(testsupport::WaitReadable(port.Descriptor()));
    // Raw: no line editing, no CR/LF translation, no XON/XOFF taken away.
    ASSERT_EQ(port.Read(into), 5u);
    EXPECT_EQ(std::vector<std::uint8_t>(into, into + 5), (std::vector<std::uint8_t>{0x02, 0x0A, 0x0D, 0x11, 0x13}));
    EXPECT_EQ(port.Read(into), 0u);
}

class StalledLine : public testsupport::ClockFixture {
protected:
    // Sends until the far end, which reads nothing, takes no more and bytes
    // wait in the queue. Then the line's output is held, as flow control
    // holds it: for a while after a write fails the kernel still moves bytes
    // between its own buffers, and would take some of the queue at a moment
    // of its own choosing.
    void FillLine()
    {
        ASSERT_TRUE(port.Open("Com4", line.PortPath(), {}));
        for (int sends = 0; port.QueuedBytes() == 0 && sends < 4096; ++sends) {
            port.Write(Bytes(1024));
            sentBytes += 1024;
        }
        ASSERT_GT(port.QueuedBytes(), 0u);
        ASSERT_EQ(ioctl(port.Descriptor(), TCXONC, TCOOFF), 0);
    }
    void ReleaseLine() { ASSERT_EQ(ioctl(port.Descriptor(), TCXONC, TCOON), 0); }

    CapturedLog log;
    PseudoTerminal line;
    platform::SerialPort port;
    std::size_t sentBytes = 0;
};

TEST_F(StalledLine, QueuesWhatDoesNotFitAndGivesItUpAfterFiveSecondsWithOneLogLine)
{
    FillLine();
    EXPECT_TRUE(log.lines.empty());
    for (int i = 0; i < 60; ++i) {
        port.Write(Bytes(100));
        EXPECT_LE(port.QueuedBytes(), SerialOutputQueue::Capacity);
    }
    ASSERT_EQ(log.lines.size(), 1u); // for all the sends that no longer fitted
    EXPECT_NE(log.lines[0].find("Com4"), std::string::npos);

    clock.Advance(4999);
    std::uint8_t into[4];
    port.Read(into);
    EXPECT_GT(port.QueuedBytes(), 0u);
    clock.Advance(1);
    port.Read(into);
    EXPECT_EQ(port.QueuedBytes(), 0u);
    EXPECT_EQ(log.lines.size(), 1u);

    // The line is still dead: new bytes queue and go the same way, unlogged.
    port.Write(Bytes(10));
    EXPECT_EQ(port.QueuedBytes(), 10u);
    clock.Advance(5000);
    port.Drain();
    EXPECT_EQ(port.QueuedBytes(), 0u);
    EXPECT_EQ(log.lines.size(), 1u);
}

TEST_F(StalledLine, ExpiryAloneLogsOnceAndQueuedBytesFollowWhenTheFarEndReadsAgain)
{
    FillLine();
    const std::size_t taken = sentBytes - port.QueuedBytes();
    clock.Advance(5000);
    port.Drain();
    EXPECT_EQ(port.QueuedBytes(), 0u);
    ASSERT_EQ(log.lines.size(), 1u);

    // New sends wait behind one another while the line is still held.
    port.Write(Bytes(1024, 0x66));
    port.Write(std::vector<std::uint8_t>{0xA5});
    EXPECT_EQ(port.QueuedBytes(), 1025u);
    // The far end catches up; the waiting bytes follow everything before them.
    ReleaseLine();
    std::vector<std::uint8_t> arrived;
    while ((arrived.empty() || arrived.back() != 0xA5) && testsupport::WaitReadable(line.FarEnd())) {
        const std::vector<std::uint8_t> piece = line.ReceiveWaiting();
        arrived.insert(arrived.end(), piece.begin(), piece.end());
        port.Drain();
    }
    EXPECT_EQ(port.QueuedBytes(), 0u);
    // Everything the line took before the stall arrived, then the new sends
    // in their order; the given-up bytes did not.
    ASSERT_EQ(arrived.size(), taken + 1025);
    const auto newSends = arrived.begin() + static_cast<std::ptrdiff_t>(taken);
    EXPECT_EQ(std::vector<std::uint8_t>(arrived.begin(), newSends), Bytes(taken));
    EXPECT_EQ(std::vector<std::uint8_t>(newSends, arrived.end() - 1), Bytes(1024, 0x66));
    EXPECT_EQ(arrived.back(), 0xA5);
    EXPECT_EQ(log.lines.size(), 1u);
}

} // namespace
