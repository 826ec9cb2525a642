// Emptying the cache: the unused files, everything, and the sounds whose tip
// has expired; and the folders the cache must never delete in.
#include "LocalCacheFixture.h"
#include "cache/OldCacheSweep.h"
#include "foundation/Settings.h"
#include "platform/base/TextCodec.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <cerrno>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;

constexpr const char* Refused = "The cache folder is not set or cannot be used.";

class CacheClean : public LocalCacheFixture {
protected:
    // A tip whose end date is end.
    static std::string TipEnding(const std::string& end)
    {
        return "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n20260101\r\n" + end + "\r\n";
    }
    std::string InCache(const std::string& name, const std::string& bytes = "x") const
    {
        return scratch.Write("cache/" + name, bytes);
    }
};

TEST_F(CacheClean, TheKeepListComesFromEveryTableUnderTheFolderAndFromMemory)
{
    scratch.Write("tables/day.txt", "\"button_01-001\",\"//testhost/share/snd/news/kept.wav\"\r\n"
                                    "\"button_01-002\",\"//testhost/share/snd/top.wav\"\r\n");
    // A table in a sub-folder, of a sound on no server (mapped flat).
    scratch.Write("tables/week/mon.txt", "\"list2_03-001\",\"/elsewhere/flat.wav\",\"0\"\r\n");
    Assign(0, Server + std::string("memory.wav"));
    for (const char* name : {"top.wav", "flat.wav", "memory.wav", "unused.wav", "unused.wav.tip", "a.ini", "b.tip",
                             "c.txt", "d.scm", "e.cue", "f.tmc", "G.CUE", "news/other.wav"}) {
        InCache(name);
    }

    service.MenuCache_Click(1);

    EXPECT_THAT(boxes, ElementsAre("Delete unused cached files?"));
    EXPECT_FALSE(Exists(Cached("unused.wav")));
    EXPECT_FALSE(Exists(Cached("unused.wav.tip")));
    for (const char* name :
         {"top.wav", "flat.wav", "memory.wav", "a.ini", "b.tip", "c.txt", "d.scm", "e.cue", "f.tmc", "G.CUE"}) {
        EXPECT_TRUE(Exists(Cached(name))) << name;
    }
    EXPECT_TRUE(Exists(Cached("news/other.wav"))) << "sub-folders are never cleaned";
}

// Each table is read as it opens: a code page 932 table whose bytes form
// UTF-8 by chance keeps its sound.
TEST_F(CacheClean, EachTableIsReadAsItOpens)
{
    const std::string name = "痼ｨ痺ｶ.wav";
    scratch.Write("tables/cp932.txt",
                  textcodec::EncodeCp932("\"button_01-001\",\"//testhost/share/snd/" + name + "\"\r\n"));
    InCache(name);
    InCache("unused.wav");

    service.MenuCache_Click(1);

    EXPECT_TRUE(Exists(Cached(name)));
    EXPECT_FALSE(Exists(Cached("unused.wav")));
}

TEST_F(CacheClean, AnUnreadableTableStopsTheClean)
{
    scratch.Write("tables/day.txt", "\"button_01-001\",\"//testhost/share/snd/a.wav\"\r\n");
    InCache("unused.wav");
    testsupport::TestFileLayer& layer = disk;
    layer.readFault = [](int) { return -EIO; };

    service.MenuCache_Click(1);

    ASSERT_EQ(boxes.size(), 2U);
    EXPECT_THAT(boxes[1], HasSubstr("cannot be read"));
    EXPECT_THAT(boxes[1], HasSubstr("day.txt"));
    EXPECT_TRUE(Exists(Cached("unused.wav")));
}

TEST_F(CacheClean, AnsweringNoDeletesNothing)
{
    scratch.Write("tables/day.txt", "");
    InCache("unused.wav");
    InCache("news/deep.wav");
    answer = platform::IdNo;

    service.MenuCache_Click(1);
    service.MenuCache_Click(2);

    EXPECT_THAT(boxes, ElementsAre("Delete unused cached files?", "Delete all cached files?"));
    EXPECT_TRUE(Exists(Cached("unused.wav")));
    EXPECT_TRUE(Exists(Cached("news/deep.wav")));
}

TEST_F(CacheClean, TheClearEmptiesTheFolderAndCreatesTheConfigurationFoldersAgain)
{
    InCache("a.wav");
    InCache("news/b.wav");
    InCache("conf/conf.ini");
    InCache("log/old.log");

    service.MenuCache_Click(2);

    EXPECT_THAT(boxes, ElementsAre("Delete all cached files?"));
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(FCT_Quind::LocalPath)) {
        left.push_back(std::filesystem::relative(entry.path(), FCT_Quind::LocalPath).string());
    }
    std::sort(left.begin(), left.end());
    EXPECT_THAT(left, ElementsAre("command", "conf", "log", "sched"));
}

TEST_F(CacheClean, ClearAndCleanAreRefusedForFoldersThatMustNotBeEmptied)
{
    scratch.Write("tables/day.txt", "");
    fakeMachine.Write("mounts", "/dev/sda1 / ext4 rw 0 0\n/dev/sdb1 " + scratch.Folder("disk") + " ext4 rw 0 0\n");
    const std::string home = scratch.Folder("home");
    const char* savedHome = std::getenv("HOME");
    const std::string keptHome = savedHome != nullptr ? savedHome : "";
    setenv("HOME", home.c_str(), 1);

    const std::vector<std::string> folders{"", scratch / "missing/", basic::AppPath(), scratch / "disk/", home};
    for (const std::string& folder : folders) {
        FCT_Quind::LocalPath = folder;
        if (!folder.empty() && Exists(folder)) {
            scratch.Write(folder.substr(scratch.Path().size()) + "precious.wav", "x");
        }
        boxes.clear();
        service.MenuCache_Click(1);
        service.MenuCache_Click(2);
        EXPECT_THAT(boxes, ElementsAre(Refused, Refused)) << folder;
        if (!folder.empty() && Exists(folder)) {
            EXPECT_TRUE(Exists(folder + "precious.wav")) << folder;
        }
    }
    setenv("HOME", keptHome.c_str(), 1);
}

TEST_F(CacheClean, TheClearIsRefusedForAFolderHoldingTheTablesWhereTheCleanIsNot)
{
    FCT_Quind::LocalPath = scratch.Folder("outer");
    state.TlvTxtPath = scratch.Folder("outer/tables");
    scratch.Write("outer/tables/day.txt", "");
    scratch.Write("outer/unused.wav", "x");

    service.MenuCache_Click(2);
    EXPECT_THAT(boxes, ElementsAre(Refused));
    EXPECT_TRUE(Exists(scratch / "outer/tables/day.txt"));

    boxes.clear();
    service.MenuCache_Click(1);
    EXPECT_THAT(boxes, ElementsAre("Delete unused cached files?"));
    EXPECT_FALSE(Exists(scratch / "outer/unused.wav"));
    EXPECT_TRUE(Exists(scratch / "outer/tables/day.txt"));

    // Tables right in the cache folder: the clean is refused too.
    state.TlvTxtPath = FCT_Quind::LocalPath;
    boxes.clear();
    service.MenuCache_Click(1);
    EXPECT_THAT(boxes, ElementsAre(Refused));

    // A folder above the home folder is never cleared.
    state.TlvTxtPath = scratch.Folder("tables");
    const char* savedHome = std::getenv("HOME");
    const std::string keptHome = savedHome != nullptr ? savedHome : "";
    setenv("HOME", scratch.Folder("outer/op").c_str(), 1);
    boxes.clear();
    service.MenuCache_Click(2);
    setenv("HOME", keptHome.c_str(), 1);
    EXPECT_THAT(boxes, ElementsAre(Refused));
}

// At 03:00 with the day starting at 05:00 the broadcast day is still
// yesterday, hour 27: an end of yesterday's date has passed.
TEST_F(CacheClean, TheSweepBeforeAPassRemovesExpiredSoundsWithTheirTips)
{
    SetNow(Date(2026, 12, 7), At(3, 0, 0));
    InCache("old.wav");
    InCache("old.wav.tip", TipEnding("20261206"));
    InCache("today.wav");
    InCache("today.wav.tip", TipEnding("20261207"));
    InCache("open.wav");
    InCache("open.wav.tip", TipEnding(""));
    InCache("news/sub.wav");
    InCache("news/sub.wav.tip", TipEnding("20261130235959"));
    InCache("news/deep/x.wav");
    InCache("news/deep/x.wav.tip", TipEnding("20200101"));
    InCache("conf/c.wav");
    InCache("conf/c.wav.tip", TipEnding("20200101"));
    InCache("a.wav");
    InCache("a.tip.wav");
    InCache("a.tip.wav.tip", TipEnding("20200101"));
    basic::SaveSetting("KillOldCache", "1");

    service.CacheAll(0);
    basic::SaveSetting("KillOldCache", "0");

    EXPECT_FALSE(Exists(Cached("old.wav")));
    EXPECT_FALSE(Exists(Cached("old.wav.tip")));
    EXPECT_TRUE(Exists(Cached("today.wav")));
    EXPECT_TRUE(Exists(Cached("open.wav")));
    EXPECT_FALSE(Exists(Cached("news/sub.wav")));
    EXPECT_TRUE(Exists(Cached("news/deep/x.wav"))) << "two levels down is not visited";
    EXPECT_TRUE(Exists(Cached("conf/c.wav"))) << "the configuration folders are skipped";
    EXPECT_FALSE(Exists(Cached("a.tip.wav")));
    EXPECT_TRUE(Exists(Cached("a.wav"))) << "only the final .tip is taken off";
    EXPECT_EQ(cache::KillOldCacheFile(Cached("today.wav.tip"), FCT_Quind::LocalPath), 0);
}

TEST_F(CacheClean, ARefusedSweepInsideAPassIsLoggedOnce)
{
    FCT_Quind::LocalPath = basic::AppPath();
    scratch.Write("program/old.wav", "x");
    scratch.Write("program/old.wav.tip", TipEnding("20200101"));
    basic::SaveSetting("KillOldCache", "1");

    service.CacheAll(0);
    service.CacheAll(0);
    basic::SaveSetting("KillOldCache", "0");

    EXPECT_TRUE(Exists(basic::AppPath() + "old.wav"));
    EXPECT_THAT(boxes, IsEmpty());
    const std::string log = DayLog();
    const std::string line = "KillOldCache refused";
    ASSERT_NE(log.find(line), std::string::npos);
    EXPECT_EQ(log.find(line, log.find(line) + 1), std::string::npos);
}

} // namespace
