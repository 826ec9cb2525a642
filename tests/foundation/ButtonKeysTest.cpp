#include "foundation/ButtonKeys.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The keys of one set, button by button, as the characters they stand for
// ("." for no key).
std::string KeysOf(int set, int buttons)
{
    std::string keys;
    for (int b = 0; b < buttons; ++b) {
        const int code = parms::KeyAssign[static_cast<std::size_t>(set + 4 * b)];
        keys += code == 0 ? '.' : static_cast<char>(code);
    }
    return keys;
}

class ButtonKeys : public testing::Test {
protected:
    void SetUp() override
    {
        parms::KeyAssign.fill(0);
        parms::NumpadKeyAssign.fill(0);
    }
};

TEST_F(ButtonKeys, FiveColumnsTakeTheLeftFiveKeysOfFourRows)
{
    parms::SetDefaultButtonKeys(1, 5);
    EXPECT_EQ(KeysOf(1, 22), "12345QWERTASDFGZXCVB..");
    for (int b = 0; b < 5; ++b) {
        EXPECT_EQ(parms::NumpadKeyAssign[static_cast<std::size_t>(b)], 97 + b);
    }
    EXPECT_EQ(parms::NumpadKeyAssign[5], 0);
    EXPECT_EQ(KeysOf(0, 20), std::string(20, '.')) << "other sets keep their keys";
}

TEST_F(ButtonKeys, TwelveColumnsLeaveTheExtraColumnsWithoutKeys)
{
    parms::SetDefaultButtonKeys(0, 12);
    EXPECT_EQ(KeysOf(0, 48), "1234567890..QWERTYUIOP..ASDFGHJKL...ZXCVBNM.....");
    EXPECT_EQ(parms::NumpadKeyAssign[9], 96) << "keypad 0 after keypad 9";
    EXPECT_EQ(parms::NumpadKeyAssign[10], 0);
}

TEST_F(ButtonKeys, ThirtyColumnsStopAfterButton99)
{
    parms::SetDefaultButtonKeys(3, 30);
    const std::string keys = KeysOf(3, 100);
    EXPECT_EQ(keys.substr(0, 10), "1234567890");
    EXPECT_EQ(keys.substr(30, 10), "QWERTYUIOP");
    EXPECT_EQ(keys.substr(60, 9), "ASDFGHJKL");
    EXPECT_EQ(keys.substr(90, 10), "ZXCVBNM...");
}

TEST_F(ButtonKeys, ANarrowerGridClearsTheKeysItNoLongerUses)
{
    parms::SetDefaultButtonKeys(2, 10);
    parms::SetDefaultButtonKeys(2, 4);
    // With the old keys left, 5 would still start button 4, which now holds Q.
    EXPECT_EQ(KeysOf(2, 20), "1234QWERASDFZXCV....");
}

TEST_F(ButtonKeys, NonsenseChangesNothing)
{
    parms::SetDefaultButtonKeys(0, 10);
    parms::SetDefaultButtonKeys(0, 0);
    parms::SetDefaultButtonKeys(4, 10);
    parms::SetDefaultButtonKeys(-1, 10);
    EXPECT_EQ(KeysOf(0, 10), "1234567890");
    EXPECT_EQ(KeysOf(3, 10), "..........");
}

} // namespace
