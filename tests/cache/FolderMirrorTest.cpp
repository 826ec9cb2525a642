// The folder mirror on temporary trees, with file ages on virtual time.
#include "FileHandFixture.h"
#include "cache/FileHandErrors.h"
#include "cache/FolderMirror.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

#include <cstring>

namespace {

namespace fs = std::filesystem;

// The clock stands at 2025-06-02 10:00:00 (FileHandFixture).
class FolderMirrorTest : public FileHandFixture {
protected:
    FolderMirrorTest() : src(scratch.Folder("src")), dst(scratch.Folder("dst")) {}

    // Writes a file last written the given seconds before now.
    std::string WriteAged(const std::string& path, std::string_view contents, int secondsAgo) const
    {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << contents;
        Age(path, secondsAgo);
        return path;
    }
    static void Age(const std::string& path, int secondsAgo)
    {
        int total = 10 * 3600 - secondsAgo;
        int day = 2;
        while (total < 0) {
            total += 86400;
            --day;
        }
        testsupport::SetLocalFileTime(path, 2025, 6, day, total / 3600, total / 60 % 60, total % 60);
    }

    std::int32_t Mirror(std::int32_t noDel = 0, std::int32_t noSysFolder = 0, std::int32_t checkDate = 0,
                        std::int32_t noSubFolder = 0, std::int32_t checkMinute = 0, std::int32_t noOW = 0)
    {
        return mirror.MirrorFolder(src, dst, noDel, 0, 0, 0, noSysFolder, checkDate, noSubFolder, checkMinute, noOW);
    }

    const std::string src;
    const std::string dst;
    cache::FolderMirror mirror{*engine};
};

TEST_F(FolderMirrorTest, FilesYoungerThanTheMinimumAgeWaitForALaterRun)
{
    WriteAged(src + "young.wav", "young", 10);
    WriteAged(src + "half.wav", "half", 30);
    WriteAged(src + "old.wav", "old", 70);

    EXPECT_EQ(Mirror(), 1);
    EXPECT_FALSE(fs::exists(dst + "young.wav")) << "20 s by default";
    EXPECT_EQ(testsupport::ReadText(dst + "half.wav"), "half");
    EXPECT_EQ(testsupport::ReadText(dst + "old.wav"), "old");

    fs::remove_all(dst);
    fs::create_directory(dst);
    EXPECT_EQ(Mirror(0, 0, 0, 0, 1), 1);
    EXPECT_FALSE(fs::exists(dst + "half.wav")) << "60 s with the minute check";
    EXPECT_TRUE(fs::exists(dst + "old.wav"));

    clock.Advance(60'000);
    EXPECT_EQ(Mirror(0, 0, 0, 0, 1), 1);
    EXPECT_TRUE(fs::exists(dst + "half.wav")) << "a later run takes it";
    EXPECT_EQ(engine->ErrorCode(), 0);
}

TEST_F(FolderMirrorTest, UnchangedFilesAreSkippedWithinTwoSeconds)
{
    // Same size on both sides; the target's bytes tell whether it was copied.
    WriteAged(src + "near.wav", "source", 100);
    WriteAged(dst + "near.wav", "target", 102);
    WriteAged(src + "far.wav", "source", 100);
    WriteAged(dst + "far.wav", "target", 103);
    WriteAged(src + "later.wav", "source", 102);
    WriteAged(dst + "later.wav", "target", 100);
    WriteAged(src + "sized.wav", "source", 100);
    WriteAged(dst + "sized.wav", "old target", 100);

    EXPECT_EQ(Mirror(), 1);
    EXPECT_EQ(testsupport::ReadText(dst + "near.wav"), "target") << "2 s apart: the same";
    EXPECT_EQ(testsupport::ReadText(dst + "later.wav"), "target") << "either way";
    EXPECT_EQ(testsupport::ReadText(dst + "far.wav"), "source") << "3 s apart: copied";
    EXPECT_EQ(testsupport::ReadText(dst + "sized.wav"), "source") << "same time, another size: copied";
    EXPECT_THAT(Temporaries(dst), testing::IsEmpty());
}

TEST_F(FolderMirrorTest, TargetOnlyEntriesGoOnceOldEnough)
{
    WriteAged(dst + "fresh.wav", "x", 10);
    WriteAged(dst + "gone.wav", "x", 100);
    WriteAged(dst + "extra/inner/deep.wav", "x", 100);
    WriteAged(src + "kept.wav", "x", 100);
    WriteAged(dst + "kept.wav", "x", 100);
    WriteAged(src + "sub/new.wav", "new", 100);

    EXPECT_EQ(Mirror(), 1);
    EXPECT_TRUE(fs::exists(dst + "fresh.wav")) << "younger than the minimum age";
    EXPECT_FALSE(fs::exists(dst + "gone.wav"));
    EXPECT_FALSE(fs::exists(dst + "extra")) << "a folder the source lacks goes with everything in it";
    EXPECT_TRUE(fs::exists(dst + "kept.wav"));
    EXPECT_EQ(testsupport::ReadText(dst + "sub/new.wav"), "new") << "sub-folders are mirrored";
}

TEST_F(FolderMirrorTest, OptionsKeepWhatTheyProtect)
{
    WriteAged(src + "changed.wav", "new bytes", 100);
    WriteAged(dst + "changed.wav", "old", 5000);
    WriteAged(src + "added.wav", "added", 100);
    WriteAged(dst + "orphan.wav", "orphan", 100);
    WriteAged(src + "sub/in.wav", "in", 100);
    WriteAged(dst + "onlyhere/x.wav", "x", 100);

    // No overwrite: an existing target stays whatever its time or size.
    EXPECT_EQ(Mirror(1, 0, 0, 1, 0, 1), 1);
    EXPECT_EQ(testsupport::ReadText(dst + "changed.wav"), "old");
    EXPECT_EQ(testsupport::ReadText(dst + "added.wav"), "added");
    // No delete and no sub-folders.
    EXPECT_TRUE(fs::exists(dst + "orphan.wav"));
    EXPECT_FALSE(fs::exists(dst + "sub"));

    // Sub-folders off, deletion on: target folders are left alone too.
    EXPECT_EQ(Mirror(0, 0, 0, 1), 1);
    EXPECT_FALSE(fs::exists(dst + "orphan.wav"));
    EXPECT_TRUE(fs::exists(dst + "onlyhere/x.wav"));
    EXPECT_FALSE(fs::exists(dst + "sub"));
    EXPECT_EQ(testsupport::ReadText(dst + "changed.wav"), "new bytes");
}

TEST_F(FolderMirrorTest, TheDateCheckLeavesOldFilesOnBothSides)
{
    WriteAged(src + "ancient.wav", "a", 2 * 86400);
    WriteAged(src + "recent.wav", "r", 3600);
    WriteAged(dst + "old orphan.wav", "o", 2 * 86400);
    WriteAged(dst + "young orphan.wav", "y", 3600);

    EXPECT_EQ(Mirror(0, 0, 1), 1);
    EXPECT_FALSE(fs::exists(dst + "ancient.wav"));
    EXPECT_TRUE(fs::exists(dst + "recent.wav"));
    EXPECT_TRUE(fs::exists(dst + "old orphan.wav"));
    EXPECT_FALSE(fs::exists(dst + "young orphan.wav"));
}

TEST_F(FolderMirrorTest, SystemFoldersAreLeftAloneOnRequest)
{
    WriteAged(src + "$RECYCLE.BIN/bin.wav", "b", 100);
    WriteAged(src + "System Volume Information/s.dat", "s", 100);
    WriteAged(src + "music/a.wav", "a", 100);

    EXPECT_EQ(Mirror(0, 1), 1);
    EXPECT_FALSE(fs::exists(dst + "$RECYCLE.BIN"));
    EXPECT_FALSE(fs::exists(dst + "System Volume Information"));
    EXPECT_TRUE(fs::exists(dst + "music/a.wav"));
    EXPECT_EQ(mirror.MirrorFolder(src + "$RECYCLE.BIN", dst, 0, 0, 0, 0, 1), 0);

    EXPECT_EQ(Mirror(), 1);
    EXPECT_TRUE(fs::exists(dst + "$RECYCLE.BIN/bin.wav")) << "copied like any folder without the option";
}

TEST_F(FolderMirrorTest, ASourceThatVanishesMidDeletionDeletesNothingMore)
{
    WriteAged(src + "keep.wav", "k", 100);
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        WriteAged(dst + name, "x", 100);
    }
    WriteAged(dst + "d/inner.wav", "x", 100);
    onPump = [this] {
        // The share drops out once the first orphan is gone.
        if (!fs::exists(dst + "a.wav") && fs::exists(src)) {
            fs::rename(src, scratch / "moved");
        }
    };
    Mirror();
    EXPECT_FALSE(fs::exists(dst + "a.wav"));
    EXPECT_TRUE(fs::exists(dst + "b.wav"));
    EXPECT_TRUE(fs::exists(dst + "c.wav"));
    EXPECT_TRUE(fs::exists(dst + "d/inner.wav"));
}

// Looking up one source entry fails with an I/O error.
class FailingSourceLookup : public testsupport::TestFileLayer {
public:
    int Stat(const char* path, platform::FileStatus& status, bool followLinks) override
    {
        if (std::strstr(path, "src/b.wav") != nullptr) {
            return -EIO;
        }
        return TestFileLayer::Stat(path, status, followLinks);
    }
};

TEST_F(FolderMirrorTest, OnlyASourceEntryThatTrulyDoesNotExistCountsAsGone)
{
    FailingSourceLookup layer;
    WriteAged(dst + "a.wav", "x", 100);
    WriteAged(dst + "b.wav", "x", 100);
    EXPECT_EQ(Mirror(), 1);
    EXPECT_FALSE(fs::exists(dst + "a.wav")) << "not there: gone";
    EXPECT_TRUE(fs::exists(dst + "b.wav")) << "could not be looked up: kept";
}

TEST_F(FolderMirrorTest, SymbolicLinksAreNeverEntered)
{
    const std::string outside = scratch.Folder("outside");
    WriteAged(outside + "secret.wav", "s", 100);
    fs::create_directory_symlink(outside, src + "linked");
    // A target link where the source has a real folder, and one the source lacks.
    const std::string elsewhere = scratch.Folder("elsewhere");
    WriteAged(elsewhere + "precious.wav", "p", 100);
    WriteAged(src + "shared/a.wav", "a", 100);
    fs::create_directory_symlink(elsewhere, dst + "shared");
    fs::create_directory_symlink(elsewhere, dst + "orphan link");

    EXPECT_EQ(Mirror(), 1);
    EXPECT_FALSE(fs::exists(dst + "linked"));
    EXPECT_FALSE(fs::exists(elsewhere + "a.wav")) << "nothing written through a target link";
    EXPECT_TRUE(fs::exists(elsewhere + "precious.wav")) << "nothing deleted through one";
    EXPECT_FALSE(fs::is_symlink(dst + "orphan link")) << "the orphan link itself goes";
    EXPECT_TRUE(fs::exists(outside + "secret.wav"));
}

TEST_F(FolderMirrorTest, FoldersInsideEachOtherAreRefused)
{
    WriteAged(src + "a.wav", "a", 100);
    const std::string inner = scratch.Folder("src/inner");
    WriteAged(inner + "b.wav", "b", 100);

    EXPECT_EQ(mirror.MirrorFolder(src, inner, 0), 0);
    EXPECT_FALSE(fs::exists(inner + "a.wav"));
    EXPECT_EQ(mirror.MirrorFolder(inner, src, 0), 0);
    EXPECT_TRUE(fs::exists(src + "a.wav")) << "the outer folder lost nothing";
    EXPECT_EQ(mirror.MirrorFolder(src, src, 0), 0);
    EXPECT_EQ(mirror.MirrorFolder(src, scratch.Path() + "src/./", 0), 0);
    EXPECT_EQ(mirror.MirrorOnlyFolder(inner, src), 0);
    EXPECT_TRUE(fs::exists(inner));
    EXPECT_EQ(mirror.MirrorFolder(src, scratch / "missing", 0), 0);
}

TEST_F(FolderMirrorTest, ACancelEndsEveryLevel)
{
    WriteAged(src + "a/one.wav", "1", 100);
    WriteAged(src + "b/two.wav", "2", 100);
    onPump = [this] {
        if (fs::exists(dst + "a/one.wav")) {
            engine->ProcCancel();
        }
    };
    EXPECT_EQ(Mirror(), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_FALSE(fs::exists(dst + "b"));
}

TEST_F(FolderMirrorTest, CheckMessagesNameEachEntry)
{
    engine->SetDispFN(2);
    WriteAged(src + "s.wav", "s", 5);
    WriteAged(dst + "t.wav", "t", 5);
    Mirror();
    EXPECT_THAT(messages, testing::Contains("Check Del t.wav|1"));
    EXPECT_THAT(messages, testing::Contains("Check s.wav|1"));
    EXPECT_EQ(messages.back(), "|0") << "cleared at the end";
}

TEST_F(FolderMirrorTest, MirrorOnlyFolderFollowsTheStructureWithoutEnteringExistingFolders)
{
    scratch.Folder("src/a/x");
    scratch.Folder("src/b/y");
    WriteAged(src + "a/file.wav", "f", 100);
    scratch.Folder("dst/b");
    WriteAged(dst + "extra/inside.wav", "k", 100);
    WriteAged(dst + "loose.wav", "l", 100);

    EXPECT_EQ(mirror.MirrorOnlyFolder(src, dst), 1);
    EXPECT_TRUE(fs::is_directory(dst + "a/x"));
    EXPECT_FALSE(fs::exists(dst + "a/file.wav")) << "files are ignored";
    EXPECT_FALSE(fs::exists(dst + "b/y")) << "an existing folder is not entered";
    EXPECT_FALSE(fs::exists(dst + "extra"));
    EXPECT_TRUE(fs::exists(dst + "loose.wav"));
}

TEST_F(FolderMirrorTest, FindFileInfoMatchesTheNameWithoutRegardToCase)
{
    const std::string file = WriteAged(dst + "Take.WAV", "12345", 3600);
    std::string time;
    std::int64_t size = -1;
    cache::FolderMirror::FindFileInfo(dst + "take.wav", time, size);
    EXPECT_EQ(time, "2025/06/02 09:00:00");
    EXPECT_EQ(size, 5);
    cache::FolderMirror::FindFileInfo(dst + "other.wav", time, size);
    EXPECT_EQ(time, "");
    EXPECT_EQ(size, 0);
}

} // namespace
