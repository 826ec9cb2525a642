#include "FileHandFixture.h"
#include "cache/FileHandErrors.h"
#include "support/TestFileLayer.h"

#include <gmock/gmock.h>

namespace {

namespace fs = std::filesystem;

// The clock stands at 2025-06-02 10:00:00: "older than a day" means written
// before 2025-06-01 10:00:00.
class Sweep : public FileHandFixture {
protected:
    std::string Old(const std::string& name)
    {
        const std::string path = scratch.Write(name, "x");
        testsupport::SetLocalFileTime(path, 2025, 6, 1, 9, 59, 59);
        return path;
    }
    std::string Young(const std::string& name)
    {
        const std::string path = scratch.Write(name, "x");
        testsupport::SetLocalFileTime(path, 2025, 6, 1, 10, 0, 1);
        return path;
    }
};

TEST_F(Sweep, OnlyTheControlsOwnTemporaryFilesOlderThanADayGo)
{
    const std::string old = Old("root/~tmp0001.tmp");
    const std::string deep = Old("root/a/b/~tmp9999.tmp");
    const std::string young = Young("root/~tmp0002.tmp");
    const std::string upper = Old("root/~TMP0003.TMP");
    const std::string shortName = Old("root/~tmp01.tmp");
    const std::string sound = Old("root/song.wav");
    EXPECT_EQ(engine->DelAllTempfile(scratch / "root/"), 1);
    EXPECT_FALSE(fs::exists(old));
    EXPECT_FALSE(fs::exists(deep));
    for (const std::string& kept : {young, upper, shortName, sound}) {
        EXPECT_TRUE(fs::exists(kept)) << kept;
    }
    EXPECT_EQ(engine->DelAllTempfile(scratch / "none"), 0);
}

TEST_F(Sweep, SymbolicLinksAreNeitherEnteredNorDeleted)
{
    const std::string elsewhere = Old("elsewhere/~tmp0005.tmp");
    const std::string target = Old("elsewhere/~tmp0006.tmp");
    scratch.Folder("root");
    fs::create_directory_symlink(scratch / "elsewhere", scratch / "root/linked");
    fs::create_symlink(target, scratch / "root/~tmp0007.tmp");
    EXPECT_EQ(engine->DelAllTempfile(scratch / "root"), 1);
    EXPECT_TRUE(fs::exists(elsewhere));
    EXPECT_TRUE(fs::exists(target));
    EXPECT_TRUE(fs::is_symlink(scratch / "root/~tmp0007.tmp"));
}

TEST_F(Sweep, ACancelInsideASubFolderEndsTheWholeWalk)
{
    Old("root/a/one.wav");
    Old("root/a/two.wav");
    const std::string later = Old("root/~tmp0009.tmp");
    int entries = 0;
    onPump = [&] {
        if (++entries == 3) { // an entry inside "a"
            engine->ProcCancel();
        }
    };
    EXPECT_EQ(engine->DelAllTempfile(scratch / "root"), 0);
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::Cancelled);
    EXPECT_TRUE(fs::exists(later));
}

TEST_F(Sweep, TheWalkKeepsTheCallersCancelFlagAndErrorCode)
{
    // A transfer failed with code 10; a sweep called as part of the same work
    // (pSaiki 1) must not wipe that code in its sub-folders.
    const std::string src = scratch.Write("src.wav", "abc");
    const std::string target = scratch.Write("t.wav", "old");
    ASSERT_EQ(engine->TranspFile(src, target, 0, 0), 0);
    ASSERT_EQ(engine->ErrorCode(), cache::filehand::TargetExists);
    const std::string deep = Old("root/a/b/~tmp0001.tmp");
    EXPECT_EQ(engine->DelAllTempfile(scratch / "root", 0, 1), 1);
    EXPECT_FALSE(fs::exists(deep));
    EXPECT_EQ(engine->ErrorCode(), cache::filehand::TargetExists);

    EXPECT_EQ(engine->DelAllTempfile(scratch / "root"), 1);
    EXPECT_EQ(engine->ErrorCode(), 0) << "a call from outside starts afresh";
}

TEST_F(Sweep, SlowSweepsPauseOnEveryEntry)
{
    Old("root/a.wav");
    Old("root/b.wav");
    const std::int64_t before = clock.TotalMs();
    EXPECT_EQ(engine->DelAllTempfile(scratch / "root", 1), 1);
    EXPECT_GE(clock.TotalMs() - before, 300);
}

} // namespace
