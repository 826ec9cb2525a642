// The receive protocols end to end: a box on the far end of a pseudo-terminal
// sends, C_Com reads what one poll reads, the parser acts, and the answers
// travel back to the box.
#include "RemoteModel.h"
#include "remote/C_Com.h"
#include "remote/SerialReceive.h"
#include "support/PseudoTerminal.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

using namespace remotetest;
using testsupport::PseudoTerminal;

class RemoteLine : public testing::Test {
protected:
    void SetUp() override { setenv("TOLV_COM8", box.PortPath().c_str(), 1); }
    void TearDown() override { unsetenv("TOLV_COM8"); }

    // Runs the pieces, one write each from the box, through a freshly opened
    // port and a fresh channel; expects the actions, and exactly the answers
    // of those actions at the box.
    void Run(int protocol, const RemoteModel& start, const std::vector<Bytes>& pieces, const Actions& expected)
    {
        C_Com com;
        com.ComPort = "Com8";
        com.BaudRate = 38400;
        com.DataSize = remote::SerialReadSize(protocol);
        com.ParityBit = remote::SerialParity(protocol);
        ASSERT_EQ(com.OpenComm(), 1);
        RemoteModel model = start;
        model.answered = [&com](const Bytes& bytes) { com.SendDataB(bytes, static_cast<int>(bytes.size())); };
        for (const Bytes& piece : pieces) {
            box.Send(piece);
            // A read may take more from the driver than it hands out: the
            // line is waited for only when a poll found nothing.
            std::size_t taken = 0;
            while (taken < piece.size()) {
                const std::size_t got = Poll(com, protocol, model);
                if (got == 0) {
                    ASSERT_TRUE(testsupport::WaitReadable(com.Port().Descriptor()));
                }
                taken += got;
            }
        }
        EXPECT_EQ(model.done, expected);
        // Answers in order, and nothing else before the closing mark.
        Bytes answers;
        for (const remote::SerialAction& action : expected) {
            if (const auto* answer = std::get_if<remote::PortAnswer>(&action)) {
                answers.insert(answers.end(), answer->bytes.begin(), answer->bytes.end());
            }
        }
        com.SendText("#");
        answers.push_back('#');
        EXPECT_EQ(box.Receive(answers.size()), answers);
        com.CloseComm();
    }

    // One poll of the port as the engine tick makes it.
    static std::size_t Poll(C_Com& com, int protocol, RemoteModel& model)
    {
        Bytes bytes;
        if (protocol == remote::ProtocolText) {
            const std::string text = com.RecvData();
            bytes.assign(text.begin(), text.end());
        } else {
            Bytes buffer(static_cast<std::size_t>(com.DataSize) + 1);
            const int count = com.RecvDataB(buffer);
            bytes.assign(buffer.begin() + 1, buffer.begin() + 1 + count);
        }
        model.Feed(protocol, bytes);
        return bytes.size();
    }

    // The stream whole, cut at every boundary, and byte by byte.
    void RunEverySplit(int protocol, const RemoteModel& start, const Bytes& stream, const Actions& expected)
    {
        Run(protocol, start, {stream}, expected);
        std::vector<Bytes> bytes;
        for (std::size_t at = 1; at < stream.size(); ++at) {
            SCOPED_TRACE(at);
            Run(protocol, start,
                {Bytes(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(at)),
                 Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at), stream.end())},
                expected);
            bytes.push_back({stream[at - 1]});
        }
        bytes.push_back({stream.back()});
        Run(protocol, start, bytes, expected);
    }

    PseudoTerminal box;
};

RemoteModel Model(int outputSetting, int numOut = 4)
{
    RemoteModel model;
    model.context.outputSetting = outputSetting;
    model.context.numOut = numOut;
    return model;
}

TEST_F(RemoteLine, TextCommands)
{
    RunEverySplit(remote::ProtocolText, Model(0), T("xxB012P003STOPLAY"), {Cmd(0, 12), Cmd(0, 203), Cmd(0, 241)});
    RunEverySplit(remote::ProtocolText, Model(4), T("B003P001"), {Contact(3)});
}

TEST_F(RemoteLine, Binary1Codes)
{
    RunEverySplit(remote::ProtocolBinary1, Model(1), B({0x05, 0xF1, 0xFF}), {Cmd(1, 5), Cmd(1, 241), Cmd(1, 255)});
}

TEST_F(RemoteLine, Binary2Frames)
{
    RunEverySplit(remote::ProtocolBinary2, Model(4),
                  B({0x81, 0x12, 0x07, 0x80, 0x11, 0x05, 0x80, 0x16, 0x01, 0x80, 0x15, 0x01}),
                  {Cmd(1, 7), Cmd(0, 241), Cmd(0, 257)});
}

TEST_F(RemoteLine, Binary3FramesAreAcknowledged)
{
    RunEverySplit(remote::ProtocolBinary3, Model(0),
                  B({0x02, 0x44, 0x30, 0x31, 0x32, 0x03, 0x02, 0x50, 0x30, 0x03, 0x02, 0x4D, 0x30, 0x31, 0x03}),
                  {Cmd(0, 202), Cmd(0, 4), Ack(0), Cmd(0, 244), Ack(0), Ack(0)});
    // Garbage between frames.
    RunEverySplit(remote::ProtocolBinary3, Model(0),
                  B({0x41, 0x02, 0x03, 0x02, 0x54, 0x31, 0x03, 0x02, 0x44, 0x02, 0x50, 0x31, 0x03}),
                  {Cmd(1, 241), Ack(1), Cmd(1, 244), Ack(1)});
}

TEST_F(RemoteLine, Binary4FramesAreAnsweredOkOrNg)
{
    RunEverySplit(remote::ProtocolBinary4, Model(0, 1), T("010203\r\n050101\r\n"),
                  {Cmd(0, 202), Cmd(0, 3), Ok(), Ng()});
    RunEverySplit(remote::ProtocolBinary4, Model(0, 1), T("Z\n010209\r\n"), {Cmd(0, 202), Ng()});
}

} // namespace
