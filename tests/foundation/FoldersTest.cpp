#include "foundation/Folders.h"
#include "foundation/FileAccess.h"
#include "platform/base/Hooks.h"
#include "support/ClockFixture.h"
#include "support/ScratchFolder.h"

#include <filesystem>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testsupport::ScratchFolder;

// Pruning on 2026-05-20 at noon, with files written days before.
class Pruning : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 5, 20), At(12, 0, 0));
        Aged("old.log", 10);
        Aged("new.log", 2);
        Aged("old.txt", 19);
        Aged("sub/old.log", 19);
        Aged("sub2/new.log", 1);
        Aged("sub2/old.log", 30);
        Aged("keep.log", 6); // within the last 7 days, by hours
        outside.Write("precious.log", "keep");
        testsupport::SetLocalFileTime(outside / "precious.log", 2020, 1, 1, 0, 0, 0);
        symlink((outside / "precious.log").c_str(), (root / "link.log").c_str());
        symlink(outside.Path().c_str(), (root / "linked folder").c_str());
        platform::SetPumpHook([this] { ++pumps; });
    }
    void TearDown() override { platform::SetPumpHook(nullptr); }
    void Aged(const std::string& name, int days)
    {
        root.Write(name, name);
        testsupport::SetLocalFileTime(root / name, 2026, 5, 20 - days, 11, 0, 0);
    }
    bool Has(const std::string& name) const { return fs::exists(fs::symlink_status(root / name)); }

    ScratchFolder root;
    ScratchFolder outside;
    int pumps = 0;
};

TEST_F(Pruning, OldFilesGoAndFoldersStillHoldingSomethingStay)
{
    EXPECT_EQ(basic::DeleteFolderContents(root.Path(), 1, 7, "", 0), 1);
    EXPECT_FALSE(Has("old.log"));
    EXPECT_FALSE(Has("old.txt"));
    EXPECT_FALSE(Has("sub")) << "emptied by age, then removed";
    EXPECT_FALSE(Has("sub2/old.log"));
    EXPECT_TRUE(Has("sub2/new.log"));
    EXPECT_TRUE(Has("new.log"));
    EXPECT_TRUE(Has("keep.log"));
    EXPECT_FALSE(Has("link.log")) << "an old link goes as a link";
    EXPECT_EQ(testsupport::ReadText(outside / "precious.log"), "keep");
    EXPECT_TRUE(Has("linked folder")) << "a link to a recent folder is recent";
    EXPECT_TRUE(fs::exists(outside.Path()));
    EXPECT_EQ(pumps, 3) << "once per folder walked";
}

TEST_F(Pruning, AnExtensionLimitsFilesAndFolders)
{
    EXPECT_EQ(basic::DeleteFolderContents(root.Path(), 1, 7, "log", 0), 1);
    EXPECT_FALSE(Has("old.log"));
    EXPECT_TRUE(Has("old.txt"));
    EXPECT_TRUE(Has("sub/old.log")) << "the pattern *.log does not match the folder";
    EXPECT_EQ(basic::DeleteFolderContents(root.Path(), 1, 0, ".txt", 1), 1);
    EXPECT_FALSE(Has("old.txt"));
    EXPECT_TRUE(Has("new.log"));
}

TEST_F(Pruning, WithoutAgeEverythingGoesAndTheFolderToo)
{
    EXPECT_EQ(basic::DeleteFolderContents(root.Path(), 0, 0, "", 0), 1);
    EXPECT_FALSE(fs::exists(root.Path()));
    EXPECT_EQ(testsupport::ReadText(outside / "precious.log"), "keep");
    EXPECT_EQ(basic::DeleteFolderContents(root.Path(), 0, 0, "", 0), 0) << "a missing folder";
}

TEST_F(Pruning, TheLogFolderIsRemovedWhenAllItsLogsAreOld)
{
    ScratchFolder logs;
    logs.Write("20250101 - pc - tolv.log", "x");
    logs.Write("2025/20250102 - pc - tolv.err", "x");
    testsupport::SetLocalFileTime(logs / "20250101 - pc - tolv.log", 2025, 1, 1, 9, 0, 0);
    testsupport::SetLocalFileTime(logs / "2025/20250102 - pc - tolv.err", 2025, 1, 2, 9, 0, 0);
    EXPECT_EQ(basic::DeleteFolderContents(logs.Path(), 0, 90, "", 0), 1);
    EXPECT_FALSE(fs::exists(logs.Path()));
}

TEST(Folders, TheRootAndEmptyPathsAreRefused)
{
    ScratchFolder folder;
    const std::string rootLink = folder / "root";
    ASSERT_EQ(symlink("/", rootLink.c_str()), 0);
    for (const std::string& path : {std::string(""), std::string("  "), std::string("/"), std::string("\\"),
                                    std::string("/tmp/.."), std::string("/./"), rootLink, rootLink + "/"}) {
        EXPECT_EQ(basic::DeleteFolderContents(path, 1, 0, "", 0), 0) << path;
        EXPECT_EQ(basic::RemoveFolder(path), 0) << path;
    }
    EXPECT_TRUE(fs::exists("/tmp"));
    EXPECT_TRUE(fs::is_symlink(rootLink));
}

TEST(Folders, RemovingFoldersAndLinks)
{
    ScratchFolder folder;
    const std::string target = folder.Folder("target");
    folder.Write("target/a.wav", "x");
    const std::string link = folder / "link";
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    EXPECT_EQ(basic::RemoveFolder(link), 1);
    EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
    EXPECT_TRUE(fs::exists(target + "a.wav"));
    EXPECT_EQ(basic::RemoveFolder(target), 0) << "not empty";
    EXPECT_EQ(basic::RemoveFolder(folder / "missing"), 1);
    const std::string empty = folder.Folder("empty");
    chmod(empty.c_str(), 0555);
    EXPECT_EQ(basic::RemoveFolder(empty), 1) << "a read-only folder goes too";
}

TEST(Folders, FolderHasFiles)
{
    ScratchFolder folder;
    const std::string box = folder.Folder("box");
    EXPECT_EQ(basic::FolderHasFiles(box, "", 0, 0), 0);
    folder.Write("box/a.txt", "x");
    EXPECT_EQ(basic::FolderHasFiles(box, "", 0, 0), 1);
    EXPECT_EQ(basic::FolderHasFiles(box, "wav", 0, 0), 0);
    EXPECT_EQ(basic::FolderHasFiles(box, "", 0, 1), 0);
    folder.Folder("box/inner");
    EXPECT_EQ(basic::FolderHasFiles(box, "", 0, 1), 1);
    EXPECT_EQ(basic::FolderHasFiles(folder / "missing", "", 0, 0), 0);
}

} // namespace
