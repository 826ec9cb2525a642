#include "platform/base/Hooks.h"
#include "remote/C_Com.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using testsupport::PseudoTerminal;

// A C_Com on "Com7", which the environment points at a pseudo-terminal.
class ComOnLine : public testing::Test {
protected:
    void SetUp() override
    {
        setenv("TOLV_COM7", box.PortPath().c_str(), 1);
        com.ComPort = "Com7";
        com.BaudRate = 9600;
        platform::SetPumpHook([this] { ++pumps; });
    }
    void TearDown() override
    {
        platform::SetPumpHook({});
        com.CloseComm();
        unsetenv("TOLV_COM7");
    }
    void WaitForInput() const { ASSERT_TRUE(testsupport::WaitReadable(com.Port().Descriptor())); }

    PseudoTerminal box;
    C_Com com;
    int pumps = 0;
};

TEST_F(ComOnLine, SendsOneByteForEveryCharacter)
{
    ASSERT_EQ(com.OpenComm(), 1);
    com.SendText("B005");
    EXPECT_EQ(box.Receive(4), (Bytes{0x42, 0x30, 0x30, 0x35}));
    // A character above 255 goes as its low byte: U+0141, U+20AC.
    com.SendText("\xC5\x81\xE2\x82\xAC");
    EXPECT_EQ(box.Receive(2), (Bytes{0x41, 0xAC}));
    com.SendText("");
    const std::array<std::uint8_t, 4> bytes{0x02, 0x06, 0x30, 0x03};
    com.SendDataB(bytes, 2);
    com.SendDataB(bytes, 0);
    com.SendDataB(bytes, 99); // never past the array
    com.SendDatalp(bytes);
    EXPECT_EQ(box.Receive(10), (Bytes{0x02, 0x06, 0x02, 0x06, 0x30, 0x03, 0x02, 0x06, 0x30, 0x03}));
}

TEST_F(ComOnLine, RecvDataBPutsTheCountFirstAndTheBytesAfterIt)
{
    ASSERT_EQ(com.OpenComm(), 1);
    com.DataSize = 8;
    std::array<std::uint8_t, 9> bytes{};
    bytes.fill(0xEE);
    box.Send(Bytes{0x81, 0x12, 0x07});
    WaitForInput();
    EXPECT_EQ(com.RecvDataB(bytes), 3);
    EXPECT_EQ((Bytes{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4]}), (Bytes{3, 0x81, 0x12, 0x07, 0xEE}));
    EXPECT_EQ(com.RecvDataB(bytes), 0);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(pumps, 2);

    // At most DataSize bytes a read, and never more than the array holds.
    com.DataSize = 2;
    box.Send(Bytes{1, 2, 3, 4, 5});
    WaitForInput();
    EXPECT_EQ(com.RecvDataB(bytes), 2);
    std::array<std::uint8_t, 2> small{};
    com.DataSize = 8;
    EXPECT_EQ(com.RecvDataB(small), 1);
    EXPECT_EQ((Bytes{small[0], small[1]}), (Bytes{1, 3}));
}

TEST_F(ComOnLine, RecvDataReturnsOneCharacterPerByte)
{
    ASSERT_EQ(com.OpenComm(), 1);
    com.DataSize = 4;
    box.Send(Bytes{'S', 'T', 0xF1, '\r', 'X'});
    WaitForInput();
    EXPECT_EQ(com.RecvData(), std::string("ST\xF1\r"));
    EXPECT_EQ(com.RecvData(), "X");
    EXPECT_EQ(pumps, 2);
}

TEST_F(ComOnLine, FurtherReadsOfAPollTakeTheRestInOrderWithoutPumping)
{
    ASSERT_EQ(com.OpenComm(), 1);
    com.DataSize = 4;
    std::array<std::uint8_t, 5> bytes{};
    box.Send(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    WaitForInput();
    EXPECT_EQ(com.RecvDataB(bytes), 4);
    EXPECT_EQ(com.RecvMoreB(bytes), 4);
    EXPECT_EQ((Bytes{bytes[0], bytes[1], bytes[2], bytes[3], bytes[4]}), (Bytes{4, 5, 6, 7, 8}));
    EXPECT_EQ(com.RecvMoreB(bytes), 2);
    EXPECT_EQ((Bytes{bytes[0], bytes[1], bytes[2]}), (Bytes{2, 9, 10}));
    EXPECT_EQ(com.RecvMoreB(bytes), 0);
    EXPECT_EQ(pumps, 1);

    // A burst longer than the driver gives in one call comes whole and in
    // order, whichever read takes it.
    Bytes burst(2 * C_Com::ReadAheadSize + 123);
    for (std::size_t at = 0; at < burst.size(); ++at) {
        burst[at] = static_cast<std::uint8_t>(at * 7 + at / 256);
    }
    box.Send(burst);
    WaitForInput();
    com.DataSize = 7;
    std::array<std::uint8_t, 8> piece{};
    Bytes read;
    for (int count = com.RecvDataB(piece); count > 0; count = com.RecvMoreB(piece)) {
        read.insert(read.end(), piece.begin() + 1, piece.begin() + 1 + count);
    }
    EXPECT_EQ(read, burst);
}

TEST_F(ComOnLine, WithoutAPortNothingIsSentOrRead)
{
    com.SendText("B005");
    com.DataSize = 4;
    EXPECT_EQ(com.RecvData(), "");
    EXPECT_EQ(pumps, 0);
    std::array<std::uint8_t, 5> bytes{9, 9, 9, 9, 9};
    EXPECT_EQ(com.RecvDataB(bytes), 0);
    EXPECT_EQ(bytes[0], 0);

    com.ComPort = "Com8";
    setenv("TOLV_COM8", "/dev/tolv-no-such-line", 1);
    EXPECT_EQ(com.OpenComm(), 0);
    unsetenv("TOLV_COM8");
    com.ComPort = "ttyS0";
    EXPECT_EQ(com.OpenComm(), 0);
    EXPECT_FALSE(com.IsOpen());
}

TEST_F(ComOnLine, OpensWithTheParityAndReopensAfterClosing)
{
    com.ParityBit = 2;
    com.BaudRate = 56000;
    ASSERT_EQ(com.OpenComm(), 1);
    ASSERT_EQ(com.OpenComm(), 1); // the open port is closed first
    com.CloseComm();
    EXPECT_FALSE(com.IsOpen());
    com.ParityBit = 5;
    EXPECT_EQ(com.OpenComm(), 0);
}

} // namespace
