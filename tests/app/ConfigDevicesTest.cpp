// The configuration dialog opened from the menu of the assembled program
// shows the sound device each output plays on.
#include "AssembledFixture.h"

#include "dialogs/ConfPagePlayer.h"
#include "dialogs/FrmConf.h"
#include "foundation/Registry.h"
#include "platform/ComboBox.h"

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

} // namespace
