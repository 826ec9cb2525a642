#include "platform/ProfileFile.h"
#include "platform/AtomicFile.h"
#include "platform/FileLock.h"
#include "platform/ProfileDocument.h"
#include "support/ScratchFolder.h"
#include "support/TestFileLayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class ProfileFile : public testing::Test {
protected:
    void Write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    static std::string Read(const std::string& path) { return testsupport::ReadText(path); }
    static ino_t Inode(const std::string& path)
    {
        struct stat info {};
        return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
    }
    std::vector<std::string> FolderNames() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(scratch.Path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    testsupport::ScratchFolder scratch;
    std::string ini = scratch / "tolv.ini";
};

TEST_F(ProfileFile, CreatesTheFileAndRewritesItOnlyWhenItsTextChanges)
{
    EXPECT_FALSE(platform::ReadProfileString(ini, "conf", "Volume"));
    ASSERT_TRUE(platform::WriteProfileString(ini, "conf", "Volume", "7").ok);
    EXPECT_EQ(Read(ini), "[conf]\nVolume=7\n");
    EXPECT_EQ(platform::ReadProfileString(ini, "CONF", "volume"), "7");

    const ino_t before = Inode(ini);
    const platform::FileUpdate same = platform::WriteProfileString(ini, "conf", "VOLUME", "7");
    EXPECT_TRUE(same.ok);
    EXPECT_FALSE(same.changed);
    EXPECT_EQ(Inode(ini), before) << "an unchanged text is not written again";

    EXPECT_TRUE(platform::WriteProfileString(ini, "conf", "Volume", "8").changed);
    EXPECT_NE(Inode(ini), before);
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"tolv.ini", "tolv.ini.lock"})) << "no temporary file is left";
}

TEST_F(ProfileFile, AFailingRenameLeavesThePreviousFileReadable)
{
    Write(ini, "; operator notes\n[conf]\nVolume=7\n");
    testsupport::TestFileLayer layer;
    layer.renameFault = [](const char*, const char*) { return -EIO; };
    const platform::FileUpdate update = platform::WriteProfileString(ini, "conf", "Volume", "8");
    EXPECT_FALSE(update.ok);
    EXPECT_NE(update.failure.find("rename"), std::string::npos) << update.failure;
    EXPECT_EQ(platform::ReadProfileString(ini, "conf", "Volume"), "7");
    EXPECT_EQ(Read(ini), "; operator notes\n[conf]\nVolume=7\n");
    EXPECT_EQ(FolderNames(), (std::vector<std::string>{"tolv.ini", "tolv.ini.lock"}));
}

TEST_F(ProfileFile, AFileThatCannotBeReadIsNeverReplaced)
{
    fs::create_directory(ini);
    Write(ini + "/inside", "kept");
    EXPECT_FALSE(platform::WriteProfileString(ini, "conf", "Volume", "8").ok);
    EXPECT_EQ(Read(ini + "/inside"), "kept");
}

TEST_F(ProfileFile, ALinkedFileStaysLinked)
{
    const std::string real = scratch / "real.ini";
    Write(real, "[conf]\nA=1\n");
    fs::create_symlink(real, ini);
    ASSERT_TRUE(platform::WriteProfileString(ini, "conf", "B", "2").ok);
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_EQ(Read(real), "[conf]\nA=1\nB=2\n");
}

// Two sessions change the same file: while this process holds the lock, a
// writer in a child process must wait, and must read the file only after this
// process's change, so both keys survive.
TEST_F(ProfileFile, AWriterInAnotherProcessWaitsForTheLockAndBothKeysSurvive)
{
    Write(ini, "[conf]\n");
    int go[2];
    int waiting[2];
    ASSERT_EQ(::pipe(go), 0);
    ASSERT_EQ(::pipe(waiting), 0);
    // The child is made before the lock is taken, so it holds no copy of it.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(go[1]);
        ::close(waiting[0]);
        char signal = 0;
        if (::read(go[0], &signal, 1) != 1) {
            ::_exit(2);
        }
        platform::SetFileLockWaitHookForTests([&] {
            const char busy = 'w';
            [[maybe_unused]] const auto ignored = ::write(waiting[1], &busy, 1);
        });
        const bool ok = platform::WriteProfileString(ini, "conf", "FromChild", "2").ok;
        ::_exit(ok ? 0 : 1);
    }
    ::close(go[0]);
    ::close(waiting[1]);
    // Should an assertion end the test early, the child must not linger.
    struct ChildGuard {
        pid_t pid;
        ~ChildGuard()
        {
            if (pid > 0 && ::waitpid(pid, nullptr, WNOHANG) == 0) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, nullptr, 0);
            }
        }
    } guard{child};
    {
        const platform::FileLock held(ini);
        ASSERT_TRUE(held.Held()) << held.Failure();
        const char start = 'g';
        ASSERT_EQ(::write(go[1], &start, 1), 1);
        char signal = 0;
        // Blocks until the child reports that it found the lock taken; a child
        // that never waits closes the pipe instead.
        ASSERT_EQ(::read(waiting[0], &signal, 1), 1) << "the writer did not wait for the lock";
        // This process's own read-modify-write, under the lock it holds.
        platform::ProfileDocument document(Read(ini));
        ASSERT_TRUE(document.Set("conf", "FromParent", "1"));
        ASSERT_EQ(platform::WriteFileAtomically(ini, document.Bytes()), "");
    }
    ::close(go[1]);
    ::close(waiting[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    guard.pid = -1;
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(platform::ReadProfileString(ini, "conf", "FromParent"), "1");
    EXPECT_EQ(platform::ReadProfileString(ini, "conf", "FromChild"), "2");
}

} // namespace
