#include "cache/TipFile.h"
#include "CountingFileLayer.h"
#include "TipFixture.h"
#include "foundation/ModuleValues.h"

#include <gmock/gmock.h>

#include <filesystem>

namespace {

using FCT_Quind::ReadTipFile;
using FCT_Quind::TipInfo;
using testing::ElementsAre;

// The head lines 0..10 joined with CR LF (a last line without CR LF counts).
std::string Head(std::initializer_list<std::string> lines)
{
    std::string bytes;
    for (const std::string& line : lines) {
        bytes += line + "\r\n";
    }
    return bytes;
}

bool SameRecord(const TipInfo& a, const TipInfo& b)
{
    return a.Folder == b.Folder && a.TypeNo == b.TypeNo && a.LengthMS == b.LengthMS && a.Num3 == b.Num3 &&
           a.Num4 == b.Num4 && a.Num5 == b.Num5 && a.Num6 == b.Num6 && a.StartText == b.StartText &&
           a.EndText == b.EndText && a.UserText == b.UserText && a.Num10 == b.Num10 && a.Refs == b.Refs;
}

using TipFile = TipFixture;

TEST_F(TipFile, HeadLinesFillTheirFieldsAndAMissingRestStaysEmpty)
{
    TipInfo tip;
    EXPECT_EQ(ReadTipFile(Tip("srv/a.wav", "0\r\n3\r\n120"), tip, ""), 1);
    EXPECT_EQ(tip.TypeNo, 3);
    EXPECT_EQ(tip.LengthMS, 120);
    EXPECT_EQ(tip.Num3, 0);
    EXPECT_EQ(tip.StartText, "");
    EXPECT_EQ(tip.Folder, "");
    EXPECT_THAT(tip.Refs, ElementsAre("", "", ""));

    const std::string all = Head({"9", "2", "61000", "3", "4", "5", "6", "20250401", "20250430", "K", "10", "11"});
    EXPECT_EQ(ReadTipFile(Tip("srv/news/b.wav", all), tip, ""), 1);
    EXPECT_EQ(tip.Folder, "news");
    EXPECT_EQ(tip.TypeNo, 2);
    EXPECT_EQ(tip.LengthMS, 61000);
    EXPECT_EQ(tip.Num3 + tip.Num4 + tip.Num5 + tip.Num6, 3 + 4 + 5 + 6);
    EXPECT_EQ(tip.StartText, "20250401");
    EXPECT_EQ(tip.EndText, "20250430");
    EXPECT_EQ(tip.UserText, "K");
    EXPECT_EQ(tip.Num10, 10) << "a twelfth head line is ignored";

    EXPECT_EQ(ReadTipFile(Tip("srv/c.wav", "\r\n"), tip, ""), 1) << "one empty line still counts";
    EXPECT_EQ(tip.TypeNo, 0);
}

TEST_F(TipFile, MissingEmptyOrUnreadableFilesGiveNothing)
{
    TipInfo tip;
    tip.UserText = "left over";
    EXPECT_EQ(ReadTipFile(scratch / "srv/none.wav", tip, ""), 0);
    EXPECT_EQ(tip.UserText, "") << "the record is cleared first";
    EXPECT_EQ(ReadTipFile(Tip("srv/empty.wav", ""), tip, ""), 0);
    EXPECT_EQ(ReadTipFile(Tip("srv/cr.wav", "\r"), tip, ""), 0) << "a lone CR at the end is no line";
    scratch.Folder("srv/folder.wav.tip");
    EXPECT_EQ(ReadTipFile(scratch / "srv/folder.wav", tip, ""), 0);
    EXPECT_EQ(ReadTipFile(Tip("elsewhere/a.wav", "0\r\n3\r\n"), tip, ""), 0) << "outside every server folder";
}

TEST_F(TipFile, LineEndsAreFoundOnTheBytes)
{
    TipInfo tip;
    // 日 and テスト in code page 932; a lead byte 0x82 right before CR LF
    // must not take the CR with it: the line ends there.
    const std::string cp932 =
        Head({"0", "1", "2", "3", "4", "5", "6", "\x93\xfa\x82", "20250101", "\x83\x65\x83\x58\x83\x67"});
    ASSERT_EQ(ReadTipFile(Tip("srv/sjis.wav", cp932), tip, ""), 1);
    EXPECT_TRUE(tip.StartText.starts_with("日")) << tip.StartText;
    EXPECT_EQ(tip.EndText, "20250101");
    EXPECT_EQ(tip.UserText, "テスト");

    // A lone CR is dropped; a lone LF stays in its line.
    ASSERT_EQ(ReadTipFile(Tip("srv/cr.wav", "0\r\n1\r2\r\n3\n4\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\nA\nB\r\n"), tip, ""),
              1);
    EXPECT_EQ(tip.TypeNo, 12);
    EXPECT_EQ(tip.LengthMS, 0) << "3 LF 4 is no number";
    EXPECT_EQ(tip.UserText, "A\nB");

    // A file written with LF only is one single line: head line 0.
    ASSERT_EQ(ReadTipFile(Tip("srv/lf.wav", "0\n3\n120\n20250101\n"), tip, ""), 1);
    EXPECT_EQ(tip.TypeNo, 0);
    EXPECT_EQ(tip.LengthMS, 0);
    EXPECT_EQ(tip.StartText, "");
}

TEST_F(TipFile, ReferencesFollowTheRefLineAndARefLineStartsThemAgain)
{
    TipInfo tip;
    ASSERT_EQ(ReadTipFile(Tip("srv/r.wav", Head({"0", "4", "[Ref]", "a", "", "c", "d", "e"})), tip, ""), 1);
    EXPECT_EQ(tip.TypeNo, 4);
    EXPECT_EQ(tip.LengthMS, 0) << "the head ended";
    EXPECT_THAT(tip.Refs, ElementsAre("a", "", "c")) << "empty lines count, lines past NumRef do not";

    ASSERT_EQ(ReadTipFile(Tip("srv/r2.wav", Head({"0", "4", "[Ref]", "a", "b", "c", "[Ref]", "x"})), tip, ""), 1);
    EXPECT_THAT(tip.Refs, ElementsAre("x", "b", "c"));

    FCT_Quind::NumRef = 5;
    ASSERT_EQ(ReadTipFile(Tip("srv/r3.wav", Head({"[Ref]", "1", "2", "3", "4", "5", "6"})), tip, ""), 1);
    EXPECT_THAT(tip.Refs, ElementsAre("1", "2", "3", "4", "5"));
}

TEST_F(TipFile, OnlyAnExactRefLineEndsTheHead)
{
    TipInfo tip;
    // In lower case, or with a blank, it is a head line like any other.
    ASSERT_EQ(
        ReadTipFile(Tip("srv/l.wav", Head({"0", "[ref]", "500", "3", "4", "5", "6", "[ref]", "[Ref] "})), tip, ""), 1);
    EXPECT_EQ(tip.TypeNo, 0) << "not a number";
    EXPECT_EQ(tip.LengthMS, 500);
    EXPECT_EQ(tip.StartText, "[ref]");
    EXPECT_EQ(tip.EndText, "[Ref] ");
    EXPECT_THAT(tip.Refs, ElementsAre("", "", ""));
}

TEST_F(TipFile, NumbersRoundHalfToEvenAndOverflowStopsTheReading)
{
    TipInfo tip;
    ASSERT_EQ(ReadTipFile(Tip("srv/n.wav", Head({"0", "12.5", "13.5", " -2.5 ", "2147483647", "1e3", "abc"})), tip, ""),
              1);
    EXPECT_EQ(tip.TypeNo, 12);
    EXPECT_EQ(tip.LengthMS, 14);
    EXPECT_EQ(tip.Num3, -2);
    EXPECT_EQ(tip.Num4, 2147483647);
    EXPECT_EQ(tip.Num5, 1000);
    EXPECT_EQ(tip.Num6, 0);

    // Eleven nines do not fit 32 bits: the reading stops there, and what was
    // read before stays.
    EXPECT_EQ(ReadTipFile(Tip("srv/o.wav", Head({"0", "7", "99999999999", "5", "1", "1", "1", "20250101"})), tip, ""),
              0);
    EXPECT_EQ(tip.TypeNo, 7);
    EXPECT_EQ(tip.LengthMS, 0);
    EXPECT_EQ(tip.Num3, 0);
    EXPECT_EQ(tip.StartText, "");
    EXPECT_EQ(ReadTipFile(Tip("srv/o2.wav", Head({"0", "-2147483649"})), tip, ""), 0);
}

TEST_F(TipFile, ASideFileLargerThanOneMebibyteIsRefusedWithALogLine)
{
    const std::string savedLogFolder = basic::LogFolder;
    basic::LogFolder = scratch.Folder("log");
    const std::string head = Head({"0", "3", "1500"});
    const std::size_t limit = 1024 * 1024;
    // A long last line fills the file up to the size wanted.
    const auto sized = [&](std::size_t size) { return head + std::string(size - head.size(), 'r'); };

    TipInfo tip;
    EXPECT_EQ(ReadTipFile(Tip("srv/whole.wav", sized(limit)), tip, ""), 1);
    EXPECT_EQ(tip.TypeNo, 3) << "a file of exactly 1 MiB is read";
    tip.TypeNo = 9;
    EXPECT_EQ(ReadTipFile(Tip("srv/huge.wav", sized(limit + 1)), tip, ""), 0);
    EXPECT_EQ(tip.TypeNo, 0) << "nothing of it is taken";
    EXPECT_EQ(ReadTipFile(scratch / "srv/huge.wav.tip", tip, ""), 0);

    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
        log += testsupport::ReadText(entry.path().string());
    }
    basic::LogFolder = savedLogFolder;
    EXPECT_THAT(log, testing::HasSubstr(scratch / "srv/huge.wav.tip"));
    EXPECT_EQ(log.find("huge.wav.tip"), log.rfind("huge.wav.tip")) << "asked again, it is not logged again";
    EXPECT_EQ(log.find("whole.wav"), std::string::npos);
}

TEST_F(TipFile, TheTipPathAndTheSoundPathGiveTheSameRecord)
{
    const std::string sound =
        Tip("srv/news/a.wav",
            Head({"0", "5", "90", "1", "2", "3", "4", "20250101", "20251231", "K", "8", "[Ref]", "r1", "r2"}));
    TipInfo bySound;
    TipInfo byTip;
    TipInfo byUpperTip;
    ASSERT_EQ(ReadTipFile(sound, bySound, ""), 1);
    ASSERT_EQ(ReadTipFile(sound + ".tip", byTip, ""), 1);
    EXPECT_TRUE(SameRecord(bySound, byTip));
    EXPECT_EQ(byTip.Folder, "news");

    // The extension is recognised in any case; the file is then opened by
    // the name as given.
    scratch.Write("srv/news/b.wav.TIP", Head({"0", "5"}));
    ASSERT_EQ(ReadTipFile(scratch / "srv/news/b.wav.TIP", byUpperTip, ""), 1);
    EXPECT_EQ(byUpperTip.TypeNo, 5);
    EXPECT_EQ(byUpperTip.Folder, "news");
}

TEST_F(TipFile, FolderCountsFromTheBaseFolderOnItsPrefixOnly)
{
    TipInfo tip;
    const std::string cache = FCT_Quind::LocalPath;
    ASSERT_EQ(ReadTipFile(Tip("cache/a.wav", "0\r\n"), tip, cache), 1);
    EXPECT_EQ(tip.Folder, "");
    ASSERT_EQ(ReadTipFile(Tip("cache/news/sub/a.wav", "0\r\n"), tip, cache), 1);
    EXPECT_EQ(tip.Folder, "news/sub");
    EXPECT_EQ(ReadTipFile(cache + "news\\a.wav", tip, cache.substr(0, cache.size() - 1)), 0);
    EXPECT_EQ(tip.Folder, "news") << "Windows separators, and a base without its trailing separator";

    // A folder that holds the base's path further down keeps it: only the
    // leading base is taken off. The folder is worked out even when no tip
    // file lies there.
    EXPECT_EQ(ReadTipFile(cache + "show" + cache + "a.wav", tip, cache), 0);
    EXPECT_EQ(tip.Folder, "show" + cache.substr(0, cache.size() - 1));
}

TEST_F(TipFile, AServerThatKeepsNoTipsIsNotEvenOpened)
{
    const std::string sound = Tip("quiet/news/a.wav", "0\r\n3\r\n");
    CountingFileLayer layer(".tip");
    TipInfo tip;
    EXPECT_EQ(ReadTipFile(sound, tip, ""), 0);
    EXPECT_EQ(tip.Folder, "");
    EXPECT_EQ(layer.opens, 0);

    // The same file read as a cached copy, with the base folder given.
    EXPECT_EQ(ReadTipFile(sound, tip, FCT_Quind::Servers[1].SrvPath), 1);
    EXPECT_EQ(tip.TypeNo, 3);
    EXPECT_EQ(tip.Folder, "news");
    EXPECT_EQ(layer.opens, 1);
}

} // namespace
