#include "playback/CacheNames.h"
#include "foundation/ModuleValues.h"
#include "foundation/ServerFolders.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace playback;

namespace {

class CacheNames : public ::testing::Test {
protected:
    void SetUp() override
    {
        saved_ = FCT_Quind::Servers;
        savedLocal_ = FCT_Quind::LocalPath;
        for (auto& server : FCT_Quind::Servers) {
            server.SrvPath.clear();
        }
        FCT_Quind::Servers[0].SrvPath = "S:\\snd\\";
        FCT_Quind::Servers[1].SrvPath = "\\\\other\\share\\";
        FCT_Quind::LocalPath = "C:\\local\\";
    }
    void TearDown() override
    {
        FCT_Quind::Servers = saved_;
        FCT_Quind::LocalPath = savedLocal_;
    }

private:
    std::array<FCT_Quind::ServerFolder, FCT_Quind::ServerCount> saved_;
    std::string savedLocal_;
};

} // namespace

TEST_F(CacheNames, CurrentServerKeepsSubFoldersOthersMapFlat)
{
    EXPECT_EQ(GetLocalFilename("S:\\snd\\news\\a.wav"), "C:\\local\\news\\a.wav");
    EXPECT_EQ(GetLocalFilename("s:\\SND\\news\\a.wav"), "C:\\local\\news\\a.wav");
    EXPECT_EQ(GetLocalFilename("\\\\other\\share\\x\\c.wav"), "C:\\local\\c.wav");
    EXPECT_EQ(GetLocalFilename("D:\\sounds\\b.wav"), "C:\\local\\b.wav");
}

TEST_F(CacheNames, ServerNameOnlyForFilesOfTheLocalFolder)
{
    EXPECT_EQ(GetServerFilename("C:\\local\\news\\a.wav"), "S:\\snd\\news\\a.wav");
    EXPECT_EQ(GetServerFilename("c:\\LOCAL\\a.wav"), "S:\\snd\\a.wav");
    EXPECT_EQ(GetServerFilename("D:\\sounds\\b.wav"), "");
    // Only the leading folder is replaced, never the same text further on.
    EXPECT_EQ(GetServerFilename("D:\\C:\\local\\b.wav"), "");
    FCT_Quind::Servers[0].SrvPath.clear();
    EXPECT_EQ(GetServerFilename("C:\\local\\a.wav"), "");
}

TEST_F(CacheNames, ANameLeadingOutOfTheCacheFolderNamesNoCopy)
{
    testsupport::ScratchFolder scratch;
    const std::string savedFolder = basic::LogFolder;
    const int savedLogError = basic::LogError;
    basic::LogFolder = scratch.Folder("log");
    basic::LogError = 1;
    FCT_Quind::Servers[0].SrvPath = "\\\\host\\share\\snd\\";

    // Down and up again inside the server folder stays inside the cache.
    EXPECT_EQ(GetLocalFilename("\\\\host\\share\\snd\\a\\..\\b.wav"), "C:\\local\\a\\..\\b.wav");
    // Out of it: no cache copy, so the sound plays from its own path.
    EXPECT_EQ(GetLocalFilename("\\\\host\\share\\snd\\sub\\..\\..\\outside.wav"), "");
    EXPECT_EQ(GetLocalFilename("\\\\HOST\\share\\snd\\..\\x.wav"), "");
    EXPECT_EQ(GetLocalFilename("//host/share/snd/a/../../../etc/passwd"), "");
    // A flat name of exactly ".." would be the cache folder's parent.
    EXPECT_EQ(GetLocalFilename("D:\\sounds\\.."), "");
    // Back from the cache, nothing leads out of the server folder either.
    EXPECT_EQ(GetServerFilename("C:\\local\\a\\..\\..\\x.wav"), "");
    EXPECT_EQ(GetServerFilename("C:\\local\\a\\..\\x.wav"), "\\\\host\\share\\snd\\a\\..\\x.wav");

    std::string log;
    for (const auto& entry : std::filesystem::directory_iterator(basic::LogFolder)) {
        log += testsupport::ReadText(entry.path().string());
    }
    EXPECT_NE(log.find("sub\\..\\..\\outside.wav"), std::string::npos) << log;
    EXPECT_NE(log.find("D:\\sounds\\.."), std::string::npos) << log;
    basic::LogFolder = savedFolder;
    basic::LogError = savedLogError;
}
