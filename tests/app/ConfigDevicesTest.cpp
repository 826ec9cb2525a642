// The configuration dialog opened from the menu of the assembled program
// shows the sound device each output plays on and the MIDI input in use.
#include "AssembledFixture.h"

#include "dialogs/ConfPagePlayer.h"
#include "dialogs/FrmConf.h"
#include "foundation/Registry.h"
#include "platform/ComboBox.h"
#include "support/FakeMidiBackend.h"

#include <functional>
#include <string>

namespace {

using apptest::AssembledFixture;

class ConfigDevices : public AssembledFixture {
protected:
    // Opens the dialog through its menu, lets look see the first page, and
    // closes it with the button given (0 Cancel, 1 OK).
    void WithDialog(const std::function<void(ConfPagePlayer&)>& look, int closeWith)
    {
        ASSERT_TRUE(
            Configure(closeWith, [&look](FrmConf& dialog) { look(*dynamic_cast<ConfPagePlayer*>(dialog.Page(0))); }));
    }
};

TEST_F(ConfigDevices, EveryOutputInUseShowsItsDeviceFromTheFirstOpeningAndAnUntouchedOkKeepsTheSettings)
{
    namedDevices = false;
    Store("DeviceWave_2", "Null 2");
    ASSERT_TRUE(Start(2));
    const auto shown = [](ConfPagePlayer& player) {
        ASSERT_EQ(player.ComboType().Text(), "WaveOut");
        // No stored name: the output plays on the default device.
        EXPECT_EQ(player.ComboDev(0).Text(), "Null default");
        EXPECT_EQ(player.ComboDev(1).Text(), "Null 2");
        EXPECT_EQ(player.ComboDevMon().Text(), "Null default");
        // Outputs 3 and 4 are not in use: nothing to show.
        for (const int n : {2, 3}) {
            EXPECT_FALSE(player.ComboDev(n).isEnabled()) << n;
            EXPECT_EQ(player.ComboDev(n).ListIndex(), -1) << n;
        }
    };
    for (const int closeWith : {0, 1}) {
        SCOPED_TRACE(closeWith == 0 ? "Cancel" : "OK");
        WithDialog(shown, closeWith);
    }
    // The default device stays "the default", not a device named after it.
    EXPECT_EQ(basic::RegRead("DeviceWave_1", "(missing)", "tolv"), "");
    EXPECT_EQ(basic::RegRead("DeviceWave_2", "(missing)", "tolv"), "Null 2");
    EXPECT_EQ(basic::RegRead("DeviceWaveMon", "(missing)", "tolv"), "");
    // And the rebuilt window opens the dialog the same way.
    WithDialog(shown, 0);
}

class ConfigMidi : public AssembledFixture {
protected:
    // What OK stores for the MIDI input device, with or without opening the
    // Remote page first.
    std::string StoredAfterOk(bool openRemote)
    {
        EXPECT_TRUE(Configure(1, [openRemote](FrmConf& dialog) {
            if (openRemote) {
                dialog.TabConf_TabClicked(11);
            }
        }));
        return basic::RegRead("MidiInDeviceID", "(missing)", "tolv");
    }

    testsupport::FakeMidiBackend midi;
};

TEST_F(ConfigMidi, OkStoresTheDeviceTheRemotePageShowsWhetherOrNotItWasOpened)
{
    midi.inputs = {"Keys A", "Keys B"};
    Store("UseMIDIIn", "1");
    Store("MidiInDeviceID", "1");
    ASSERT_TRUE(Start());
    ASSERT_TRUE(midi.IsOpen());
    // The device in use stays, opened or not.
    EXPECT_EQ(StoredAfterOk(false), "1");
    EXPECT_EQ(StoredAfterOk(true), "1");
    EXPECT_EQ(midi.openedIndex, 1);

    // Unplugged, the page would show no device: OK stores -1 from any page.
    midi.inputs.clear();
    EXPECT_EQ(StoredAfterOk(false), "-1");
    EXPECT_EQ(StoredAfterOk(true), "-1");
    // Read back, -1 opens nothing and the program runs on.
    EXPECT_FALSE(midi.IsOpen());
    EXPECT_EQ(State().Running, 1);
}

} // namespace
