#include "platform/ServerPaths.h"
#include "platform/base/LogSink.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

class ServerPaths : public testing::Test {
protected:
    void TearDown() override { unsetenv("TOLV_UNC_ROOT"); }
};

TEST_F(ServerPaths, TheUncRootComesFromTheEnvironment)
{
    unsetenv("TOLV_UNC_ROOT");
    EXPECT_EQ(platform::UncRoot(), "/mnt");
    setenv("TOLV_UNC_ROOT", "/srv/unc//", 1);
    EXPECT_EQ(platform::UncRoot(), "/srv/unc");
    for (const char* unusable : {"", "/", "relative/unc"}) {
        setenv("TOLV_UNC_ROOT", unusable, 1);
        EXPECT_EQ(platform::UncRoot(), "/mnt") << unusable;
    }
}

TEST_F(ServerPaths, ServerPathsLieUnderTheUncRoot)
{
    EXPECT_EQ(platform::NativePath("\\\\nas\\sound\\a.wav"), "/mnt/nas/sound/a.wav");
    EXPECT_EQ(platform::NativePath("//nas/sound"), "/mnt/nas/sound");
    EXPECT_EQ(platform::NativePath("/home/op/a.wav"), "/home/op/a.wav");
    EXPECT_EQ(platform::NativePath("C:\\Snd\\a.wav"), "C:/Snd/a.wav");
    EXPECT_EQ(platform::NativePath("///etc/passwd"), "") << "no host";
    EXPECT_EQ(platform::NativePath("\\\\"), "");
    EXPECT_EQ(platform::NativePath(std::string("/home/a\0.wav", 12)), "") << "a NUL inside";
    EXPECT_TRUE(platform::IsUnderUncRoot("/mnt/nas/sound/a.wav"));
    EXPECT_FALSE(platform::IsUnderUncRoot("/mnt"));
    EXPECT_FALSE(platform::IsUnderUncRoot("/mntx/nas"));
}

TEST_F(ServerPaths, DesktopPathsInAShareBecomeServerPaths)
{
    setenv("TOLV_UNC_ROOT", "/media/unc", 1);
    EXPECT_EQ(platform::FromDesktopPath("/media/unc/nas/sound/a.wav"), "//nas/sound/a.wav");
    EXPECT_EQ(platform::FromDesktopPath("/media/unc/nas/sound"), "//nas/sound");
    EXPECT_EQ(platform::FromDesktopPath("/media/unc/nas"), "/media/unc/nas") << "a host folder is no share";
    EXPECT_EQ(platform::FromDesktopPath("/media/unc/nas/"), "/media/unc/nas/");
    EXPECT_EQ(platform::FromDesktopPath("/media/unc"), "/media/unc");
    EXPECT_EQ(platform::FromDesktopPath("/media/uncle/nas/sound"), "/media/uncle/nas/sound");
    EXPECT_EQ(platform::FromDesktopPath("/home/op/a.wav"), "/home/op/a.wav");
    EXPECT_EQ(platform::NativePath(platform::FromDesktopPath("/media/unc/nas/sound/a b.wav")),
              "/media/unc/nas/sound/a b.wav");
}

} // namespace

namespace {

TEST_F(ServerPaths, AServerPathThatClimbsOutOfItsShareIsNotMapped)
{
    setenv("TOLV_UNC_ROOT", "/srv/unc", 1);
    std::vector<std::string> logged;
    platform::SetLogSink([&](std::string_view text, int) { logged.emplace_back(text); });
    // Climbing and coming back down inside the share is harmless.
    EXPECT_EQ(platform::NativePath("\\\\host\\share\\snd\\sub\\..\\..\\inside.wav"),
              "/srv/unc/host/share/snd/sub/../../inside.wav");
    EXPECT_EQ(platform::NativePath("//host/share/./a/../b.wav"), "/srv/unc/host/share/./a/../b.wav");
    EXPECT_TRUE(logged.empty());
    for (const char* hostile : {"\\\\host\\share\\snd\\..\\..\\outside.wav", "\\\\host\\share\\..\\..\\..\\etc\\passwd",
                                "//host/share/a/../../../x", "//../etc/passwd", "//host/../other/x", "//./share/x",
                                "//host/./x", "\\\\host\\share\\..", "//host/share/a/b/../../.."}) {
        logged.clear();
        EXPECT_EQ(platform::NativePath(hostile), "") << hostile;
        ASSERT_EQ(logged.size(), 1U) << hostile;
        EXPECT_NE(logged[0].find(hostile), std::string::npos) << logged[0];
    }
    platform::SetLogSink({});
}

TEST(RelativePaths, ClimbingAboveTheStartIsFoundWhateverTheSeparators)
{
    EXPECT_FALSE(platform::ClimbsAboveStart("news\\a.wav"));
    EXPECT_FALSE(platform::ClimbsAboveStart("a/../b"));
    EXPECT_FALSE(platform::ClimbsAboveStart("./a/./../b/"));
    EXPECT_FALSE(platform::ClimbsAboveStart("..a\\b..\\...")) << "only a part of exactly two dots climbs";
    EXPECT_TRUE(platform::ClimbsAboveStart(".."));
    EXPECT_TRUE(platform::ClimbsAboveStart("sub\\..\\..\\outside.wav"));
    EXPECT_TRUE(platform::ClimbsAboveStart("a/../../b/c/d"));
    EXPECT_TRUE(platform::ClimbsAboveStart("\\..\\x"));
}

} // namespace
