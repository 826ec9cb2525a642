#include "mainwindow/SettingDefaults.h"

#include <gtest/gtest.h>

namespace {

// The values the program runs with where the pages and the settings apply
// once disagreed: the apply's values hold.
TEST(SettingDefaults, TheProgramsOwnValuesWhereDialogAndApplyOnceDisagreed)
{
    EXPECT_EQ(SettingDefaults::Long("TimerInt"), 50);
    EXPECT_EQ(SettingDefaults::Long("SozaiFreq"), 48000);
    EXPECT_EQ(SettingDefaults::Long("AltFont"), 0);
    EXPECT_EQ(SettingDefaults::Long("ButtonOrderHorizon"), 1);
    EXPECT_EQ(SettingDefaults::Long("ListOrderHorizon"), 1);
}

TEST(SettingDefaults, NumberedKeysShareTheirStemUnlessOneHasItsOwn)
{
    EXPECT_EQ(SettingDefaults::Text("IsList_3"), "0");
    EXPECT_EQ(SettingDefaults::Text("DispIt_5"), "1");
    EXPECT_EQ(SettingDefaults::Text("ModuleX_2"), "8");
    EXPECT_EQ(SettingDefaults::Long("PlayColor_1"), 0);
    EXPECT_EQ(SettingDefaults::Long("PlayColor_2"), 1);
    EXPECT_EQ(SettingDefaults::Long("PlayColor_3"), 2);
    EXPECT_EQ(SettingDefaults::Text("SizeRate_2"), "1.3");
    EXPECT_EQ(SettingDefaults::Text("TlvExtention"), "txt");
    EXPECT_TRUE(SettingDefaults::Has("DeviceWave_4"));
    // Not a numbered key of a stem, nor a key of the program.
    EXPECT_FALSE(SettingDefaults::Has("IsList_"));
    EXPECT_FALSE(SettingDefaults::Has("IsList_x"));
    EXPECT_FALSE(SettingDefaults::Has("NoSuchKey"));
    EXPECT_EQ(SettingDefaults::Text("NoSuchKey"), "");
}

} // namespace
