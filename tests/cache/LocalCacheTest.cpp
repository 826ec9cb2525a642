// Filling and checking the local cache through the cache port, with a server
// share reached as //testhost/share under a temporary unc root.
#include "LocalCacheFixture.h"
#include "cache/UC_FileHand.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <sys/stat.h>

namespace {

using testing::ElementsAre;
using testing::HasSubstr;
using testing::IsEmpty;
using testsupport::ReadText;

class LocalCache : public LocalCacheFixture {
protected:
    // The seconds of a file's last write.
    static std::int64_t WriteSeconds(const std::string& path)
    {
        struct stat status {};
        stat(path.c_str(), &status);
        return status.st_mtim.tv_sec;
    }
    int ProbesOf(const platform::Ipv4Address& address) const
    {
        int count = 0;
        for (const auto& probe : transport.probes) {
            count += probe.address == address && probe.timeoutMs == 1500 ? 1 : 0;
        }
        return count;
    }
};

TEST_F(LocalCache, CacheAllCopiesSoundsAndTipsIntoMirroredSubFolders)
{
    parms::GetTip = 1;
    Assign(0, ServerSound("news/a.wav", "news sound"));
    scratch.Write("unc/testhost/share/snd/news/a.wav.tip", "0\r\n1\r\n");
    Assign(1, ServerSound("b.wav", "plain sound"));
    Assign(3, ServerSound("music/rock/c.wav", "deep sound"));
    bool shownWhileCopying = false;
    transfer.FileHand()->MirrorProg = [&](float) {
        shownWhileCopying = shownWhileCopying || transfer.Control()->isVisible();
    };

    port.CacheAll(0);

    EXPECT_EQ(ReadText(Cached("news/a.wav")), "news sound");
    EXPECT_EQ(ReadText(Cached("news/a.wav.tip")), "0\r\n1\r\n");
    EXPECT_EQ(ReadText(Cached("b.wav")), "plain sound");
    EXPECT_EQ(ReadText(Cached("music/rock/c.wav")), "deep sound");
    EXPECT_FALSE(Exists(Cached("b.wav.tip")));
    EXPECT_EQ(state.AllCached, 1);
    EXPECT_THAT(captionColours, ElementsAre(std::pair(0, 0)));
    EXPECT_TRUE(shownWhileCopying);
    EXPECT_FALSE(transfer.Control()->isVisible());
    EXPECT_THAT(boxes, IsEmpty());
}

TEST_F(LocalCache, ACopyOneSecondOffStaysAndOneThreeSecondsOffIsCopiedAgain)
{
    const std::string sound = ServerSound("a.wav", "server bytes");
    Assign(0, sound);
    const std::int64_t serverTime = 1'790'000'000;
    testsupport::SetFileTimeSeconds(OnServer("a.wav"), serverTime);
    // Same size, other bytes: a copy shows in the contents.
    scratch.Write("cache/a.wav", "cached bytes");
    testsupport::SetFileTimeSeconds(Cached("a.wav"), serverTime + 1);
    EXPECT_EQ(port.IsCached(sound, 0), "");
    port.CacheAll(0);
    EXPECT_EQ(ReadText(Cached("a.wav")), "cached bytes");

    testsupport::SetFileTimeSeconds(Cached("a.wav"), serverTime - 3);
    EXPECT_EQ(port.IsCached(sound, 0), Cached("a.wav"));
    port.CacheAll(0);
    EXPECT_EQ(ReadText(Cached("a.wav")), "server bytes");
    EXPECT_EQ(WriteSeconds(Cached("a.wav")), serverTime) << "the copy keeps the server's time";
}

TEST_F(LocalCache, ASoundOnAFixedDiskIsCachedOnlyWithTheSettingCacheAll)
{
    const std::string local = scratch.Write("local/c.wav", "local sound");
    Assign(2, local);

    state.CacheAll = 0;
    EXPECT_EQ(port.IsCached(local, 0), "");
    port.CacheAll(0);
    EXPECT_FALSE(Exists(Cached("c.wav")));
    EXPECT_EQ(state.AllCached, 1) << "a sound that needs no copy counts as cached";

    state.CacheAll = 1;
    port.CacheAll(0);
    EXPECT_EQ(ReadText(Cached("c.wav")), "local sound") << "a file outside the server maps flat";
}

TEST_F(LocalCache, AHostThatDoesNotAnswerCostsOneTimeOutPerPassAndItsFilesCountAsCached)
{
    scratch.Write("unc/deadhost/share/x.wav", "x");
    scratch.Write("unc/deadhost/share/y.wav", "y");
    Assign(0, "//deadhost/share/x.wav");
    Assign(1, "//deadhost/share/y.wav");
    Assign(2, ServerSound("z.wav"));
    const platform::Ipv4Address dead{192, 0, 2, 20};

    port.CacheAll(0);
    EXPECT_EQ(ProbesOf(dead), 1);
    EXPECT_FALSE(Exists(Cached("x.wav")));
    EXPECT_TRUE(Exists(Cached("z.wav")));
    EXPECT_EQ(state.AllCached, 1);

    clock.Advance(200'000);
    port.CacheAll(1);
    EXPECT_EQ(ProbesOf(dead), 1) << "the answer is reused within 300 s";
    EXPECT_EQ(Button(0).Cached, 0);

    clock.Advance(101'000);
    port.CacheAll(0);
    EXPECT_EQ(ProbesOf(dead), 2);
    EXPECT_EQ(state.AllCached, 1);
}

TEST_F(LocalCache, AServerFolderThatVanishesDuringThePassLeavesTheRestUncachedAndLogged)
{
    Assign(0, ServerSound("a.wav", "first"));
    Assign(1, ServerSound("news/b.wav"));
    Assign(2, ServerSound("c.wav"));
    scratch.Write("cache/c.wav", "RIFF....WAVE");
    bool vanished = false;
    transfer.FileHand()->MirrorProg = [&](float rate) {
        if (rate >= 1.0F && !vanished) {
            vanished = true;
            std::filesystem::rename(scratch / "unc/testhost/share/snd", scratch / "unc/testhost/share/moved");
        }
    };

    port.CacheAll(0);

    ASSERT_TRUE(vanished);
    EXPECT_EQ(ReadText(Cached("a.wav")), "first");
    EXPECT_FALSE(Exists(Cached("news/b.wav")));
    EXPECT_EQ(state.AllCached, 0) << "b.wav is in no cache";
    EXPECT_THAT(captionColours, ElementsAre(std::pair(0, 1)));
    EXPECT_THAT(DayLog(), HasSubstr(Server + std::string("news/b.wav")));
    EXPECT_THAT(DayLog(), testing::Not(HasSubstr(Server + std::string("c.wav")))) << "its cached copy plays";
    EXPECT_EQ(Button(1).Cached, 1);
    EXPECT_EQ(Button(2).Cached, 0);

    // The check says the same until the server is back and the pass copies it.
    port.CacheAll(1);
    EXPECT_EQ(state.AllCached, 0);
    std::filesystem::rename(scratch / "unc/testhost/share/moved", scratch / "unc/testhost/share/snd");
    port.CacheAll(0);
    EXPECT_TRUE(Exists(Cached("news/b.wav")));
    EXPECT_EQ(state.AllCached, 1);
}

TEST_F(LocalCache, FourPercentFreeShowsTheMessageAndCopiesNothing)
{
    testsupport::TestFileLayer& layer = disk;
    layer.diskSpace = platform::DiskSpace{4'000'000'000, 100'000'000'000, 4'000'000'000};
    Assign(0, ServerSound("a.wav"));
    Assign(1, ServerSound("b.wav"));

    port.CacheAll(0);

    EXPECT_THAT(boxes, ElementsAre("no disk space.clear cached data."));
    EXPECT_FALSE(Exists(Cached("a.wav")));
    EXPECT_FALSE(Exists(Cached("b.wav")));
    EXPECT_EQ(state.AllCached, 0) << "a stopped pass changes nothing";
    EXPECT_THAT(captionColours, IsEmpty());

    layer.diskSpace = platform::DiskSpace{6'000'000'000, 100'000'000'000, 6'000'000'000};
    boxes.clear();
    port.CacheAll(0);
    EXPECT_THAT(boxes, IsEmpty());
    EXPECT_TRUE(Exists(Cached("b.wav")));
}

TEST_F(LocalCache, OneFailingCopyShowsItsErrorGoesOnAndLeavesAllCachedZero)
{
    testsupport::TestFileLayer& layer = disk;
    layer.renameFault = [](const char*, const char* to) { return std::string(to).ends_with("/bad.wav") ? -EACCES : 0; };
    Assign(0, ServerSound("bad.wav"));
    Assign(1, ServerSound("good.wav"));

    port.CacheAll(0);

    ASSERT_EQ(boxes.size(), 1U);
    EXPECT_THAT(boxes[0], HasSubstr("一時ファイルを転送先ファイル名に変更できません"));
    EXPECT_THAT(boxes[0], HasSubstr(Cached("bad.wav")));
    EXPECT_FALSE(Exists(Cached("bad.wav")));
    EXPECT_TRUE(Exists(Cached("good.wav"))) << "the pass goes on after a failed copy";
    EXPECT_EQ(state.AllCached, 0);
    EXPECT_EQ(Button(0).Cached, 1);
    EXPECT_THAT(captionColours, ElementsAre(std::pair(0, 1)));
}

TEST_F(LocalCache, TheCheckMarksMissingCopiesAndThePageCaptionsFollowAllCached)
{
    state.NumOut = 2;
    state.ShowPage = {1, 0, 1, 1};
    const std::string present = ServerSound("present.wav");
    const std::string missing = ServerSound("missing.wav");
    Assign(0, present);
    Assign(1, missing);
    ASSERT_EQ(port.CacheFile(present, 0), Cached("present.wav"));

    port.CacheAll(1);
    EXPECT_EQ(Button(0).Cached, 0);
    EXPECT_EQ(Button(1).Cached, 1);
    EXPECT_EQ(state.AllCached, 0);
    EXPECT_THAT(captionColours, ElementsAre(std::pair(0, 1))) << "output 2 shows no page caption";
    EXPECT_FALSE(Exists(Cached("missing.wav"))) << "the check copies nothing";

    captionColours.clear();
    port.CacheAll(0);
    EXPECT_EQ(state.AllCached, 1);
    EXPECT_THAT(captionColours, ElementsAre(std::pair(0, 0)));

    state.AlertNoCache = 0;
    std::remove(Cached("missing.wav").c_str());
    port.CacheAll(1);
    EXPECT_EQ(state.AllCached, 1) << "without AlertNoCache the check does not run";
}

TEST_F(LocalCache, NothingRunsWhileSomethingPlaysOrWithoutACacheFolder)
{
    Assign(0, ServerSound("a.wav"));
    state.SomethingPlays = 1;
    port.CacheAll(0);
    EXPECT_FALSE(Exists(Cached("a.wav")));
    state.SomethingPlays = 0;
    FCT_Quind::LocalPath.clear();
    port.CacheAll(0);
    EXPECT_EQ(port.CacheFile(Server + std::string("a.wav"), 0), "") << "no copy into the working folder";
    EXPECT_FALSE(Exists("a.wav"));
    EXPECT_THAT(captionColours, IsEmpty());
}

// The cache side of a drop on a play list with CacheAtDrop while nothing
// plays: the file is in the cache when the copy returns, and the row's tip
// columns come from the cached tip.
TEST_F(LocalCache, ADroppedServerFileIsCachedAtOnceWithItsTip)
{
    parms::IsList = {1, 0, 0, 0};
    parms::GetTip = 1;
    parms::DispIt = {1, 0, 0, 0, 1};
    parms::DispItRef = {};
    const std::string sound = ServerSound("news/d.wav", "dropped");
    scratch.Write("unc/testhost/share/snd/news/d.wav.tip", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n\r\nK\r\n");
    bool shownWhileCopying = false;
    transfer.FileHand()->MirrorProg = [&](float) {
        shownWhileCopying = shownWhileCopying || transfer.Control()->isVisible();
    };

    ASSERT_EQ(port.IsCached(sound, 0), Cached("news/d.wav"));
    EXPECT_EQ(port.CacheFile(sound, 1), Cached("news/d.wav"));
    EXPECT_EQ(ReadText(Cached("news/d.wav")), "dropped");
    EXPECT_TRUE(Exists(Cached("news/d.wav.tip")));
    EXPECT_TRUE(shownWhileCopying);
    EXPECT_FALSE(transfer.Control()->isVisible());
    EXPECT_EQ(port.IsCached(sound, 0), "");
    EXPECT_EQ(port.IsCached(sound, 1), "") << "the tip was copied too";

    // Once cached, the row's tip texts are read from the cache, also while
    // something plays.
    state.SomethingPlays = 1;
    std::vector<std::string> texts;
    ASSERT_EQ(port.GetTipInfo(sound, texts, 0), 1);
    ASSERT_EQ(texts.size(), 3U);
    EXPECT_EQ(texts[0], "news");
    EXPECT_EQ(texts[1], "K");
}

TEST_F(LocalCache, ADropDuringAPassShowsNoMessageAndTheRunningCopyEndsWithItsOwnResult)
{
    Assign(0, ServerSound("running.wav", "running"));
    const std::string dropped = ServerSound("dropped.wav");
    std::string dropResult = "unset";
    transfer.FileHand()->MirrorProg = [&](float rate) {
        if (rate == 0.0F && dropResult == "unset") {
            dropResult = port.CacheFile(dropped, 1);
        }
    };

    port.CacheAll(0);

    EXPECT_EQ(dropResult, "");
    EXPECT_THAT(boxes, IsEmpty());
    EXPECT_EQ(ReadText(Cached("running.wav")), "running");
    EXPECT_FALSE(Exists(Cached("dropped.wav")));
    EXPECT_EQ(state.AllCached, 1);
}

TEST_F(LocalCache, ACancelledCopyStopsThePassAndLeavesAllCachedAsItWas)
{
    Assign(0, ServerSound("a.wav"));
    Assign(1, ServerSound("b.wav"));
    transfer.FileHand()->MirrorProg = [&](float) { transfer.FileHand()->ProcCancel(); };

    port.CacheAll(0);

    EXPECT_FALSE(Exists(Cached("a.wav")));
    EXPECT_FALSE(Exists(Cached("b.wav"))) << "the pass stopped at the cancel";
    EXPECT_EQ(state.AllCached, 0);
    EXPECT_THAT(boxes, IsEmpty());
    parms::GetTip = 1;
    scratch.Write("unc/testhost/share/snd/a.wav.tip", "0\r\n");
    bool cancelled = false;
    transfer.FileHand()->MirrorProg = [&](float) {
        if (!cancelled) {
            cancelled = true;
            transfer.FileHand()->ProcCancel();
        }
    };
    EXPECT_EQ(port.CacheFile(Server + std::string("a.wav"), 0), "CANCELED");
    EXPECT_FALSE(Exists(Cached("a.wav.tip"))) << "nothing more is copied after a cancel";
    transfer.FileHand()->MirrorProg = nullptr;
    EXPECT_EQ(port.CacheFile(Server + std::string("a.wav"), 0), Cached("a.wav"));
    EXPECT_TRUE(Exists(Cached("a.wav.tip")));
}

} // namespace

// A server path whose ".." stay inside its share but lead out of the server
// folder would name a cache copy outside the cache folder: it gets none, and
// plays from the server.
TEST_F(LocalCache, ASoundWhoseCacheNameLeavesTheCacheFolderIsNotCopied)
{
    scratch.Write("unc/testhost/share/outside.wav", "outside sound");
    scratch.Folder("unc/testhost/share/snd/sub");
    Assign(0, std::string(Server) + "sub/../../outside.wav");
    Assign(1, ServerSound("b.wav", "plain sound"));

    port.CacheAll(0);

    EXPECT_EQ(ReadText(Cached("b.wav")), "plain sound");
    EXPECT_FALSE(Exists(scratch / "outside.wav"));
    EXPECT_FALSE(Exists(Cached("../outside.wav")));
    EXPECT_THAT(boxes, IsEmpty());
    EXPECT_NE(DayLog().find("sub/../../outside.wav"), std::string::npos) << DayLog();
}
