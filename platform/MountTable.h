#pragma once

#include <string>
#include <string_view>
#include <vector>

// What the machine has mounted, and which mounts count as drives: the mount
// table stands in for drive letters, sysfs tells removable disks.
namespace platform {

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string fsType;
};

// Where the mount table, the block devices and the labels are read; tests
// point them at a fake tree.
struct DriveSources {
    std::string mounts = "/proc/self/mounts";
    std::string sysRoot = "/sys";
    std::string labels = "/dev/disk/by-label";
};
const DriveSources& CurrentDriveSources();
void SetDriveSources(DriveSources sources);

// Drive types, with the numbers the program has always used.
inline constexpr int DriveRemovable = 2;
inline constexpr int DriveFixed = 3;
inline constexpr int DriveRemote = 4;
inline constexpr int DriveCdRom = 5;
inline constexpr int DriveRamDisk = 6;

// The mounts in table order; unreadable or malformed lines are skipped.
std::vector<MountEntry> ReadMountTable();

// The mount point that holds an absolute native path (the last mount wins
// where several share a point); "" for a relative path.
std::string MountPointOf(std::string_view nativePath, const std::vector<MountEntry>& mounts);

// True for a file system whose calls may wait as long as a server or a
// program of its own likes: network file systems (NFS, SMB, 9p, Ceph ...) and
// FUSE ("fuse", "fuse.*"; not "fuseblk", a local disk read by a program).
bool IsNetworkFileSystem(std::string_view fsType);

// The mount point of the network or FUSE file system that holds an absolute
// native path, also one reached through a link in a local folder; "" when a
// local file system holds it. Asked before every file
// call, so the table is kept and read again only once the machine's mounts
// changed (a fake table of a test: at every call).
std::string NetworkMountOf(std::string_view nativePath);

// The drive type of a mount, 0 for a mount that is no drive (proc, sysfs,
// the system's own temporary file systems ...).
int DriveTypeOf(const MountEntry& mount);

// The file system label of the mount's device, "" when it has none.
std::string DriveLabel(const MountEntry& mount);

} // namespace platform
