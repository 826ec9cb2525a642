#include "audio/FormatCombos.h"
#include "platform/ComboBox.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Items(const platform::ComboBox& box)
{
    std::vector<std::string> items;
    for (int i = 0; i < box.ListCount(); ++i) {
        items.push_back(box.List(i));
    }
    return items;
}

TEST(FormatCombos, FormatNamesUpToTheHighestCode)
{
    platform::ComboBox box;
    box.AddItem("old");
    WaveMMIO::FillFormatCombo(box, 3, 5);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"Mono8bit", "Stereo8bit", "Mono16bit", "Stereo16bit", "Mono24bit",
                                                    "Stereo24bit"}));
    EXPECT_EQ(box.ListIndex(), 3);
    // An index past the end chooses the first item.
    WaveMMIO::FillFormatCombo(box, 9, 5);
    EXPECT_EQ(box.ListIndex(), 0);
    WaveMMIO::FillFormatCombo(box, 9, 9);
    EXPECT_EQ(box.ListCount(), 10);
    EXPECT_EQ(box.List(9), "Surround 7.1 24bit");
    EXPECT_EQ(box.ListIndex(), 9);
    WaveMMIO::FillFormatCombo(box, -1, 1);
    EXPECT_EQ(box.ListIndex(), -1);
}

TEST(FormatCombos, RatesWithinTheBounds)
{
    platform::ComboBox box;
    WaveMMIO::FillRateCombo(box, 48000, 44100, 0);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"192000", "96000", "88200", "48000", "44100"}));
    EXPECT_EQ(box.ListIndex(), 3);
    WaveMMIO::FillRateCombo(box, 44100, 0, 32000);
    EXPECT_EQ(Items(box), (std::vector<std::string>{"32000", "24000", "22050", "16000", "12000", "11025", "8000"}));
    EXPECT_EQ(box.ListIndex(), -1);
    WaveMMIO::FillRateCombo(box, 8000, 0, 0);
    EXPECT_EQ(box.ListCount(), 12);
    EXPECT_EQ(box.ListIndex(), 11);
}

} // namespace
