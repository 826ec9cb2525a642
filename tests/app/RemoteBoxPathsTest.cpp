// USB boxes of the maker on the assembled program: a box of one output whose
// keys play and release sounds, and a box of contacts that starts and stops
// the outputs. What they send plays on the output's device, and their lamps
// follow.
#include "RemoteInputFixture.h"

#include "foundation/Parms.h"
#include "support/FakeHidBox.h"

#include <gmock/gmock.h>

namespace {

using apptest::RemoteInputFixture;
using testing::IsSupersetOf;

class RemoteBoxPaths : public RemoteInputFixture {
protected:
    // A box of product 1 on channel 1, read synchronously, serving the output
    // setting (HIDCh_1).
    testsupport::FakeHidBox& PlugBox(int outputSetting)
    {
        testsupport::FakeHidBox& box = hid.Plug(1, "1-1");
        Store("USBHIDID_1", "1");
        Store("HIDAsync_1", "0");
        Store("HIDCh_1", std::to_string(outputSetting));
        return box;
    }

    // The lamp codes the box got since the last look.
    static std::vector<int> TakeLamps(testsupport::FakeHidBox& box)
    {
        std::vector<int> codes;
        for (const auto& report : box.Lamps()) {
            codes.push_back(report[1]);
        }
        box.written.clear();
        return codes;
    }

    void Ticks() { Run(4 * parms::TimerInt); }

    testsupport::FakeHidTransport hid{clock};
};

TEST_F(RemoteBoxPaths, AKeyOfTheBoxPlaysItsButtonAndTheReleaseStopsAMomentarySound)
{
    testsupport::FakeHidBox& box = PlugBox(0);
    ASSERT_TRUE(Start(1));
    ASSERT_TRUE(program->Remote.HidOpen(0));
    for (int button = 4; button <= 6; ++button) {
        AssignSound(1, 1, button);
    }
    Record(0, 0, 4).PlayMode = 1; // Momentary
    Ticks();
    TakeLamps(box);
    Played(1);

    // With no assign table file, box code 5 is button 5 of the box's output.
    box.codes = {5};
    Ticks();
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(SoundStarted(1), FirstFrameOf(1, 1, 5));
    // Its lamp (code 5) and the play lamp (code 244, the play key) light.
    EXPECT_THAT(TakeLamps(box), IsSupersetOf({5, 244}));

    // Code 255, the release, stops the Momentary sound that this box started.
    box.codes = {255};
    Ticks();
    EXPECT_EQ(State().OutputState[0], 0);
    // The button's lamp goes out (100 + 5) and the stop lamp (code 241, the
    // stop key) lights.
    EXPECT_THAT(TakeLamps(box), IsSupersetOf({105, 241}));
    Played(1);
    Run(200);
    EXPECT_TRUE(Silent(1));
}

TEST_F(RemoteBoxPaths, AContactBoxStartsAnOutputOnceAClosingAndStopsIt)
{
    testsupport::FakeHidBox& box = PlugBox(4);
    Store("HIDGetStatus_1", "1");
    ASSERT_TRUE(Start(1, {1}));
    FillListAndChooseRow(2);
    Ticks();
    TakeLamps(box);
    Played(1);

    // Inputs are active low: bit 0 low closes input 1, the start of output 1.
    box.mask = 0xFE;
    Ticks();
    EXPECT_EQ(State().OutputState[0], 1);
    EXPECT_EQ(SoundStarted(1), FirstFrameOfRow(2)) << "the chosen row";
    // Lamp 1 (input 1, play) lights; lamp 5 (input 5, stop) goes out.
    EXPECT_THAT(TakeLamps(box), IsSupersetOf({1, 105}));

    // Input 1 held and input 5 closing: output 1 stops, and the held input
    // starts nothing again.
    box.mask = 0xEE;
    Ticks();
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_THAT(TakeLamps(box), IsSupersetOf({101, 5}));
    Played(1);
    Run(500);
    EXPECT_EQ(State().OutputState[0], 0);
    EXPECT_TRUE(Silent(1));
}

} // namespace
