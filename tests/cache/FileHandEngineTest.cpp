#include "FileHandFixture.h"
#include "cache/FileHandErrors.h"
#include "platform/Files.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <sys/stat.h>
#include <thread>

namespace {

using testing::ElementsAre;
using testing::FloatEq;
using testing::HasSubstr;
using testing::IsEmpty;

namespace fs = std::filesystem;

// The real files, with reads a test shapes: at most `most` bytes a call, and
// the source ("src" in its path) ending early after `sourceLimit` bytes.
class ShapedReads : public testsupport::TestFileLayer {
public:
    int Open(const char* path, platform::OpenMode mode) override
    {
        const int fd = TestFileLayer::Open(path, mode);
        if (std::string(path).find("src") != std::string::npos) {
            sourceFd = fd;
        }
        return fd;
    }
    std::int64_t Read(int fd, std::span<std::uint8_t> buffer) override
    {
        largest = std::max<std::size_t>(largest, buffer.size());
        if (std::this_thread::get_id() == testThread) {
            ++readsOnTestThread;
        }
        if (most > 0 && buffer.size() > most) {
            buffer = buffer.first(most);
        }
        if (fd == sourceFd && sourceLimit >= 0) {
            const auto left = static_cast<std::size_t>(std::max<std::int64_t>(sourceLimit - delivered, 0));
            buffer = buffer.first(std::min(left, buffer.size()));
        }
        const std::int64_t n = TestFileLayer::Read(fd, buffer);
        if (fd == sourceFd && n > 0) {
            delivered += n;
        }
        return n;
    }

    std::size_t most = 0;
    std::int64_t sourceLimit = -1;
    std::atomic<int> sourceFd{-1};
    std::atomic<std::int64_t> delivered{0};
    std::atomic<std::size_t> largest{0};
    std::atomic<int> readsOnTestThread{0};
    const std::thread::id testThread = std::this_thread::get_id();
};

using FileHand = FileHandFixture;

TEST_F(FileHand, AnEmptySourceIsCopiedWithoutProgress)
{
    const std::string src = scratch.Write("src.wav", "");
    EXPECT_EQ(engine->MirrorFile(src, scratch / "mirror.wav"), 1);
    EXPECT_EQ(engine->TranspFile(src, scratch / "out/transp.wav", 1, 0), 1);
    EXPECT_TRUE(fs::exists(scratch / "mirror.wav"));
    EXPECT_EQ(fs::file_size(scratch / "out/transp.wav"), 0U);
    EXPECT_THAT(events, IsEmpty());
    EXPECT_THAT(bar, IsEmpty());
    EXPECT_THAT(Temporaries(scratch / "out"), IsEmpty());
}

TEST_F(FileHand, ProgressComesOncePerPassAndEndsAtOne)
{
    constexpr std::int64_t chunk = 4096;
    const std::string src = scratch.Write("src.wav", Pattern(chunk + 1));
    ASSERT_EQ(engine->TranspFile(src, scratch / "t.wav", 1, 0, chunk), 1);
    EXPECT_THAT(events, ElementsAre(0.0F, FloatEq(4096.0F / 4097.0F), 1.0F));
    EXPECT_EQ(bar, events);
    EXPECT_EQ(testsupport::ReadText(scratch / "t.wav"), Pattern(chunk + 1));

    events.clear();
    const std::string exact = scratch.Write("src2.wav", Pattern(chunk, 3));
    ASSERT_EQ(engine->MirrorFile(exact, scratch / "m.wav", 0, chunk), 1);
    EXPECT_THAT(events, ElementsAre(0.0F, 1.0F));
    EXPECT_EQ(testsupport::ReadText(scratch / "m.wav"), Pattern(chunk, 3));
    EXPECT_EQ(engine->ErrorCode(), 0);
}

TEST_F(FileHand, ReadsRunOnTheIoThreadInPiecesOfAtMostOneMebibyteAndLoopUntilFull)
{
    ShapedReads layer;
    // One pass of the default 8 MiB, read in pieces; every read call hands
    // out at most 100,000 bytes, so each piece needs several.
    const std::size_t size = 3 * 1048576 + 5;
    const std::string src = scratch.Write("src.wav", Pattern(size, 9));
    layer.most = 100000;
    ASSERT_EQ(engine->TranspFile(src, scratch / "t.wav", 1, 0), 1);
    EXPECT_THAT(events, ElementsAre(0.0F, 1.0F));
    EXPECT_LE(layer.largest.load(), 1048576U);
    EXPECT_EQ(layer.readsOnTestThread, 0);
    EXPECT_EQ(testsupport::ReadText(scratch / "t.wav"), Pattern(size, 9));
}

TEST_F(FileHand, ASourceThatEndsEarlyFailsWithCodeSevenAndLeavesTheTarget)
{
    ShapedReads layer;
    const std::string src = scratch.Write("src.wav", Pattern(100));
    const std::string target = scratch.Write("t.wav", "old");
    layer.sourceLimit = 60; // the file shrank after its size was taken
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0, 16), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::SourceNotRead);
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
    EXPECT_THAT(ErrorLog(), HasSubstr("TranspFile Failed " + src + " to " + target + " " +
                                      "転送元ファイルから読み込みできません7"));
}

TEST_F(FileHand, ASourceThatGrowsWhileCopiedIsNoCompleteCopy)
{
    const std::string src = scratch.Write("src.wav", Pattern(40));
    const std::string target = scratch.Write("t.wav", "old");
    onProgress = [&](float rate) {
        if (rate > 0 && rate < 0.3F) {
            std::ofstream(src, std::ios::binary | std::ios::app) << "still recording";
        }
    };
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0, 8), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::SourceNotRead);
    EXPECT_EQ(testsupport::ReadText(target), "old");
}

TEST_F(FileHand, AReadOnlyTargetIsReplaced)
{
    const std::string src = scratch.Write("src.wav", Pattern(50));
    const std::string target = scratch.Write("t.wav", "old contents");
    chmod(target.c_str(), 0444);
    ASSERT_EQ(engine->TranspFile(src, target, 1, 0, 16), 1);
    EXPECT_EQ(testsupport::ReadText(target), Pattern(50));
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
}

TEST_F(FileHand, AnExistingTargetWithoutKillTargetIsCodeTenAndNoTemporaryStays)
{
    const std::string src = scratch.Write("src.wav", Pattern(50));
    const std::string target = scratch.Write("t.wav", "old");
    EXPECT_EQ(engine->TranspFile(src, target, 0, 0, 16), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::TargetExists);
    EXPECT_EQ(engine->ErrorCodeText(), "転送先ファイルがすでに存在します");
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());

    EXPECT_EQ(engine->TranspFile(src, scratch / "new.wav", 0, 0, 16), 1) << "a new target is fine";
    EXPECT_EQ(engine->ErrorCode(), 0) << "cleared as the next call starts";
}

TEST_F(FileHand, ACancelFromTheProgressEventEndsTheCopyAndKeepsTheTarget)
{
    const std::string src = scratch.Write("src.wav", Pattern(64));
    const std::string target = scratch.Write("t.wav", "old");
    onProgress = [this](float rate) {
        if (rate > 0) {
            engine->ProcCancel();
        }
    };
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0, 16), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_EQ(engine->Canceled(), 1);
    EXPECT_THAT(events, ElementsAre(0.0F, 0.25F)) << "no pass after the cancel";
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
}

TEST_F(FileHand, AFailedRenameKeepsTheOldTarget)
{
    testsupport::TestFileLayer layer;
    const std::string src = scratch.Write("src.wav", Pattern(50));
    const std::string target = scratch.Write("t.wav", "old");
    layer.renameFault = [](const char*, const char* to) { return std::string(to).ends_with("t.wav") ? -EIO : 0; };
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0, 16), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::TemporaryNotRenamed);
    EXPECT_EQ(testsupport::ReadText(target), "old");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
}

TEST_F(FileHand, TheCopyKeepsTheSourcesModificationTime)
{
    const std::string src = scratch.Write("src.wav", Pattern(50));
    testsupport::SetFileTimeSeconds(src, 1600000000);
    ASSERT_EQ(engine->TranspFile(src, scratch / "t.wav", 1, 0, 16), 1);
    platform::FileStatus status;
    ASSERT_TRUE(platform::files::Stat(scratch / "t.wav", status, true));
    EXPECT_EQ(status.modified.seconds, 1600000000);
}

TEST_F(FileHand, ACallFromOutsideWhileBusyIsRefusedAndLeavesTheRunningOperationAlone)
{
    const std::string src = scratch.Write("src.wav", Pattern(40));
    const std::string target = scratch / "t.wav";
    bool asked = false;
    onProgress = [&](float) {
        if (asked) {
            return;
        }
        asked = true;
        engine->ProcCancel();
        EXPECT_TRUE(engine->Busy());
        EXPECT_EQ(engine->TranspFile(src, scratch / "other.wav", 1, 0, 8), 0);
        EXPECT_EQ(engine->MirrorFile(src, scratch / "other.wav"), 0);
        EXPECT_EQ(engine->DelAllTempfile(scratch.Path()), 0);
        EXPECT_EQ(engine->Canceled(), 1) << "a refused call clears nothing";
    };
    EXPECT_EQ(engine->TranspFile(src, target, 1, 0, 8), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_FALSE(fs::exists(scratch / "other.wav"));
    EXPECT_FALSE(fs::exists(target));
    EXPECT_FALSE(engine->Busy());
    EXPECT_THAT(ErrorLog(), HasSubstr("busy"));
}

TEST_F(FileHand, TheControlsOwnNestedCallsRunWhileBusy)
{
    const std::string src = scratch.Write("src.wav", Pattern(40));
    bool nested = false;
    onProgress = [&](float) {
        if (!nested) {
            nested = true;
            EXPECT_EQ(engine->MirrorFile(src, scratch / "inner.wav", 0, 8, 1), 1);
        }
    };
    EXPECT_EQ(engine->TranspFile(src, scratch / "outer.wav", 1, 0, 8), 1);
    EXPECT_EQ(testsupport::ReadText(scratch / "inner.wav"), Pattern(40));
    EXPECT_EQ(testsupport::ReadText(scratch / "outer.wav"), Pattern(40));
}

TEST_F(FileHand, TemporaryNamesOfAnotherSessionAreNeverTakenOrDeleted)
{
    const std::string src = scratch.Write("src.wav", Pattern(30));
    const std::string theirs = scratch.Write("~tmp0427.tmp", "another session's copy");
    std::vector<int> draws{427, 427, 5};
    std::size_t next = 0;
    engine->DrawNumber = [&] { return draws[std::min(next++, draws.size() - 1)]; };
    ASSERT_EQ(engine->TranspFile(src, scratch / "t.wav", 1, 0, 8), 1);
    EXPECT_EQ(next, 3U);
    EXPECT_EQ(testsupport::ReadText(theirs), "another session's copy");
    EXPECT_THAT(Temporaries(scratch.Path()), ElementsAre("~tmp0427.tmp"));

    // 501 draws that all meet taken names: code 3, and still nothing deleted.
    next = 0;
    draws = {427};
    EXPECT_EQ(engine->TranspFile(src, scratch / "t2.wav", 1, 0, 8), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::NoTemporaryName);
    EXPECT_EQ(next, 501U);
    EXPECT_EQ(testsupport::ReadText(theirs), "another session's copy");
    EXPECT_FALSE(fs::exists(scratch / "t2.wav"));
}

TEST_F(FileHand, KillSourceDeletesTheSourceUnlessItIsTheTargetItself)
{
    const std::string src = scratch.Write("src.wav", Pattern(30));
    ASSERT_EQ(engine->TranspFile(src, scratch / "moved.wav", 1, 1, 8), 1);
    EXPECT_FALSE(fs::exists(src));
    EXPECT_EQ(testsupport::ReadText(scratch / "moved.wav"), Pattern(30));

    const std::string same = scratch.Write("Same.wav", Pattern(20));
    ASSERT_EQ(engine->TranspFile(same, scratch / "SAME.WAV", 1, 1, 8), 1);
    EXPECT_TRUE(fs::exists(same)) << "a name differing only in case keeps the source";
}

TEST_F(FileHand, FoldersAndSourcesThatAreNotThere)
{
    const std::string src = scratch.Write("src.wav", Pattern(30));
    ASSERT_EQ(engine->TranspFile(src, scratch / "a/b/c/t.wav", 1, 0, 8), 1);
    EXPECT_TRUE(fs::exists(scratch / "a/b/c/t.wav")) << "missing folders are made";

    scratch.Write("plain", "a file");
    EXPECT_EQ(engine->TranspFile(src, scratch / "plain/sub/t.wav", 1, 0, 8), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::TargetFolderNotMade);

    // A missing source costs the existing target nothing, in either call.
    const std::string target = scratch.Write("kept.wav", "kept");
    EXPECT_EQ(engine->MirrorFile(scratch / "none.wav", target), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::SourceMissing);
    EXPECT_EQ(engine->TranspFile(scratch / "none.wav", target, 1, 0), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::SourceMissing);
    EXPECT_EQ(testsupport::ReadText(target), "kept");
    EXPECT_THAT(Temporaries(scratch.Path()), IsEmpty());
}

TEST_F(FileHand, MessagesFollowDispFN)
{
    const std::string src = scratch.Write("in/src.wav", Pattern(10));
    engine->SetDispFN(2);
    ASSERT_EQ(engine->TranspFile(src, scratch / "t.wav", 1, 0, 8), 1);
    EXPECT_THAT(messages, ElementsAre("転送開始|1", "コピー開始|1", "Copying…src.wav|1", "|0"));

    messages.clear();
    engine->SetDispFN(1);
    ASSERT_EQ(engine->MirrorFile(src, scratch / "m.wav", 0, 8), 1);
    EXPECT_THAT(messages, ElementsAre("コピー開始|1", "Copying…" + src + "|1", "|0"));

    messages.clear();
    engine->SetDispFN(0);
    ASSERT_EQ(engine->MirrorFile(src, scratch / "m.wav", 0, 8), 1);
    EXPECT_THAT(messages, ElementsAre("ファイルコピー中…|0", "|0"));
}

TEST(FileHandErrors, EveryCodeHasItsTextAndOthersNone)
{
    using cache::filehand::ErrorCodeText;
    EXPECT_EQ(ErrorCodeText(0), "正常終了");
    EXPECT_EQ(ErrorCodeText(1), "ユーザーによりキャンセルされました");
    EXPECT_EQ(ErrorCodeText(11), "一時ファイルを転送先ファイル名に変更できません");
    EXPECT_EQ(ErrorCodeText(13), "ループエラー1");
    EXPECT_EQ(ErrorCodeText(14), "ループエラー2");
    EXPECT_EQ(ErrorCodeText(15), "");
    EXPECT_EQ(ErrorCodeText(-1), "");
}

} // namespace
