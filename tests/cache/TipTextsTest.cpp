#include "cache/TipTexts.h"
#include "CountingFileLayer.h"
#include "TipFixture.h"
#include "foundation/Paths.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace {

using cache::TipDisplay;
using cache::TipTexts;
using testing::ElementsAre;

class TipTextsTest : public TipFixture {
protected:
    TipTextsTest()
    {
        display.GetTip = 1;
        display.DispItRef = {1, 0, 1};
    }

    // The cache name as the playback side maps it: files of the first server
    // keep their folders below the cache folder.
    static std::string LocalName(std::string_view path)
    {
        const std::string& server = FCT_Quind::Servers[0].SrvPath;
        if (path.starts_with(server)) {
            return FCT_Quind::LocalPath + std::string(path.substr(server.size()));
        }
        return FCT_Quind::LocalPath + basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
    }

    TipDisplay display;
    bool plays = false;
    TipTexts texts{{[this] { return display; }, LocalName, [this] { return plays; }}};
    std::vector<std::string> out;
};

const std::string FullTip = "0\r\n2\r\n61000\r\n0\r\n0\r\n0\r\n0\r\n20250401\r\n20250430123456\r\nK\r\n0\r\n"
                            "[Ref]\r\nr1\r\nr2\r\nr3\r\n";

TEST_F(TipTextsTest, ModeZeroGivesOneTextPerShownFieldAndTheTypeColourLast)
{
    const std::string sound = Tip("srv/news/a.wav", FullTip);
    ASSERT_EQ(texts.GetTipInfo(sound, out, 0), 1);
    // Folder, type name (type 3 for TypeNo 2), the dates, the user, and the
    // references 1 and 3; then the colour of type 3.
    EXPECT_THAT(out,
                ElementsAre("news", "type3", "2025/04/01", "2025/04/30", "K", "r1", "r3", std::to_string(0x030303)));

    display.DispIt = {0, 1, 0, 1, 0};
    display.DispItRef = {0, 0, 0};
    FCT_Quind::UseTime = 1;
    ASSERT_EQ(texts.GetTipInfo(sound, out, 0), 1);
    EXPECT_THAT(out, ElementsAre("type3", "2025/04/30 12:34:56", std::to_string(0x030303)));
}

TEST_F(TipTextsTest, ModeOneJoinsTheNonEmptyTextsInBrackets)
{
    display.DispIt = {1, 0, 0, 0, 1};
    display.DispItRef = {};
    const std::string sound = Tip("srv/news/a.wav", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n\r\nK\r\n");
    ASSERT_EQ(texts.GetTipInfo(sound, out, 1), 1);
    EXPECT_THAT(out, ElementsAre("[news][K]", std::to_string(0x010101)));

    display.DispIt = {1, 1, 1, 1, 1};
    const std::string plain = Tip("srv/b.wav", "0\r\n0\r\n");
    ASSERT_EQ(texts.GetTipInfo(plain, out, 1), 1);
    EXPECT_THAT(out, ElementsAre("[type1]", std::to_string(0x010101))) << "empty texts leave no brackets";
}

TEST_F(TipTextsTest, TypeNumbersOutsideTheSixteenTypesAreSafe)
{
    display.DispIt = {0, 1, 0, 0, 0};
    display.DispItRef = {};
    for (const char* typeNo : {"-1", "99", "16"}) {
        const std::string sound = Tip(std::string("srv/t") + typeNo + ".wav", std::string("0\r\n") + typeNo + "\r\n");
        ASSERT_EQ(texts.GetTipInfo(sound, out, 0), 1) << typeNo;
        EXPECT_THAT(out, ElementsAre("", std::to_string(0x010101))) << "no name, the colour of type 1";
    }
    const std::string last = Tip("srv/t15.wav", "0\r\n15\r\n");
    ASSERT_EQ(texts.GetTipInfo(last, out, 0), 1);
    EXPECT_THAT(out, ElementsAre("type16", std::to_string(0x101010)));
}

TEST_F(TipTextsTest, NothingWithoutTipsOrWithoutAReadableTip)
{
    const std::string sound = Tip("srv/a.wav", FullTip);
    display.GetTip = 0;
    EXPECT_EQ(texts.GetTipInfo(sound, out, 0), 0);
    display.GetTip = 1;
    EXPECT_EQ(texts.GetTipInfo(scratch / "srv/none.wav", out, 1), 0);
    EXPECT_THAT(out, ElementsAre("", std::to_string(0x010101))) << "sized, with the first type's colour";
    EXPECT_EQ(texts.Memory().Size(), 0U) << "a failed read is not kept";
}

TEST_F(TipTextsTest, ATipIsReadOnceAndKeptUnderItsLowerCasedPath)
{
    const std::string sound = Tip("srv/news/A.wav", FullTip);
    CountingFileLayer layer(".tip");
    ASSERT_EQ(texts.GetTipInfo(sound, out, 1), 1);
    std::filesystem::remove(sound + ".tip");
    ASSERT_EQ(texts.GetTipInfo(sound, out, 1), 1) << "a tip stays valid for the run";
    ASSERT_EQ(texts.GetTipInfo(basic::LowerAscii(sound), out, 1), 1);
    EXPECT_EQ(layer.opens, 1);
    EXPECT_EQ(texts.Memory().Size(), 1U);
}

TEST_F(TipTextsTest, TheFiveHundredAndSecondTipReplacesTheLeastRecentlyUsedOne)
{
    display.DispIt = {0, 0, 0, 0, 1};
    display.DispItRef = {};
    std::vector<std::string> sounds;
    for (int i = 0; i < 502; ++i) {
        sounds.push_back(Tip("srv/s" + std::to_string(i) + ".wav",
                             "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n\r\nu" + std::to_string(i) + "\r\n"));
    }
    for (int i = 0; i < 501; ++i) {
        ASSERT_EQ(texts.GetTipInfo(sounds[static_cast<std::size_t>(i)], out, 0), 1);
    }
    EXPECT_EQ(texts.Memory().Size(), 501U);
    // Using the first again makes the second the least recently used.
    ASSERT_EQ(texts.GetTipInfo(sounds[0], out, 0), 1);
    ASSERT_EQ(texts.GetTipInfo(sounds[501], out, 0), 1);
    EXPECT_EQ(texts.Memory().Size(), 501U);

    // With every file gone, only what memory holds still gives texts.
    for (const std::string& sound : sounds) {
        std::filesystem::remove(sound + ".tip");
    }
    EXPECT_EQ(texts.GetTipInfo(sounds[0], out, 0), 1);
    EXPECT_THAT(out, ElementsAre("u0", std::to_string(0x010101)));
    EXPECT_EQ(texts.GetTipInfo(sounds[2], out, 0), 1);
    EXPECT_EQ(texts.GetTipInfo(sounds[501], out, 0), 1);
    EXPECT_EQ(texts.GetTipInfo(sounds[1], out, 0), 0) << "evicted";
}

TEST_F(TipTextsTest, NoServerIsReadWhileAnOutputPlaysButTheCacheIs)
{
    const std::string onServer = Tip("srv/news/a.wav", FullTip);
    CountingFileLayer layer(".tip");
    plays = true;
    EXPECT_EQ(texts.GetTipInfo(onServer, out, 1), 0);
    EXPECT_EQ(layer.opens, 0);

    // A cached copy with its tip is read even while something plays, with
    // the folder counted from the cache folder.
    scratch.Write("cache/news/a.wav", "RIFF");
    Tip("cache/news/a.wav", "0\r\n4\r\n");
    display.DispIt = {1, 1, 0, 0, 0};
    display.DispItRef = {};
    ASSERT_EQ(texts.GetTipInfo(onServer, out, 0), 1);
    EXPECT_THAT(out, ElementsAre("news", "type5", std::to_string(0x050505)));
    EXPECT_EQ(layer.opens, 1);

    const std::string other = Tip("srv/b.wav", "0\r\n6\r\n");
    EXPECT_EQ(texts.GetTipInfo(other, out, 0), 0);
    plays = false;
    ASSERT_EQ(texts.GetTipInfo(other, out, 0), 1);
    EXPECT_THAT(out, ElementsAre("", "type7", std::to_string(0x070707)));
}

} // namespace
