// A box on a serial port of the assembled program, for each of the five
// receive protocols: what it sends plays the sound it names on the output's
// device, and the lamps or the answers its protocol gets come back on the line.
#include "RemoteInputFixture.h"

#include "foundation/Parms.h"

#include <gmock/gmock.h>

#include <ostream>

namespace {

using apptest::RemoteInputFixture;
using Bytes = std::vector<std::uint8_t>;

Bytes Text(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// The bytes in pieces of size, the last piece whole.
std::vector<Bytes> Pieces(const Bytes& bytes, std::size_t size)
{
    std::vector<Bytes> pieces;
    for (std::size_t at = 0; at + size <= bytes.size(); at += size) {
        pieces.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
    }
    return pieces;
}

// What the box sends, and what must come back for it.
struct Exchange {
    Bytes sent;
    Bytes back;
    bool playsAfter = true;
};

struct SerialCase {
    const char* name;
    int protocol;
    // Everything the program sends on this protocol comes in pieces of this
    // size (lamp commands, frames, answers).
    std::size_t pieceSize;
    // Only answers come back, nothing else; otherwise lamps of every change
    // come back, among them the pieces expected.
    bool onlyAnswers;
    // The sound the first exchange plays, counted from 1.
    int page;
    int button;
    Exchange play;
    Exchange then;
};

void PrintTo(const SerialCase& c, std::ostream* out)
{
    *out << c.name;
}

// Output 1 with 32 buttons a page; the port serves output 1 (ComCh 0); a
// playing button shows red (PlayColor_1 2).
const SerialCase Cases[] = {
    // "B" and three digits plays that button and lights its lamp; "STOP"
    // stops, and the button's lamp goes out ("C").
    {"Text", 1, 4, false, 1, 5, {Text("B005"), Text("B005")}, {Text("STOP"), Text("C005"), false}},
    // The byte is the remote code: 5 plays button 5, lamp byte 5; 0xF1
    // stops, lamp byte 100 + 5.
    {"Binary1", 2, 1, false, 1, 5, {{0x05}, {0x05}}, {{0xF1}, {105}, false}},
    // [0x80, 0x12, 5] plays button 5: [0x80, red 3, 5] and the output's play
    // lamp [0x80, 7, 1]; [0x80, 0x11, 0x05] stops: [0x80, 6, 5] and the
    // idle lamp [0x80, 8, 1].
    {"Binary2",
     3,
     3,
     false,
     1,
     5,
     {{0x80, 0x12, 0x05}, {0x80, 3, 5, 0x80, 7, 1}},
     {{0x80, 0x11, 0x05}, {0x80, 6, 5, 0x80, 8, 1}, false}},
    // "D" with number 35 is button 3 of page 2 at 32 buttons a page: the page
    // is selected first; "T" stops. Each is acknowledged 02 06 "0" 03.
    {"Binary3",
     4,
     4,
     true,
     2,
     3,
     {{0x02, 'D', '0', '3', '5', 0x03}, {0x02, 0x06, '0', 0x03}},
     {{0x02, 'T', '0', 0x03}, {0x02, 0x06, '0', 0x03}, false}},
    // Output 01, page 02, button 03 then CR LF: "OK"; output 05 of one is
    // answered "NG" and changes nothing.
    {"Binary4", 5, 4, true, 2, 3, {Text("010203\r\n"), Text("OK\r\n")}, {Text("050101\r\n"), Text("NG\r\n"), true}},
};

class RemoteSerialPaths : public RemoteInputFixture, public testing::WithParamInterface<SerialCase> {
protected:
    // The sound of every button around the two that the cases play.
    void AssignSounds()
    {
        for (int button = 2; button <= 6; ++button) {
            AssignSound(1, 1, button);
            AssignSound(1, 2, button);
        }
    }

    // Sends from the box and gives the engine a few ticks.
    void Send(const Bytes& bytes)
    {
        line.Send(bytes);
        Run(4 * parms::TimerInt);
    }

    void ExpectBack(const Exchange& exchange)
    {
        const SerialCase& c = GetParam();
        if (c.onlyAnswers) {
            EXPECT_EQ(line.Receive(exchange.back.size()), exchange.back);
            EXPECT_THAT(line.ReceiveWaiting(), testing::IsEmpty()) << "nothing but the answer";
            return;
        }
        const Bytes back = line.ReceiveWaiting();
        ASSERT_EQ(back.size() % c.pieceSize, 0U) << "whole lamp commands only";
        EXPECT_THAT(Pieces(back, c.pieceSize), testing::IsSupersetOf(Pieces(exchange.back, c.pieceSize)));
    }
};

TEST_P(RemoteSerialPaths, TheBoxPlaysTheSoundItNamesAndGetsItsLampsOrAnswers)
{
    const SerialCase& c = GetParam();
    PlugSerial(c.protocol, 0);
    Store("PlayColor_1", "2");
    ASSERT_TRUE(Start(1));
    ASSERT_TRUE(program->Remote.ComOpen(0));
    AssignSounds();
    // What the start-up sent (the lamp test) and played is not looked at.
    line.ReceiveWaiting();
    Played(1);

    Send(c.play.sent);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(State().CurrentPage[0], c.page - 1);
    EXPECT_EQ(SoundStarted(1), FirstFrameOf(1, c.page, c.button));
    ExpectBack(c.play);

    Send(c.then.sent);
    ExpectBack(c.then);
    if (c.then.playsAfter) {
        EXPECT_EQ(State().OutputState[0], 1);
        EXPECT_TRUE(PlaysOn(1)) << "the sound went on, nothing else started";
    } else {
        EXPECT_EQ(State().OutputState[0], 0);
        Played(1);
        Run(200);
        EXPECT_TRUE(Silent(1)) << "the sound stopped";
    }
}

INSTANTIATE_TEST_SUITE_P(EveryProtocol, RemoteSerialPaths, testing::ValuesIn(Cases),
                         [](const testing::TestParamInfo<SerialCase>& param) { return std::string(param.param.name); });

// A box of contacts on a Text port of all outputs (ComCh 4): "B" and an input
// number closes that contact, and the port's lamps show play (1..4), standby
// (5..8) and stop (9..12) of the outputs, "B" lit and "C" out.
class RemoteContactPort : public RemoteInputFixture {
protected:
    std::vector<std::string> TakeLamps()
    {
        const Bytes back = line.ReceiveWaiting();
        EXPECT_EQ(back.size() % 4, 0U) << "whole lamp commands only";
        std::vector<std::string> lamps;
        for (const Bytes& lamp : Pieces(back, 4)) {
            lamps.emplace_back(lamp.begin(), lamp.end());
        }
        return lamps;
    }
};

TEST_F(RemoteContactPort, ContactsStartAndStopAnOutputAndItsLampsFollow)
{
    PlugSerial(1, 4);
    ASSERT_TRUE(Start(1, {1}));
    ASSERT_TRUE(program->Remote.ComOpen(0));
    line.ReceiveWaiting();
    FillListAndChooseRow(2);
    Run(4 * parms::TimerInt);
    EXPECT_THAT(TakeLamps(), testing::Contains("B005")) << "a start is pending on the idle list";
    Played(1);

    // Input 1 starts output 1: the chosen row plays.
    line.Send(Text("B001"));
    Run(4 * parms::TimerInt);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(SoundStarted(1), FirstFrameOfRow(2));
    EXPECT_THAT(TakeLamps(), testing::IsSupersetOf({"B001", "C009", "C005"}));

    // Input 5 stops it.
    line.Send(Text("B005"));
    Run(4 * parms::TimerInt);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_THAT(TakeLamps(), testing::IsSupersetOf({"C001", "B009"}));
    Played(1);
    Run(200);
    EXPECT_TRUE(Silent(1));
}

// A Binary2 box of a play list output moves the list's cursor and then plays
// the row it moved to, as an operator's click on that row and the play key.
class RemoteListCursor : public RemoteInputFixture {};

TEST_F(RemoteListCursor, TheBoxMovesTheCursorDownAndPlaysThatRow)
{
    PlugSerial(3, 0);
    ASSERT_TRUE(Start(1, {1}));
    ASSERT_TRUE(program->Remote.ComOpen(0));
    FillListAndChooseRow(1);
    Run(4 * parms::TimerInt);
    line.ReceiveWaiting();
    Played(1);

    // List cursor down (0x16, 4): the next row is selected and taken as the
    // output's cursor, as a click on it does.
    line.Send(Bytes{0x80, 0x16, 0x04});
    Run(4 * parms::TimerInt);
    EXPECT_EQ(Window().LV(0)->SelectedItem(), 1);
    EXPECT_EQ(State().ListItem[0], 1);
    EXPECT_EQ(State().OutputState[0], 0);

    // Play (0x11, 4): that row plays, and the output's play lamp [0x80, 7, 1]
    // comes back.
    line.Send(Bytes{0x80, 0x11, 0x04});
    Run(4 * parms::TimerInt);
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(SoundStarted(1), FirstFrameOfRow(2));
    EXPECT_THAT(Pieces(line.ReceiveWaiting(), 3), testing::Contains(Bytes{0x80, 7, 1}));
}

} // namespace
