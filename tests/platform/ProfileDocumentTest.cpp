#include "platform/ProfileDocument.h"
#include "platform/base/TextCodec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::ProfileDocument;
using namespace std::string_literals;

TEST(ProfileDocument, ReadsLikeTheProfileFunctions)
{
    const ProfileDocument ini("; settings\n"
                              "Stray=outside any section\n"
                              "[Other]\n"
                              "Volume=1\n"
                              "  [ CONF ]  \n"
                              "  volume =  7  \n"
                              "Title=\"  quoted  \"\n"
                              "Empty=\n"
                              "VOLUME=8\n"
                              "[conf]\n"
                              "Late=1\n");
    EXPECT_EQ(ini.Find("conf", "Volume"), "7");
    EXPECT_EQ(ini.Find("Conf", "VOLUME"), "7") << "first key of the first matching section";
    EXPECT_EQ(ini.Find("conf", "title"), "  quoted  ");
    EXPECT_EQ(ini.Find("conf", "Empty"), "");
    EXPECT_EQ(ini.Find("other", "volume"), "1");
    EXPECT_FALSE(ini.Find("conf", "Late")) << "a repeated section is not read";
    EXPECT_FALSE(ini.Find("conf", "Stray"));
    EXPECT_FALSE(ini.Find("missing", "Volume"));
}

TEST(ProfileDocument, WritingKeepsEveryOtherLineAndTheFilesLineEnds)
{
    ProfileDocument ini("; keep me\r\n"
                        "[conf]\r\n"
                        "A = 1\r\n"
                        "\r\n"
                        "; about the next section\r\n"
                        "[other]\r\n"
                        "B=2");
    ASSERT_TRUE(ini.Set("CONF", "a", "10"));
    ASSERT_TRUE(ini.Set("conf", "New", "n"));
    ASSERT_TRUE(ini.Set("other", "C", "3"));
    ASSERT_TRUE(ini.Set("Third", "D", ""));
    EXPECT_EQ(ini.Bytes(), "; keep me\r\n"
                           "[conf]\r\n"
                           "A=10\r\n"
                           "New=n\r\n"
                           "\r\n"
                           "; about the next section\r\n"
                           "[other]\r\n"
                           "B=2\r\n"
                           "C=3\r\n"
                           "[Third]\r\n"
                           "D=\r\n");
    EXPECT_EQ(ProfileDocument("").Bytes(), "");
}

TEST(ProfileDocument, AValueCannotAddLinesAndBadNamesAreRefused)
{
    ProfileDocument ini("[conf]\n");
    ASSERT_TRUE(ini.Set("conf", "Note", "one\r\n[conf]\nInjected=1"));
    EXPECT_FALSE(ini.Find("conf", "Injected"));
    EXPECT_EQ(ini.Find("conf", "Note"), "one  [conf] Injected=1");
    EXPECT_FALSE(ini.Set("conf", "a=b", "x"));
    EXPECT_FALSE(ini.Set("conf", "", "x"));
    EXPECT_FALSE(ini.Set("co]nf", "k", "x"));
    EXPECT_FALSE(ini.Set("conf", "line\nbreak", "x"));
    // A byte that is no part of a UTF-8 character could never read back.
    EXPECT_FALSE(ini.Set("conf", "Note", "caf\xE9.txt"));
    EXPECT_FALSE(ini.Set("caf\xE9", "Note", "x"));
    EXPECT_EQ(ini.Bytes(), "[conf]\nNote=one  [conf] Injected=1\n");
}

TEST(ProfileDocument, EveryWrittenValueReadsBackAsItWasWritten)
{
    const std::vector<std::string> values{"\"/usr/bin/a b\" --x \"y\"",
                                          "'single'",
                                          "\"\"",
                                          "''",
                                          "\"quoted\"",
                                          "  padded  ",
                                          " leading",
                                          "trailing\t",
                                          "\"***\"",
                                          "'mixed\"",
                                          "\"",
                                          "one\n"};
    ProfileDocument ini("[conf]\n");
    for (std::size_t i = 0; i < values.size(); ++i) {
        ASSERT_TRUE(ini.Set("conf", "Key" + std::to_string(i), values[i]));
    }
    const ProfileDocument reread(ini.Bytes());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const std::string expected = values[i] == "one\n" ? "one " : values[i];
        EXPECT_EQ(reread.Find("conf", "Key" + std::to_string(i)), expected) << ini.Bytes();
    }
}

TEST(ProfileDocument, PlainValuesAndHandWrittenQuotesStandAsBefore)
{
    ProfileDocument ini("[conf]\nPath=\"C:\\with blank\\\"\n");
    ASSERT_TRUE(ini.Set("conf", "Plain", "/usr/bin/a b --x"));
    ASSERT_TRUE(ini.Set("conf", "Stars", "***"));
    ASSERT_TRUE(ini.Set("conf", "Inner", "say \"hi\" twice"));
    ASSERT_TRUE(ini.Set("conf", "Empty", ""));
    ASSERT_TRUE(ini.Set("conf", "Padded", " x "));
    EXPECT_EQ(ini.Bytes(), "[conf]\nPath=\"C:\\with blank\\\"\nPlain=/usr/bin/a b --x\nStars=***\n"
                           "Inner=say \"hi\" twice\nEmpty=\nPadded=\" x \"\n");
    EXPECT_EQ(ini.Find("conf", "Path"), "C:\\with blank\\") << "quotes written by hand still come off";
}

TEST(ProfileDocument, ADamagedFileReadsWhatIsIntactAndKeepsItsDamage)
{
    const std::string longLine(3 * 1024 * 1024, 'x');
    const std::string damaged = "[conf\nGood=1\nNul\x01Key=2\n"s + longLine + "\n\xFF\xFE=3\nHalf";
    ProfileDocument ini(damaged);
    EXPECT_EQ(ini.Find("conf", "Good"), "1") << "a header without its bracket still names its section";
    EXPECT_FALSE(ini.Find("conf", "NulKey"));
    EXPECT_FALSE(ini.Find("conf", "Half"));
    ASSERT_TRUE(ini.Set("conf", "Added", "4"));
    // The bytes 0xFF 0xFE make the file code page 932, where they are a key too.
    EXPECT_TRUE(ini.Bytes() == "[conf\nGood=1\nNul\x01Key=2\n"s + longLine + "\n\xFF\xFE=3\nAdded=4\nHalf");
}

TEST(ProfileDocument, ACodePage932FileStaysCodePage932)
{
    // "[conf]" / "Name=日本語" in code page 932.
    const std::string cp932 = "[conf]\r\nName=\x93\xFA\x96\x7B\x8C\xEA\r\n";
    ProfileDocument ini(cp932);
    EXPECT_EQ(ini.Find("conf", "Name"), "日本語");
    ASSERT_TRUE(ini.Set("conf", "Place", "東京"));
    EXPECT_EQ(ini.Bytes(), cp932 + "Place=\x93\x8C\x8B\x9E\r\n");
    EXPECT_EQ(ProfileDocument(ini.Bytes()).Find("conf", "place"), "東京");
}

TEST(ProfileDocument, AUtf8FileWithAByteOrderMarkKeepsIt)
{
    ProfileDocument ini("\xEF\xBB\xBF[conf]\nName=日本語\n");
    EXPECT_EQ(ini.Find("conf", "Name"), "日本語");
    ASSERT_TRUE(ini.Set("conf", "Place", "東京"));
    EXPECT_EQ(ini.Bytes(), "\xEF\xBB\xBF[conf]\nName=日本語\nPlace=東京\n");
}

} // namespace
