#include "remote/RemoteAssignTable.h"
#include "remote/StatusOutput.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Everything sent, as "S<port>:<text>", "S<port>:[b,b,b]" and "H<box>:<code>".
class RecordingSink final : public remote::StatusSink {
public:
    std::vector<std::string> sent;
    void SerialText(int port, std::string_view text) override
    {
        sent.push_back("S" + std::to_string(port + 1) + ":" + std::string(text));
    }
    void SerialBytes(int port, std::span<const std::uint8_t> bytes) override
    {
        std::string text = "S" + std::to_string(port + 1) + ":[";
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            text += (i == 0 ? "" : ",") + std::to_string(bytes[i]);
        }
        sent.push_back(text + "]");
    }
    void HidWrite(int box, std::int32_t code) override
    {
        sent.push_back("H" + std::to_string(box + 1) + ":" + std::to_string(code));
    }
    std::vector<std::string> Take() { return std::exchange(sent, {}); }
};

using Sent = std::vector<std::string>;

class StatusOutputTest : public ::testing::Test {
protected:
    void Send(int output, int function, int index) { remote::SendStatus(targets_, table_, output, function, index, sink_); }

    remote::StatusTargets targets_;
    RemoteAssignTableData table_{};
    RecordingSink sink_;
};

TEST_F(StatusOutputTest, AnAllPortShowsPlayAndStopLampsOfEveryOutput)
{
    targets_.ports[0] = {true, 1, 4, 15};
    Send(1, 6, 0);
    Send(1, 11, 0);
    EXPECT_EQ(sink_.Take(), (Sent{"S1:B002", "S1:C010"}));
    targets_.tallyInvert = 1;
    Send(1, 6, 0);
    Send(1, 11, 0);
    EXPECT_EQ(sink_.Take(), (Sent{"S1:C002", "S1:B010"}));
    // Page and button lamps are not for an "All" port.
    Send(1, 3, 4);
    Send(1, 1, 2);
    EXPECT_TRUE(sink_.Take().empty());

    targets_.ports[0].protocol = 2;
    targets_.tallyInvert = 0;
    Send(2, 8, 0);
    Send(2, 9, 0);
    EXPECT_EQ(sink_.Take(), (Sent{"S1:[7]", "S1:[107]"}));
}

TEST_F(StatusOutputTest, APortOfOneOutputShowsItsPagesAndButtonsUpToItsLampCount)
{
    targets_.ports[1] = {true, 2, 0, 15};
    Send(0, 1, 2);
    Send(0, 2, 2);
    Send(0, 3, 9);
    Send(0, 4, 9);
    Send(1, 3, 9); // another output
    Send(0, 3, 15); // button 16: beyond 15 lamps
    EXPECT_EQ(sink_.Take(), (Sent{"S2:[203]", "S2:[223]", "S2:[10]", "S2:[110]"}));

    targets_.ports[1].protocol = 1;
    Send(0, 1, 2);
    Send(0, 5, 0);
    Send(0, 6, 0);
    EXPECT_EQ(sink_.Take(), (Sent{"S2:P003", "S2:C001"}));
}

TEST_F(StatusOutputTest, BinaryTwoFramesCarryColourTargetAndNumber)
{
    targets_.playColor = {2, 1};
    targets_.ports[2] = {true, 3, 0, 15};
    Send(0, 3, 4);
    Send(0, 4, 4);
    Send(0, 5, 4);
    Send(0, 3, 15); // the lamp count does not apply here
    Send(0, 10, 0); // nothing for stop
    EXPECT_EQ(sink_.Take(), (Sent{"S3:[128,3,5]", "S3:[128,6,5]", "S3:[128,5,5]", "S3:[128,3,16]"}));

    targets_.ports[2].outputSetting = 4;
    Send(2, 3, 4);
    targets_.ports[2].outputSetting = 5; // All+1
    Send(2, 3, 4);
    Send(3, 3, 4); // target 0x84: not sent
    targets_.ports[2].outputSetting = 8; // All-1
    Send(0, 3, 4); // target 0x7F: not sent
    Send(1, 12, 0);
    EXPECT_EQ(sink_.Take(), (Sent{"S3:[130,3,5]", "S3:[131,3,5]", "S3:[128,15,1]"}));

    // Protocols 4 and 5 and closed ports get nothing.
    targets_.ports[2] = {true, 4, 0, 15};
    targets_.ports[3] = {false, 1, 0, 15};
    Send(0, 3, 0);
    EXPECT_TRUE(sink_.Take().empty());
}

TEST_F(StatusOutputTest, ABoxOfOneOutputLightsTheCodesItsTableGivesThem)
{
    remote::SetRemoteAssignDefaults(table_, {0, 0, 0, 0});
    targets_.boxes[0] = {true, false, 0};
    Send(0, 3, 6);
    Send(0, 4, 6);
    Send(0, 1, 1);
    Send(0, 2, 1); // 302 would be 255, which the box never sends
    Send(0, 6, 0);
    Send(0, 7, 0);
    Send(0, 17, 0);
    Send(1, 3, 6); // another output
    EXPECT_EQ(sink_.Take(), (Sent{"H1:7", "H1:107", "H1:202", "H1:244", "H1:245"}));

    // Nothing reaches a box while its reset is pending.
    targets_.boxes[0].resetPending = true;
    Send(0, 3, 6);
    EXPECT_TRUE(sink_.Take().empty());
}

TEST_F(StatusOutputTest, AContactBoxLightsTheLampsOfItsInputsFamilies)
{
    remote::SetRemoteAssignDefaults(table_, {0, 4, 0, 0});
    targets_.boxes[1] = {true, false, 4};
    Send(2, 6, 0);  // input 3 starts output 3
    Send(2, 11, 0); // input 7 stops output 3
    Send(2, 3, 0);  // no button lamps on a contact box
    EXPECT_EQ(sink_.Take(), (Sent{"H2:3", "H2:107"}));
    targets_.tallyInvert = 1;
    Send(2, 6, 0);
    EXPECT_EQ(sink_.Take(), (Sent{"H2:103"}));
}

TEST_F(StatusOutputTest, TheStandbyTallyGoesToAllPortsAndContactBoxesWithStandbyLamps)
{
    remote::SetRemoteAssignDefaults(table_, {0, 4, 0, 0});
    // Lamp 6 of the contact box shows the standby tally of output 2.
    table_[static_cast<std::size_t>(RemoteAssignIndex(1, 6))] = {1, RemoteFunction::StbyOn, 1};
    targets_.boxes[1] = {true, false, 4};
    targets_.ports[0] = {true, 1, 4, 15};
    targets_.ports[2] = {true, 2, 4, 15};
    targets_.ports[3] = {true, 1, 0, 15}; // a port of one output has no tally lamp
    remote::SendStandbyTally(targets_, table_, 1, 1, sink_);
    remote::SendStandbyTally(targets_, table_, 1, 0, sink_);
    EXPECT_EQ(sink_.Take(), (Sent{"S1:B006", "H2:6", "S3:[6]", "S1:C006", "H2:106", "S3:[106]"}));
}

} // namespace
