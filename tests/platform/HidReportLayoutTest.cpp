#include "platform/HidReportLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::ParseHidReportDescriptor;
using Bytes = std::vector<std::uint8_t>;

// A vendor-defined box with one input and one output report of n bytes each,
// without report ids, as the remote boxes declare themselves.
// clang-format off
Bytes VendorBox(std::uint8_t inputBytes, std::uint8_t outputBytes)
{
    return {0x06, 0x00, 0xFF,              // usage page (vendor)
            0x09, 0x01,                    // usage
            0xA1, 0x01,                    // collection (application)
            0x15, 0x00, 0x26, 0xFF, 0x00,  // logical 0..255
            0x75, 0x08,                    // report size 8
            0x95, inputBytes, 0x09, 0x01,  // report count, usage
            0x81, 0x02,                    // input
            0x95, outputBytes, 0x09, 0x02, // report count, usage
            0x91, 0x02,                    // output
            0xC0};
}
// clang-format on

TEST(HidReportLayout, LengthsCountTheReportIdByteAlways)
{
    const auto eight = ParseHidReportDescriptor(VendorBox(8, 8));
    ASSERT_TRUE(eight);
    EXPECT_EQ(eight->inputLength, 9u);
    EXPECT_EQ(eight->outputLength, 9u);
    EXPECT_FALSE(eight->numberedReports);

    const auto small = ParseHidReportDescriptor(VendorBox(2, 64));
    ASSERT_TRUE(small);
    EXPECT_EQ(small->inputLength, 3u);
    EXPECT_EQ(small->outputLength, 65u);
}

TEST(HidReportLayout, NumberedReportsTakeTheLongestOfEachKind)
{
    // clang-format off
    const Bytes descriptor{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08,
                           0x85, 0x01, 0x95, 0x02, 0x81, 0x02,  // id 1: 2 input bytes
                           0x85, 0x02, 0x95, 0x04, 0x81, 0x02,  // id 2: 4 input bytes
                           0x85, 0x01, 0x95, 0x03, 0x91, 0x02,  // id 1: 3 output bytes
                           0x85, 0x03, 0x95, 0x20, 0xB1, 0x02,  // id 3: a feature report, not counted
                           0xC0};
    // clang-format on
    const auto layout = ParseHidReportDescriptor(descriptor);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->inputLength, 5u);
    EXPECT_EQ(layout->outputLength, 4u);
    EXPECT_TRUE(layout->numberedReports);
}

TEST(HidReportLayout, BitFieldsPushPopAndLongItems)
{
    // clang-format off
    const Bytes descriptor{0xA1, 0x01,
                           0x75, 0x01, 0x95, 0x03, 0x81, 0x02, // 3 buttons
                           0xA4,                               // push (size 1, count 3)
                           0x75, 0x05, 0x95, 0x01, 0x81, 0x03, // 5 bits of padding
                           0xB4,                               // pop
                           0x81, 0x02,                         // 3 more bits
                           0xFE, 0x02, 0x10, 0xAA, 0xBB,       // a long item, skipped
                           0x75, 0x08, 0x95, 0x01, 0x81, 0x02, // one byte
                           0xC0};
    // clang-format on
    const auto layout = ParseHidReportDescriptor(descriptor);
    ASSERT_TRUE(layout);
    EXPECT_EQ(layout->inputLength, 4u); // 19 bits: 3 bytes, and the id byte
    EXPECT_EQ(layout->outputLength, 0u);
}

TEST(HidReportLayout, MalformedDescriptorsAreRefused)
{
    Bytes cut = VendorBox(8, 8);
    cut.resize(11); // inside the two bytes of "logical maximum"
    EXPECT_FALSE(ParseHidReportDescriptor(cut));
    EXPECT_FALSE(ParseHidReportDescriptor(Bytes{0xFE, 0x09, 0x10, 0x01}));
    EXPECT_FALSE(ParseHidReportDescriptor(Bytes{0xFE}));
    // Absurd sizes that would overflow.
    EXPECT_FALSE(
        ParseHidReportDescriptor(Bytes{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02}));
    const auto empty = ParseHidReportDescriptor(Bytes{});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->inputLength, 0u);
}

} // namespace
