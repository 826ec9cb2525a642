#include "foundation/Drives.h"
#include "platform/MountTable.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

namespace {

// A machine with a system disk, a USB stick, a CD, a RAM disk, a server share
// and a second disk whose mount point holds a blank.
class Drives : public testing::Test {
protected:
    void SetUp() override
    {
        fake.Write("mounts", "/dev/sda2 / ext4 rw,relatime 0 0\n"
                             "proc /proc proc rw 0 0\n"
                             "tmpfs /run tmpfs rw 0 0\n"
                             "/dev/sdb1 /media/op/STICK vfat rw 0 0\n"
                             "/dev/sr0 /media/op/CD iso9660 ro 0 0\n"
                             "//nas/sound /mnt/nas/sound cifs rw 0 0\n"
                             "/dev/sdc1 /srv/my\\040sounds ext4 rw 0 0\n"
                             "tmpfs /media/ram tmpfs rw 0 0\n"
                             "/dev/loop3 /snap/core/1 squashfs ro 0 0\n"
                             "garbage\n"
                             "\n");
        fake.Write("sys/block/sda/removable", "0\n");
        fake.Folder("sys/block/sda/sda2");
        fake.Write("sys/block/sdb/removable", "1\n");
        fake.Folder("sys/block/sdb/sdb1");
        fake.Write("sys/block/sdc/removable", "0\n");
        fake.Folder("sys/block/sdc/sdc1");
        fake.Write("sys/block/sr0/removable", "1\n");
        fake.Folder("labels");
        symlink("../../sdb1", (fake / "labels/MY\\x20STICK").c_str());
        platform::SetDriveSources({fake / "mounts", fake / "sys", fake / "labels"});
        setenv("TOLV_UNC_ROOT", "/mnt", 1);
        basic::DriveTable.clear();
    }
    void TearDown() override
    {
        platform::SetDriveSources({});
        unsetenv("TOLV_UNC_ROOT");
        basic::DriveTable.clear();
    }
    testsupport::ScratchFolder fake;
};

TEST_F(Drives, TheTableHoldsEveryDriveWithItsKindAndName)
{
    basic::BuildDriveTable();
    std::vector<std::tuple<std::string, std::string, int>> table;
    for (const auto& entry : basic::DriveTable) {
        table.emplace_back(entry.drive, entry.displayName, entry.driveType);
    }
    const std::vector<std::tuple<std::string, std::string, int>> expected = {
        {"/", "/", 3},
        {"/media/op/CD", "CD", 5},
        {"/media/op/STICK", "MY STICK", 2},
        {"/media/ram", "ram", 6},
        {"/mnt/nas/sound", "sound", 4},
        {"/srv/my sounds", "my sounds", 3},
    };
    EXPECT_EQ(table, expected);
}

TEST_F(Drives, DriveKindsOfPaths)
{
    EXPECT_EQ(basic::GetDriveKind("/media/op/STICK/jingles/a.wav", 0, 1), 1);
    EXPECT_EQ(basic::GetDriveKind("/media/op/STICK/jingles/a.wav", 0, 0), 0);
    EXPECT_EQ(basic::GetDriveKind("/media/op/CD/track01.wav", 0, 1), 1);
    EXPECT_EQ(basic::GetDriveKind("/home/op/a.wav", 0, 0), 1);
    EXPECT_EQ(basic::GetDriveKind("/home/op/a.wav", 0, 1), 0);
    EXPECT_EQ(basic::GetDriveKind("/srv/my sounds/a.wav", 0, 0), 1);
    EXPECT_EQ(basic::GetDriveKind("//nas/sound/a.wav", 0, 0), 0) << "a server share is no local disk";
    EXPECT_EQ(basic::GetDriveKind("//nas/sound/a.wav", 0, 1), 0);
    EXPECT_EQ(basic::GetDriveKind("D:\\a.wav", 0, 0), 0) << "an unknown drive";
    EXPECT_EQ(basic::GetDriveKind("", 0, 0), 0);
    EXPECT_FALSE(basic::DriveTable.empty());
    EXPECT_EQ(basic::GetDriveKind("/media/op/STICK", 1, 1), 1);
    EXPECT_TRUE(basic::DriveTable.empty()) << "dropped after use";
}

TEST_F(Drives, RootsOfLocalServerAndWindowsPaths)
{
    EXPECT_EQ(basic::GetPathRoot("/media/op/STICK/jingles/a.wav", 0), "/media/op/STICK/");
    EXPECT_EQ(basic::GetPathRoot("/media/op/STICK/jingles/a.wav", 1), "/media/op/STICK");
    EXPECT_EQ(basic::GetPathRoot("/media/op/STICKER/a.wav", 0), "/") << "mount points match whole folders";
    EXPECT_EQ(basic::GetPathRoot("/home/op/a.wav", 0), "/");
    EXPECT_EQ(basic::GetPathRoot("\"/srv/my sounds/a.wav\"", 0), "/srv/my sounds/");
    EXPECT_EQ(basic::GetPathRoot("\\\\srv\\share\\a.wav", 0), "\\\\srv\\");
    EXPECT_EQ(basic::GetPathRoot("\\\\srv\\share\\a.wav", 1), "\\\\srv");
    EXPECT_EQ(basic::GetPathRoot("//srv/share/a.wav", 0), "//srv/");
    EXPECT_EQ(basic::GetPathRoot("/mnt/nas/sound/a.wav", 0), "//nas/") << "a mounted share is its server";
    EXPECT_EQ(basic::GetPathRoot("\\\\srv", 0), "");
    EXPECT_EQ(basic::GetPathRoot("C:\\Snd\\a.wav", 0), "C:\\");
    EXPECT_EQ(basic::GetPathRoot("\"C:\\Snd\\a.wav\"", 1), "C:");
    EXPECT_EQ(basic::GetPathRoot("ab", 0), "");
    EXPECT_EQ(basic::GetPathRoot("relative/a.wav", 0), "");
}

TEST_F(Drives, AMissingMountTableLeavesNoDrives)
{
    platform::SetDriveSources({fake / "none", fake / "none", fake / "none"});
    basic::BuildDriveTable();
    EXPECT_TRUE(basic::DriveTable.empty());
    EXPECT_EQ(basic::GetDriveKind("/home/op/a.wav", 0, 0), 0);
    EXPECT_EQ(basic::GetPathRoot("/home/op/a.wav", 0), "/");
}

} // namespace
