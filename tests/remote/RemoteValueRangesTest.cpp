// Remote values that a ".rrs" file or a damaged table could carry: outputs
// outside 1..4, pages outside 1..20, buttons outside 1..100 and numbers at
// the ends of 32 bits. Each is refused where it is read, and no arithmetic on
// them can overflow.
#include "tests/remote/RemoteControlFixture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace {

using remotetest::RemoteControlTest;

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();

class RemoteValueRanges : public RemoteControlTest {
protected:
    RemoteAssignEntry Entry(int channel, int code) const
    {
        return window.State.RemoteAssignTable[static_cast<std::size_t>(RemoteAssignIndex(channel, code))];
    }
    RemoteAssignEntry& EntryRef(int channel, int code)
    {
        return window.State.RemoteAssignTable[static_cast<std::size_t>(RemoteAssignIndex(channel, code))];
    }
    // Lines of the error log that name a skipped ".rrs" line.
    std::vector<std::string> SkippedLines() const
    {
        std::vector<std::string> found;
        for (const std::string& line : ErrorLines()) {
            if (line.rfind("LoadRemoteAssignTable: line ", 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }
};

TEST_F(RemoteValueRanges, RrsLinesWithOutputsOutsideOneToFourAreSkippedAndLogged)
{
    basic::SaveSetting("HIDCh_2", "4");
    logs.Write("tolv.rrs", "\"Button_01-010\",\"ch0\",\"stop_on\",\"1\"\r\n"
                           "\"Button_01-011\",\"ch9\",\"stop_on\",\"1\"\r\n"
                           "\"Button_01-012\",\"-5\",\"stop_on\",\"1\"\r\n"
                           "\"Button_01-013\",\"500\",\"stop_on\",\"1\"\r\n"
                           "\"Button_01-014\",\"ch-2147483648\",\"page_on\",\"3\"\r\n"
                           "\"Button_02-006\",\"ch-2147483648\",\"stop_on\",\"1\"\r\n"
                           "\"Button_01-015\",\"ch4\",\"stop_on\",\"1\"\r\n");
    Init();
    // The defaults stand for every refused line.
    EXPECT_EQ(Entry(0, 10), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 10}));
    EXPECT_EQ(Entry(0, 11), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 11}));
    EXPECT_EQ(Entry(0, 12), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 12}));
    EXPECT_EQ(Entry(0, 13), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 13}));
    EXPECT_EQ(Entry(0, 14), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 14}));
    EXPECT_EQ(Entry(1, 6), (RemoteAssignEntry{1, RemoteFunction::StopOn, 1}));
    // The good line after them is read.
    EXPECT_EQ(Entry(0, 15), (RemoteAssignEntry{3, RemoteFunction::StopOn, 1}));
    const std::vector<std::string> skipped = SkippedLines();
    ASSERT_EQ(skipped.size(), 6U);
    EXPECT_NE(skipped[0].find("line 1 "), std::string::npos) << skipped[0];
    EXPECT_NE(skipped[0].find("Button_01-010"), std::string::npos) << skipped[0];
    EXPECT_NE(skipped[5].find("line 6 "), std::string::npos) << skipped[5];
    EXPECT_TRUE(messages.empty()) << "a skipped line is no read error";

    // The contact box's stop input 6 still stops output 2; nothing else.
    control->CheckUSB2(1, 6);
    EXPECT_EQ(targets.Take(), "StopOutput 1");
}

TEST_F(RemoteValueRanges, PagesAndButtonsOutsideTheirRangesAreSkippedWhileCodesKeepAnyValue)
{
    logs.Write("tolv.rrs", "\"Button_01-020\",\"ch1\",\"PAGE_ON\",\"2147483647\"\n"
                           "\"Button_01-021\",\"ch1\",\"page_off\",\"0\"\n"
                           "\"Button_01-022\",\"ch1\",\"PAGE_ON\",\"21\"\n"
                           "\"Button_01-023\",\"ch1\",\"PAGE_ON\",\"20\"\n"
                           "\"Button_01-024\",\"ch1\",\"BUTTON_ON\",\"101\"\n"
                           "\"Button_01-025\",\"ch1\",\"BUTTON_STBY\",\"0\"\n"
                           "\"Button_01-026\",\"ch1\",\"button_on\",\"100\"\n"
                           "\"Button_01-027\",\"ch2\",\"anything\",\"255\"\n"
                           "\"Button_01-028\",\"ch2\",\"anything\",\"-2147483648\"\n"
                           "\"Button_01-029\",\"ch2\",\"STOP_ON\",\"2147483647\"\n"
                           "\"Button_00-001\",\"ch1\",\"STOP_ON\",\"1\"\n"
                           "\"Button_01-999\",\"ch1\",\"STOP_ON\",\"1\"\n");
    Init();
    for (const int code : {20, 21, 22, 24, 25}) {
        EXPECT_EQ(Entry(0, code), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, code})) << code;
    }
    EXPECT_EQ(Entry(0, 23), (RemoteAssignEntry{0, RemoteFunction::PageOn, 20}));
    EXPECT_EQ(Entry(0, 26), (RemoteAssignEntry{0, RemoteFunction::ButtonOn, 100}));
    // Function -1 carries any remote code, the release code 255 included;
    // lamp values of the other functions are not pages or buttons.
    EXPECT_EQ(Entry(0, 27), (RemoteAssignEntry{1, RemoteFunction::Code, 255}));
    EXPECT_EQ(Entry(0, 28), (RemoteAssignEntry{1, RemoteFunction::Code, Min32}));
    EXPECT_EQ(Entry(0, 29), (RemoteAssignEntry{1, RemoteFunction::StopOn, Max32}));
    const std::vector<std::string> skipped = SkippedLines();
    ASSERT_EQ(skipped.size(), 7U);
    EXPECT_NE(skipped[0].find("line 1 "), std::string::npos) << skipped[0];
    EXPECT_NE(skipped[5].find("line 11 "), std::string::npos) << skipped[5];
    EXPECT_NE(skipped[6].find("Button_01-999"), std::string::npos) << skipped[6];

    // Box code 27 of channel 1 releases output 2's Momentary sound.
    window.State.PlayingMode[1] = 1;
    window.State.OutputState[1] = 1;
    window.State.SourceOutput[0] = 1;
    control->CheckUSB2(0, 27);
    control->CheckUSB2(0, 28);
    EXPECT_EQ(targets.Take(), "StopOutput 1");
}

TEST_F(RemoteValueRanges, TableEntriesOutOfRangeDoNothingWhenTheirCodeArrives)
{
    basic::SaveSetting("HIDCh_2", "4");
    Init();
    // The table is the window's: whatever is written into it, a box code
    // never makes a page, a button or a contact out of range.
    EntryRef(0, 40) = {0, RemoteFunction::PageOn, Max32};
    EntryRef(0, 41) = {0, RemoteFunction::PageOn, Min32};
    EntryRef(0, 42) = {0, RemoteFunction::ButtonOn, 201};
    EntryRef(0, 43) = {0, RemoteFunction::ButtonOn, 0};
    EntryRef(1, 5) = {Max32, RemoteFunction::StopOn, 1};
    EntryRef(1, 1) = {Min32, RemoteFunction::PlayOn, 1};
    EntryRef(0, 44) = {Max32, RemoteFunction::LineOutStatusOn, 1};
    for (const int code : {40, 41, 42, 43, 44}) {
        control->CheckUSB2(0, code);
    }
    control->CheckUSB2(1, 5);
    control->CheckUSB2(1, 1);
    EXPECT_EQ(targets.Take(), "");
    // The page function within its range still selects the page.
    EntryRef(0, 40) = {0, RemoteFunction::PageOn, 20};
    control->CheckUSB2(0, 40);
    EXPECT_EQ(targets.Take(), "ChangePage 0,19,0");
    // Box codes beyond one byte address nothing; -1 is a failed read.
    control->CheckUSB2(0, Max32);
    control->CheckUSB2(0, Min32);
    control->CheckUSB2(0, 256);
    EXPECT_EQ(targets.Take(), "");
}

TEST_F(RemoteValueRanges, LampsStayInRangeWithAnyTallyInvertAndIndex)
{
    auto& contacts = hid.Plug(1, "1-1");
    auto& buttons = hid.Plug(1, "1-2");
    basic::SaveSetting("USBHIDID_1", "1");
    basic::SaveSetting("USBHIDID_2", "1");
    basic::SaveSetting("HIDCh_1", "4");
    basic::SaveSetting("HIDCh_2", "0");
    Init();
    ASSERT_TRUE(control->HidOpen(0));
    ASSERT_TRUE(control->HidOpen(1));
    // TallyInvert is 0 or 1; any other stored number counts as 0.
    window.State.TallyInvert = Max32;
    control->SendRemoteCommand(0, 6, 0);
    control->SendRemoteCommand(0, 7, 0);
    EXPECT_EQ(Lamps(contacts), (std::vector<int>{1, 101}));
    // Button and page indexes at the ends of 32 bits light nothing.
    const std::size_t before = buttons.Lamps().size();
    for (const int index : {Max32, Min32, -1}) {
        control->SendRemoteCommand(0, 3, index);
        control->SendRemoteCommand(0, 1, index);
    }
    EXPECT_EQ(buttons.Lamps().size(), before);
    control->SendRemoteCommand(0, 3, 99);
    EXPECT_EQ(Lamps(buttons).back(), 100);
}

} // namespace
