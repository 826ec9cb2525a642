#include "foundation/ServerFolders.h"
#include "playback/CacheNames.h"

#include <gtest/gtest.h>

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
