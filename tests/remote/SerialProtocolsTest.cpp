#include "RemoteModel.h"
#include "remote/SerialReceive.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using namespace remotetest;
using remote::ProtocolBinary1;
using remote::ProtocolBinary2;
using remote::ProtocolBinary3;
using remote::ProtocolBinary4;
using remote::ProtocolText;

// The longest buffer each protocol may keep after a poll: what a command cut
// by the read needs (protocol 2 keeps nothing).
std::size_t KeptAtMost(int protocol)
{
    switch (protocol) {
    case ProtocolText:
        return 3;
    case ProtocolBinary2:
        return 2;
    case ProtocolBinary3:
        return 5;
    case ProtocolBinary4:
        return 7;
    default:
        return 0;
    }
}

// Every way to cut the stream into polls (all of them for streams up to 14
// bytes; longer ones at every single boundary and byte by byte).
std::vector<std::vector<Bytes>> EverySplit(const Bytes& stream)
{
    std::vector<std::vector<Bytes>> splits;
    const std::size_t cuts = stream.empty() ? 0 : stream.size() - 1;
    auto cutAt = [&stream](const std::vector<std::size_t>& positions) {
        std::vector<Bytes> pieces;
        std::size_t from = 0;
        for (const std::size_t to : positions) {
            pieces.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(from),
                                stream.begin() + static_cast<std::ptrdiff_t>(to));
            from = to;
        }
        pieces.emplace_back(stream.begin() + static_cast<std::ptrdiff_t>(from), stream.end());
        return pieces;
    };
    if (cuts <= 13) {
        for (std::uint32_t mask = 0; mask < (1u << cuts); ++mask) {
            std::vector<std::size_t> positions;
            for (std::size_t bit = 0; bit < cuts; ++bit) {
                if ((mask >> bit) & 1u) {
                    positions.push_back(bit + 1);
                }
            }
            splits.push_back(cutAt(positions));
        }
        return splits;
    }
    splits.push_back(cutAt({}));
    std::vector<std::size_t> everyByte;
    for (std::size_t at = 1; at < stream.size(); ++at) {
        splits.push_back(cutAt({at}));
        everyByte.push_back(at);
    }
    splits.push_back(cutAt(everyByte));
    return splits;
}

// Feeds the stream in every split into a copy of the model and expects the
// same actions each time, and a buffer no longer than the protocol needs.
void ExpectEverySplit(int protocol, const RemoteModel& start, const Bytes& stream, const Actions& expected)
{
    for (const std::vector<Bytes>& pieces : EverySplit(stream)) {
        RemoteModel model = start;
        for (const Bytes& piece : pieces) {
            model.Feed(protocol, piece);
            ASSERT_LE(model.state.buffer.size(), KeptAtMost(protocol));
            ASSERT_FALSE(model.state.pending);
        }
        ASSERT_EQ(model.done, expected) << "in " << pieces.size() << " pieces";
    }
}

RemoteModel WithOutputSetting(int outputSetting, int numOut = 4)
{
    RemoteModel model;
    model.context.outputSetting = outputSetting;
    model.context.numOut = numOut;
    return model;
}

// ---- Protocol 1, "Text" ----------------------------------------------------

TEST(TextProtocol, PlaysButtonsSelectsPagesStopsAndPlays)
{
    const RemoteModel model = WithOutputSetting(0);
    ExpectEverySplit(ProtocolText, model, T("B005"), {Cmd(0, 5)});
    ExpectEverySplit(ProtocolText, model, T("xxB012P003"), {Cmd(0, 12), Cmd(0, 203)});
    ExpectEverySplit(ProtocolText, model, T("PLAY"), {Cmd(0, 244)});
    ExpectEverySplit(ProtocolText, model, T("junkSTOPjunk"), {Cmd(0, 241)});
    ExpectEverySplit(ProtocolText, WithOutputSetting(2), T("B100P010"), {Cmd(2, 100), Cmd(2, 210)});

    RemoteModel waiting = model;
    waiting.Feed(ProtocolText, T("STO"));
    EXPECT_TRUE(waiting.done.empty());
    waiting.Feed(ProtocolText, T("P"));
    EXPECT_EQ(waiting.done, (Actions{Cmd(0, 241)}));
}

TEST(TextProtocol, AContactPortTakesBCommandsAsContactsAndNothingElse)
{
    const RemoteModel model = WithOutputSetting(4);
    ExpectEverySplit(ProtocolText, model, T("B003"), {Contact(3)});
    ExpectEverySplit(ProtocolText, model, T("P001STOPPLAYB007"), {Contact(7)});
    ExpectEverySplit(ProtocolText, WithOutputSetting(9), T("B005"), {Contact(5)});
}

TEST(TextProtocol, TakesOnlyThreeRealDigitsAndPagesOneToTwenty)
{
    const RemoteModel model = WithOutputSetting(0);
    for (const char* bad : {"B 12", "B+12", "B1e2", "B-01", "B0x5", "B1.5", "P 01", "B000", "P000"}) {
        ExpectEverySplit(ProtocolText, model, T(bad), {});
    }
    // A "B" without three digits is passed over, so the one after it counts.
    ExpectEverySplit(ProtocolText, model, T("BBBB005"), {Cmd(0, 5)});
    ExpectEverySplit(ProtocolText, model, T("PB12B013"), {Cmd(0, 13)});
    // Page 41 would be code 241, a stop; pages beyond the program's are none.
    ExpectEverySplit(ProtocolText, model, T("P041P011P010"), {Cmd(0, 210)});
    RemoteModel twenty = model;
    twenty.context.pageNum = 20;
    ExpectEverySplit(ProtocolText, twenty, T("P020P021"), {Cmd(0, 220)});
}

TEST(TextProtocol, APortForAnOutputTheProgramLacksDoesNothing)
{
    ExpectEverySplit(ProtocolText, WithOutputSetting(2, 2), T("B005STOP"), {});
}

// ---- Protocol 2, "Binary1" -------------------------------------------------

TEST(Binary1Protocol, EveryByteIsARemoteCodeOrAContact)
{
    ExpectEverySplit(ProtocolBinary1, WithOutputSetting(1), B({0x05, 0xF1, 0x00, 0xFF}),
                     {Cmd(1, 5), Cmd(1, 241), Cmd(1, 255)});
    ExpectEverySplit(ProtocolBinary1, WithOutputSetting(4), B({0x03, 0x00, 0x07}), {Contact(3), Contact(7)});
    ExpectEverySplit(ProtocolBinary1, WithOutputSetting(3, 2), B({0x05}), {});
}

// ---- Protocol 3, "Binary2" -------------------------------------------------

TEST(Binary2Protocol, FramesOfTargetCommandAndArgument)
{
    const RemoteModel all = WithOutputSetting(4);
    ExpectEverySplit(ProtocolBinary2, all, B({0x81, 0x12, 0x07}), {Cmd(1, 7)});
    ExpectEverySplit(ProtocolBinary2, all, B({0x80, 0x11, 0x05}), {Cmd(0, 241)});
    ExpectEverySplit(ProtocolBinary2, all, B({0x80, 0x16, 0x01}), {Cmd(0, 257)});
    ExpectEverySplit(ProtocolBinary2, all, B({0x80, 0x15, 0x01}), {});
    ExpectEverySplit(
        ProtocolBinary2, all,
        B({0x82, 0x11, 0x01, 0x82, 0x11, 0x02, 0x82, 0x11, 0x03, 0x82, 0x11, 0x04, 0x82, 0x11, 0x06, 0x82, 0x11, 0x07}),
        {Cmd(2, 242), Cmd(2, 243), Cmd(2, 244), Cmd(2, 245), Cmd(2, 246)});
    ExpectEverySplit(ProtocolBinary2, all, B({0x83, 0x14, 0x00, 0x83, 0x13, 0x02, 0x83, 0x16, 0x04}),
                     {Cmd(3, 255), Cmd(3, 202), Cmd(3, 260)});
}

TEST(Binary2Protocol, TheOutputSettingChoosesTheOutput)
{
    // A fixed output ignores the target's channel.
    ExpectEverySplit(ProtocolBinary2, WithOutputSetting(1), B({0x83, 0x12, 0x07}), {Cmd(1, 7)});
    // "All+1" counts channel 1 as output 1; "All-1" channel 0 as output 2.
    ExpectEverySplit(ProtocolBinary2, WithOutputSetting(5), B({0x81, 0x12, 0x03, 0x80, 0x12, 0x03}), {Cmd(0, 3)});
    ExpectEverySplit(ProtocolBinary2, WithOutputSetting(8), B({0x80, 0x12, 0x03, 0x83, 0x12, 0x03}), {Cmd(1, 3)});
    ExpectEverySplit(ProtocolBinary2, WithOutputSetting(10), B({0x80, 0x12, 0x03, 0x81, 0x12, 0x03}), {Cmd(3, 3)});
    ExpectEverySplit(ProtocolBinary2, WithOutputSetting(4, 2), B({0x82, 0x12, 0x03}), {});
}

TEST(Binary2Protocol, ArgumentsOutsideTheirRangeAreNoCommand)
{
    RemoteModel model = WithOutputSetting(0);
    model.context.pageNum = 20;
    // Page 21 and page 41 (which would be a stop) are none; page 20 is.
    ExpectEverySplit(ProtocolBinary2, model, B({0x80, 0x13, 0x15, 0x80, 0x13, 0x29, 0x80, 0x13, 0x14}), {Cmd(0, 220)});
    // A button argument never turns into another command.
    ExpectEverySplit(ProtocolBinary2, model, B({0x80, 0x12, 0xF1, 0x80, 0x12, 0x65, 0x80, 0x12, 0x64}), {Cmd(0, 100)});
    ExpectEverySplit(ProtocolBinary2, model, B({0x80, 0x16, 0x05, 0x80, 0x16, 0x00}), {});
}

TEST(Binary2Protocol, ABytePastEightyStartsAFrameWhereverItStands)
{
    const RemoteModel all = WithOutputSetting(4);
    // The release's lost argument: the next frame still counts.
    ExpectEverySplit(ProtocolBinary2, all, B({0x80, 0x14, 0x81, 0x12, 0x05}), {Cmd(0, 255), Cmd(1, 5)});
    ExpectEverySplit(ProtocolBinary2, all, B({0x12, 0x05, 0x80, 0x80, 0x12, 0x06, 0x7F}), {Cmd(0, 6)});
}

// ---- Protocol 4, "Binary3" -------------------------------------------------

TEST(Binary3Protocol, PlaysPausesStopsAndAnswersEveryFrameThatActed)
{
    const RemoteModel model;
    // Number 12 with 8 buttons a page: page 2 first, then its button 4.
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44, 0x30, 0x31, 0x32, 0x03}), {Cmd(0, 202), Cmd(0, 4), Ack(0)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x50, 0x30, 0x03}), {Cmd(0, 244), Ack(0)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x4D, 0x30, 0x31, 0x03}), {Ack(0)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x41, 0x32, 0x03, 0x02, 0x54, 0x33, 0x03}),
                     {Cmd(2, 246), Ack(2), Cmd(3, 241), Ack(3)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x58, 0x30, 0x03}), {});
}

TEST(Binary3Protocol, SelectsAPageOnlyWhenAnotherIsShown)
{
    RemoteModel model;
    model.context.currentPage[1] = 1;
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44, 0x31, 0x31, 0x32, 0x03}), {Cmd(1, 4), Ack(1)});
    // Number 16 is the last button of page 2.
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44, 0x31, 0x31, 0x36, 0x03}), {Cmd(1, 8), Ack(1)});
    // The second frame reads the page the first one selected.
    ExpectEverySplit(
        ProtocolBinary3, RemoteModel{},
        B({0x02, 0x44, 0x30, 0x31, 0x32, 0x03, 0x02, 0x44, 0x30, 0x31, 0x33, 0x03, 0x02, 0x44, 0x30, 0x30, 0x33, 0x03}),
        {Cmd(0, 202), Cmd(0, 4), Ack(0), Cmd(0, 5), Ack(0), Cmd(0, 201), Cmd(0, 3), Ack(0)});
}

TEST(Binary3Protocol, QCuesARowOfAListLongEnoughAfterItsPageIsShown)
{
    RemoteModel model;
    model.context.isList[1] = true;
    model.listRows[1][0] = 5;
    model.listRows[1][1] = 3;
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x51, 0x31, 0x30, 0x33, 0x03}), {Cue(1, 2)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x51, 0x31, 0x30, 0x37, 0x03}), {Cmd(1, 7), Ack(1)});
    // Number 12 is row 4 of page 2, whose list has 3 rows (page 1 has 5).
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x51, 0x31, 0x31, 0x32, 0x03}), {Cmd(1, 202), Cmd(1, 4), Ack(1)});
    model.listRows[1][1] = 4;
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x51, 0x31, 0x31, 0x32, 0x03}), {Cmd(1, 202), Cue(1, 3)});
    // On a button output a "Q" is a "D".
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x51, 0x30, 0x30, 0x33, 0x03}), {Cmd(0, 3), Ack(0)});
}

TEST(Binary3Protocol, FramesForNothingTheProgramHasAreIgnoredAndTheScanGoesOn)
{
    RemoteModel one;
    one.context.numOut = 1;
    // Output 2 does not exist: skipped, the next frame still acts.
    ExpectEverySplit(ProtocolBinary3, one, B({0x02, 0x50, 0x31, 0x03, 0x02, 0x50, 0x30, 0x03}), {Cmd(0, 244), Ack(0)});
    const RemoteModel model;
    // Number 00; number 81 (page 11 of 10); digits that are not digits.
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44, 0x30, 0x30, 0x30, 0x03}), {});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x51, 0x30, 0x38, 0x31, 0x03}), {});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44, 0x30, 0x20, 0x31, 0x03}), {});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44, 0x30, 0x38, 0x30, 0x03}), {Cmd(0, 210), Cmd(0, 8), Ack(0)});
}

TEST(Binary3Protocol, NoiseBetweenFramesNeverHidesAFrame)
{
    const RemoteModel model;
    const Bytes play = B({0x02, 0x50, 0x30, 0x03});
    // Stray STX and ETX bytes, a frame without its ETX, a cut "D" frame.
    ExpectEverySplit(ProtocolBinary3, model, B({0x03, 0x02, 0x41}) + play, {Cmd(0, 244), Ack(0)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x44}) + play, {Cmd(0, 244), Ack(0)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x50, 0x30, 0x31}) + play + B({0x7F, 0x02}),
                     {Cmd(0, 244), Ack(0)});
    ExpectEverySplit(ProtocolBinary3, model, B({0x02, 0x4D, 0x30, 0x02, 0x03}) + B({0x55, 0x03}) + play,
                     {Ack(0), Cmd(0, 244), Ack(0)});
}

// ---- Protocol 5, "Binary4" -------------------------------------------------

TEST(Binary4Protocol, SixDigitsSelectThePageAndPlayTheButton)
{
    RemoteModel model;
    ExpectEverySplit(ProtocolBinary4, model, T("010203\r\n"), {Cmd(0, 202), Cmd(0, 3), Ok()});
    ExpectEverySplit(ProtocolBinary4, model, T("041008\r\n"), {Cmd(3, 210), Cmd(3, 8), Ok()});
    model.context.numOut = 1;
    ExpectEverySplit(ProtocolBinary4, model, T("050101\r\n"), {Ng()});
}

TEST(Binary4Protocol, AnythingElseIsAnsweredNg)
{
    const RemoteModel model;
    for (const char* bad : {"01a203\r\n", "01 203\r\n", "+10203\r\n", "000101\r\n", "010001\r\n", "011101\r\n"}) {
        ExpectEverySplit(ProtocolBinary4, model, T(bad), {Ng()});
    }
    // A bad button after a good page still selects the page.
    ExpectEverySplit(ProtocolBinary4, model, T("010209\r\n"), {Cmd(0, 202), Ng()});
    ExpectEverySplit(ProtocolBinary4, model, T("010200\r\n"), {Cmd(0, 202), Ng()});
}

TEST(Binary4Protocol, FramesAfterNoiseStillCount)
{
    const RemoteModel model;
    ExpectEverySplit(ProtocolBinary4, model, T("ZZ010203\r\n"), {Cmd(0, 202), Cmd(0, 3), Ok()});
    ExpectEverySplit(ProtocolBinary4, model, T("\r\n\n010203\r\n"), {Cmd(0, 202), Cmd(0, 3), Ok()});
    // A byte of noise before a stream of frames read eight bytes at a time
    // must not cost every frame after it.
    RemoteModel stream = model;
    const Bytes bytes = T("Z010201\r\n010202\r\n010203\r\n");
    for (std::size_t at = 0; at < bytes.size(); at += 8) {
        stream.Feed(ProtocolBinary4,
                    Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                          bytes.begin() + static_cast<std::ptrdiff_t>(std::min(at + 8, bytes.size()))));
    }
    EXPECT_EQ(stream.done,
              (Actions{Cmd(0, 202), Cmd(0, 1), Ok(), Cmd(0, 202), Cmd(0, 2), Ok(), Cmd(0, 202), Cmd(0, 3), Ok()}));
}

// ---- Every protocol --------------------------------------------------------

TEST(SerialProtocols, ReadSizesParitiesAndUnknownProtocols)
{
    EXPECT_EQ(remote::SerialReadSize(ProtocolText), 4);
    EXPECT_EQ(remote::SerialReadSize(ProtocolBinary1), 1);
    EXPECT_EQ(remote::SerialReadSize(ProtocolBinary2), 3);
    EXPECT_EQ(remote::SerialReadSize(ProtocolBinary3), 6);
    EXPECT_EQ(remote::SerialReadSize(ProtocolBinary4), 8);
    for (const int protocol : {1, 2, 3, 5}) {
        EXPECT_EQ(remote::SerialParity(protocol), 0);
    }
    EXPECT_EQ(remote::SerialParity(ProtocolBinary3), 2);
    RemoteModel model;
    EXPECT_FALSE(model.Feed(6, T("B005")));
    EXPECT_FALSE(model.Feed(0, B({0x05})));
    EXPECT_TRUE(model.done.empty());
    EXPECT_TRUE(model.Feed(ProtocolText, T("B005")));
    EXPECT_FALSE(model.Feed(ProtocolBinary3, B({0x02, 0x4D, 0x30, 0x31, 0x03}))); // answered, but no command
}

// Is the action one the protocol may give for the model?
bool IsSound(const remote::SerialAction& action, const RemoteModel& model)
{
    const remote::SerialRemoteContext now = model.Read();
    if (const auto* command = std::get_if<remote::RemoteCommand>(&action)) {
        return command->output >= 0 && command->output < now.numOut && command->code >= 1;
    }
    if (const auto* cue = std::get_if<remote::ListRowCue>(&action)) {
        return cue->row >= 0 && now.isList[static_cast<std::size_t>(cue->output)];
    }
    if (const auto* contact = std::get_if<remote::ContactClosure>(&action)) {
        return contact->number >= 1;
    }
    const auto& answer = std::get<remote::PortAnswer>(action);
    return answer == std::get<remote::PortAnswer>(Ok()) || answer == std::get<remote::PortAnswer>(Ng()) ||
           (answer.bytes.size() == 4 && answer.bytes[0] == 0x02 && answer.bytes[1] == 0x06 && answer.bytes[2] >= 0x30 &&
            answer.bytes[2] < 0x30 + now.numOut && answer.bytes[3] == 0x03);
}

TEST(SerialProtocols, ASeededRandomStreamNeverStallsAParser)
{
    struct Case {
        int protocol;
        int outputSetting;
        std::vector<Bytes> words; // whole and cut commands mixed into the noise
        Bytes frame;              // a frame sent after the noise
        Actions expected;
    };
    const std::vector<Case> cases{
        {ProtocolText, 0, {T("B005"), T("P002"), T("STOP"), T("PLAY"), T("B1"), T("P0")}, T("B005"), {Cmd(0, 5)}},
        {ProtocolText, 4, {T("B002"), T("B007"), T("P001"), T("B")}, T("B002"), {Contact(2)}},
        {ProtocolBinary1, 2, {B({0x00}), B({0x05}), B({0xF1}), B({0xFF})}, B({0x07}), {Cmd(2, 7)}},
        {ProtocolBinary2,
         4,
         {B({0x80, 0x12, 0x05}), B({0x81, 0x11, 0x05}), B({0x82, 0x13, 0x02}), B({0x81, 0x16, 0x03}), B({0x8F})},
         B({0x80, 0x12, 0x05}),
         {Cmd(0, 5)}},
        {ProtocolBinary3,
         0,
         {B({0x02, 0x50, 0x30, 0x03}), B({0x02, 0x44, 0x31, 0x31, 0x32, 0x03}), B({0x02, 0x51, 0x32, 0x30, 0x33, 0x03}),
          B({0x02, 0x51, 0x32, 0x31, 0x33, 0x03}), B({0x02, 0x4D, 0x30, 0x31, 0x03}), B({0x03})},
         B({0x02, 0x50, 0x30, 0x03}),
         {Cmd(0, 244), Ack(0)}},
        {ProtocolBinary4,
         0,
         {T("010203\r\n"), T("030201\r\n"), T("0102"), T("\r\n")},
         T("020304\r\n"),
         {Cmd(1, 203), Cmd(1, 4), Ok()}},
    };
    std::mt19937 random(20240611u);
    for (const Case& item : cases) {
        RemoteModel model = WithOutputSetting(item.outputSetting, 3);
        model.context.isList[2] = true;
        model.listRows[2].fill(6);
        // Random bytes, with whole or cut commands among them.
        Bytes stream;
        while (stream.size() < 20000) {
            if (random() % 4 == 0) {
                const Bytes& word = item.words[random() % item.words.size()];
                const std::size_t length = random() % 3 == 0 ? 1 + random() % word.size() : word.size();
                stream.insert(stream.end(), word.begin(), word.begin() + static_cast<std::ptrdiff_t>(length));
            } else {
                stream.push_back(static_cast<std::uint8_t>(random()));
            }
        }
        std::size_t acted = 0;
        for (std::size_t at = 0; at < stream.size();) {
            const std::size_t length = std::min<std::size_t>(1 + random() % 12, stream.size() - at);
            model.done.clear();
            model.Feed(item.protocol, Bytes(stream.begin() + static_cast<std::ptrdiff_t>(at),
                                            stream.begin() + static_cast<std::ptrdiff_t>(at + length)));
            at += length;
            ASSERT_LE(model.state.buffer.size(), KeptAtMost(item.protocol)) << item.protocol;
            ASSERT_FALSE(model.state.pending);
            for (const remote::SerialAction& action : model.done) {
                ASSERT_TRUE(IsSound(action, model)) << item.protocol << " " << testing::PrintToString(action);
            }
            acted += model.done.size();
        }
        EXPECT_GT(acted, 500u) << item.protocol; // the noise did reach the protocol's rules
        model.done.clear();
        model.Feed(item.protocol, item.frame);
        ASSERT_GE(model.done.size(), item.expected.size()) << item.protocol;
        EXPECT_EQ(Actions(model.done.end() - static_cast<std::ptrdiff_t>(item.expected.size()), model.done.end()),
                  item.expected)
            << item.protocol;
    }
}

} // namespace
