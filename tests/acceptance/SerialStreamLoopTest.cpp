// Damaged byte streams on the remote serial ports, fed to the five protocols'
// parsers in pieces: no crash, the receive buffer stays within what a
// command can leave unfinished, and every command names an output and a row
// that exist.
#include "CorruptionLoop.h"

#include "remote/SerialReceive.h"

#include <gtest/gtest.h>

#include <variant>

namespace {

using namespace acceptance;
using namespace remote;
using namespace std::string_view_literals;

// The first three bytes of a case set the port and program: the output
// setting, the outputs and pages, and how the stream is cut into reads.
Bytes WithHeader(std::initializer_list<std::uint8_t> header, std::string_view stream)
{
    Bytes bytes(header);
    bytes.insert(bytes.end(), stream.begin(), stream.end());
    return bytes;
}

SerialRemoteContext ContextOf(std::span<const std::uint8_t> input)
{
    SerialRemoteContext context;
    context.outputSetting = input.size() > 0 ? input[0] % 11 : 0;
    const std::uint8_t shape = input.size() > 1 ? input[1] : 0;
    context.numOut = 1 + shape % MaxOutputs;
    context.pageNum = 1 + (shape >> 2) % 20;
    for (int output = 0; output < MaxOutputs; ++output) {
        const auto at = static_cast<std::size_t>(output);
        context.isList[at] = ((shape >> 4) & (1 << output)) != 0;
        context.buttonsPerPage[at] = 1 + (shape * (output + 7)) % 100;
        context.currentPage[at] = output % context.pageNum;
        context.listItemCount[at] = (shape * (output + 3)) % 40;
    }
    return context;
}

// The most a finished parse may keep of an unfinished command.
std::size_t KeptAtMost(int protocol)
{
    switch (protocol) {
    case ProtocolText:
        return 3;
    case ProtocolBinary1:
        return 0;
    case ProtocolBinary2:
        return 2;
    case ProtocolBinary3:
        return 5;
    default:
        return 7;
    }
}

void CheckStream(int protocol, std::span<const std::uint8_t> input)
{
    const SerialRemoteContext context = ContextOf(input);
    const std::span<const std::uint8_t> stream = input.size() > 3 ? input.subspan(3) : std::span<const std::uint8_t>{};
    const std::size_t piece = 1 + (input.size() > 2 ? input[2] % 16 : 0);
    SerialReceiveState state;
    std::size_t actions = 0;
    const auto carryOut = [&](const SerialAction& action) {
        ++actions;
        if (const auto* command = std::get_if<RemoteCommand>(&action)) {
            EXPECT_GE(command->output, 0);
            EXPECT_LT(command->output, context.numOut);
        } else if (const auto* cue = std::get_if<ListRowCue>(&action)) {
            EXPECT_GE(cue->output, 0);
            EXPECT_LT(cue->output, context.numOut);
            EXPECT_GE(cue->row, 0);
            EXPECT_LT(cue->row, context.listItemCount[static_cast<std::size_t>(cue->output)]);
        } else if (const auto* answer = std::get_if<PortAnswer>(&action)) {
            EXPECT_LE(answer->bytes.size(), 16U);
        }
    };
    for (std::size_t at = 0; at < stream.size(); at += piece) {
        const auto read = stream.subspan(at, std::min(piece, stream.size() - at));
        FeedSerialInput(
            protocol, state, read, [&] { return context; }, carryOut);
        ASSERT_LE(state.buffer.size(), KeptAtMost(protocol));
    }
    // No byte makes more than a few commands.
    EXPECT_LE(actions, 4 * stream.size() + 4);
}

struct Protocol {
    int number;
    const char* name;
    std::vector<Bytes> samples;
};

const std::vector<Protocol>& Protocols()
{
    static const std::vector<Protocol> protocols{
        {ProtocolText,
         "serial-text",
         {WithHeader({0, 0x55, 3}, "B005P003PLAYSTOPB012xxP020B100"sv),
          WithHeader({4, 0x21, 1}, "B003P001STOPPLAYB007"sv), WithHeader({9, 0xFF, 7}, "P041P011P010BBBB005"sv)}},
        {ProtocolBinary1,
         "serial-binary1",
         {WithHeader({1, 0x33, 0}, "\x05\xF1\x00\xFF\x07\x80\x01"sv), WithHeader({4, 0x12, 2}, "\x03\x00\x07\xFE"sv)}},
        {ProtocolBinary2,
         "serial-binary2",
         {WithHeader({4, 0x17, 2}, "\x81\x12\x07\x80\x11\x05\x80\x16\x01\x83\x14\x00\x83\x13\x02"sv),
          WithHeader({8, 0xF3, 5}, "\x80\x12\x03\x83\x12\x03\x80\x13\x15\x80\x12\xF1\x80\x14\x81\x12\x05"sv)}},
        {ProtocolBinary3,
         "serial-binary3",
         {WithHeader({0, 0xF3, 3}, "\x02\x44\x30\x31\x32\x03\x02\x50\x30\x03\x02\x4D\x30\x31\x03"sv),
          WithHeader({4, 0x27, 6},
                     "\x02\x51\x31\x30\x33\x03\x02\x51\x31\x31\x32\x03\x02\x41\x32\x03\x02\x54\x33\x03"sv)}},
        {ProtocolBinary4,
         "serial-binary4",
         {WithHeader({0, 0x7F, 8}, "010203\r\n041008\r\n050101\r\n"sv),
          WithHeader({4, 0x13, 3}, "ZZ010203\r\n\r\n\n010209\r\n"sv)}},
    };
    return protocols;
}

class SerialStreams : public testing::TestWithParam<std::size_t> {};

TEST_P(SerialStreams, CorruptionLoop)
{
    const Protocol& protocol = Protocols()[GetParam()];
    RunCorruptionLoop({protocol.name, protocol.samples, 4096},
                      [&](std::span<const std::uint8_t> input) { CheckStream(protocol.number, input); });
}

TEST_P(SerialStreams, RegressCases)
{
    const Protocol& protocol = Protocols()[GetParam()];
    ReplayRegressCases(protocol.name,
                       [&](std::span<const std::uint8_t> input) { CheckStream(protocol.number, input); });
}

INSTANTIATE_TEST_SUITE_P(FiveProtocols, SerialStreams, testing::Range<std::size_t>(0, 5));

} // namespace
