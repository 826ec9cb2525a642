#include "playback/AssignLine.h"

#include <gtest/gtest.h>

using namespace playback;

TEST(AssignLine, KeysNameKindOutputPageAndItem)
{
    const AssignLine button = ParseAssignLine(R"("Button3_10-032","a.wav","1","0","&H0","&H0")");
    EXPECT_EQ(button.Kind, LineButton);
    EXPECT_EQ(button.Output, 2);
    EXPECT_EQ(button.Page, 9);
    EXPECT_EQ(button.Item, 31);
    EXPECT_EQ(button.Values[0], "a.wav");

    // The word ignores case and the digit 1 is the first output.
    const AssignLine lower = ParseAssignLine(R"("button1_01-001","x")");
    const AssignLine plain = ParseAssignLine(R"("Button_01-001","x")");
    EXPECT_EQ(lower.Kind, LineButton);
    EXPECT_EQ(lower.Output, plain.Output);
    EXPECT_EQ(lower.Page, plain.Page);
    EXPECT_EQ(lower.Item, plain.Item);

    const AssignLine caption = ParseAssignLine(R"("ListName2_05","Morning")");
    EXPECT_EQ(caption.Kind, LineListName);
    EXPECT_EQ(caption.Output, 1);
    EXPECT_EQ(caption.Page, 4);

    // Fewer than five characters after "_": the first item.
    const AssignLine shortKey = ParseAssignLine(R"("Button_01-1","x")");
    EXPECT_EQ(shortKey.Kind, LineButton);
    EXPECT_EQ(shortKey.Item, 0);
}

TEST(AssignLine, LinesThatAreNoAssignLinesAreKindZero)
{
    EXPECT_EQ(ParseAssignLine(R"("user","aiko")").Kind, LineUser);
    EXPECT_EQ(ParseAssignLine(R"("User","aiko")").Kind, LineNone);
    EXPECT_EQ(ParseAssignLine(R"("Button01-001","x")").Kind, LineNone);
    EXPECT_EQ(ParseAssignLine(R"("Button_01-001")").Kind, LineNone);
    EXPECT_EQ(ParseAssignLine(R"("Foo_01-001","x")").Kind, LineNone);
    EXPECT_EQ(ParseAssignLine(R"("Button_xx-001","x")").Kind, LineNone);
    EXPECT_EQ(ParseAssignLine("").Kind, LineNone);
}

TEST(AssignLine, QuotedFieldsKeepCommasAndMissingValuesStayEmpty)
{
    // A comma inside quotes stays, so a file name written elsewhere survives.
    const AssignLine line = ParseAssignLine(R"("List_01-002","a,b","1")");
    EXPECT_EQ(line.Values[0], "a,b");
    EXPECT_EQ(line.Values[1], "1");
    EXPECT_EQ(line.Values[2], "");
    const AssignLine empties = ParseAssignLine(R"("List_01-002","","")");
    EXPECT_EQ(empties.Kind, LineListItem);
    EXPECT_EQ(empties.Values[0], "");
}

TEST(AssignLine, NumbersInDecimalAndHexadecimal)
{
    EXPECT_EQ(ParseAssignNumber("-1500"), -1500);
    EXPECT_EQ(ParseAssignNumber("&HFFFFFF"), 0xFFFFFF);
    EXPECT_EQ(ParseAssignNumber("&HFFFFFFFF"), -1);
    EXPECT_EQ(ParseAssignNumber("&h0"), 0);
    EXPECT_FALSE(ParseAssignNumber("red"));
    EXPECT_FALSE(ParseAssignNumber("&H"));
    EXPECT_FALSE(ParseAssignNumber("&H123456789"));

    EXPECT_EQ(AssignHex(0xFFFFFF), "&HFFFFFF");
    EXPECT_EQ(AssignHex(0), "&H0");
    EXPECT_EQ(AssignHex(-1), "&HFFFFFFFF");
    EXPECT_EQ(AssignHex(-16), "&HFFFFFFF0");
    EXPECT_EQ(AssignKey("Button", 2, 9, 31), "Button3_10-032");
    EXPECT_EQ(AssignKey("BankName", 0, 0, -1), "BankName_01");
}
