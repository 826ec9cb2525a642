#include "platform/MountTable.h"

#include "platform/LocalLinks.h"
#include "platform/base/Numbers.h"

#include <fcntl.h>
#include <linux/magic.h>
#include <poll.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <sstream>
#include <system_error>

namespace platform {

namespace {

namespace fs = std::filesystem;
using numeric::HexDigitValue;

DriveSources& Sources()
{
    static DriveSources sources;
    return sources;
}

// The table writes blanks, tabs, line breaks and backslashes as \ooo.
std::string Unescape(std::string_view field)
{
    std::string text;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string_view digits = field.substr(i + 1, 3);
            if (digits.size() == 3 &&
                std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '7'; })) {
                text += static_cast<char>((digits[0] - '0') * 64 + (digits[1] - '0') * 8 + (digits[2] - '0'));
                i += 3;
                continue;
            }
        }
        text += field[i];
    }
    return text;
}

// udev writes a blank in a label's link name as \x20.
std::string UnescapeLabel(std::string_view name)
{
    std::string text;
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (name[i] == '\\' && i + 3 < name.size() && name[i + 1] == 'x' && HexDigitValue(name[i + 2]) >= 0 &&
            HexDigitValue(name[i + 3]) >= 0) {
            text += static_cast<char>(HexDigitValue(name[i + 2]) * 16 + HexDigitValue(name[i + 3]));
            i += 3;
            continue;
        }
        text += name[i];
    }
    return text;
}

bool IsBelow(std::string_view path, std::string_view folder)
{
    if (folder == "/") {
        return !path.empty() && path.front() == '/';
    }
    return path.starts_with(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

bool IsOneOf(std::string_view value, std::initializer_list<std::string_view> list)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

std::string ReadFirstLine(const fs::path& path)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line);
    return line;
}

// The block device name behind a device path: "/dev/sdb1" gives "sdb1",
// "/dev/disk/by-uuid/..." the name of the device it links to.
std::string BlockName(const std::string& device)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(device, error);
    return (error ? fs::path(device) : resolved).filename().string();
}

// "removable" of the disk holding a block device: the device itself when it is
// a whole disk, else the disk that lists it as a partition.
bool IsRemovable(const std::string& name)
{
    const fs::path block = fs::path(Sources().sysRoot) / "block";
    std::error_code error;
    if (fs::exists(block / name / "removable", error)) {
        return ReadFirstLine(block / name / "removable") == "1";
    }
    for (fs::directory_iterator it(block, error), end; !error && it != end; it.increment(error)) {
        if (fs::exists(it->path() / name, error)) {
            return ReadFirstLine(it->path() / "removable") == "1";
        }
    }
    return false;
}

} // namespace

const DriveSources& CurrentDriveSources()
{
    return Sources();
}

void SetDriveSources(DriveSources sources)
{
    Sources() = std::move(sources);
}

std::vector<MountEntry> ParseMountTable(std::istream& in)
{
    std::vector<MountEntry> mounts;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string device;
        std::string point;
        std::string type;
        if (!(fields >> device >> point >> type) || point.empty() || point.front() != '/') {
            continue;
        }
        mounts.push_back({Unescape(device), Unescape(point), type});
    }
    return mounts;
}

// The deepest mount holding the path (the last where several share a
// point), null for a relative path or an empty table.
const MountEntry* MountOf(std::string_view nativePath, const std::vector<MountEntry>& mounts)
{
    if (nativePath.empty() || nativePath.front() != '/') {
        return nullptr;
    }
    const MountEntry* best = nullptr;
    std::size_t bestLength = 0;
    for (const MountEntry& mount : mounts) {
        std::string_view point = mount.mountPoint;
        while (point.size() > 1 && point.back() == '/') {
            point.remove_suffix(1);
        }
        if (IsBelow(nativePath, point) && (best == nullptr || point.size() >= bestLength)) {
            best = &mount;
            bestLength = point.size();
        }
    }
    return best;
}

// The mount table as last read, with the descriptor that tells when the
// kernel's changed: /proc/self/mounts reports a mount or unmount as a
// priority event.
class KeptMountTable {
public:
    ~KeptMountTable() { Close(); }

    // Kept by the caller while it looks at the disks, which may take a while.
    std::shared_ptr<const std::vector<MountEntry>> Current()
    {
        std::lock_guard lock(mutex_);
        Refresh();
        return mounts_;
    }

private:
    void Close()
    {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }

    void Refresh()
    {
        const std::string& source = Sources().mounts;
        if (source != source_ || fd_ < 0) {
            Close();
            source_ = source;
            fd_ = ::open(source.c_str(), O_RDONLY | O_CLOEXEC);
            struct statfs kind {};
            watched_ = fd_ >= 0 && ::fstatfs(fd_, &kind) == 0 && kind.f_type == PROC_SUPER_MAGIC;
            if (watched_) {
                pollfd changed{fd_, POLLPRI, 0};
                ::poll(&changed, 1, 0); // takes the event of the opening itself
            }
            Read();
            return;
        }
        if (watched_) {
            pollfd changed{fd_, POLLPRI, 0};
            if (::poll(&changed, 1, 0) <= 0 || (changed.revents & (POLLPRI | POLLERR)) == 0) {
                return;
            }
        }
        Read();
    }

    void Read()
    {
        std::string text;
        if (fd_ >= 0) {
            char buffer[16384];
            off_t offset = 0;
            for (;;) {
                const ssize_t n = ::pread(fd_, buffer, sizeof buffer, offset);
                if (n <= 0) {
                    break;
                }
                text.append(buffer, static_cast<std::size_t>(n));
                offset += n;
            }
        }
        std::istringstream in(text);
        mounts_ = std::make_shared<const std::vector<MountEntry>>(ParseMountTable(in));
    }

    std::mutex mutex_;
    std::string source_;
    int fd_ = -1;
    bool watched_ = false;
    std::shared_ptr<const std::vector<MountEntry>> mounts_ = std::make_shared<const std::vector<MountEntry>>();
};

KeptMountTable& KeptMounts()
{
    static KeptMountTable table;
    return table;
}

std::vector<MountEntry> ReadMountTable()
{
    std::ifstream in(Sources().mounts);
    return ParseMountTable(in);
}

std::string MountPointOf(std::string_view nativePath, const std::vector<MountEntry>& mounts)
{
    if (nativePath.empty() || nativePath.front() != '/') {
        return {};
    }
    const MountEntry* mount = MountOf(nativePath, mounts);
    if (mount == nullptr) {
        return "/";
    }
    std::string point = mount->mountPoint;
    while (point.size() > 1 && point.back() == '/') {
        point.pop_back();
    }
    return point;
}

bool IsNetworkFileSystem(std::string_view fsType)
{
    return IsOneOf(fsType, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "9p", "afs", "ceph", "glusterfs",
                            "lustre", "gpfs", "beegfs", "orangefs", "ocfs2", "gfs2", "coda", "davfs", "virtiofs",
                            "sshfs", "fuse"}) ||
           fsType.starts_with("fuse.");
}

std::string NetworkMountOf(std::string_view nativePath)
{
    const std::shared_ptr<const std::vector<MountEntry>> mounts = KeptMounts().Current();
    const auto networkMount = [&mounts](std::string_view path) {
        const MountEntry* mount = MountOf(path, *mounts);
        return mount != nullptr && IsNetworkFileSystem(mount->fsType) ? MountPointOf(path, *mounts) : std::string();
    };
    // A local folder may lead into a share through a link.
    return networkMount(
        FollowLocalLinks(nativePath, [&networkMount](const std::string& path) { return !networkMount(path).empty(); }));
}

int DriveTypeOf(const MountEntry& mount)
{
    const std::string& type = mount.fsType;
    const std::string& point = mount.mountPoint;
    if (IsOneOf(type, {"nfs", "nfs4", "cifs", "smb3", "smbfs", "fuse.sshfs", "9p", "afs", "ceph", "glusterfs"})) {
        return DriveRemote;
    }
    const bool systemPoint = point.starts_with("/proc") || point.starts_with("/sys") || point.starts_with("/dev") ||
                             point.starts_with("/run") || point.starts_with("/boot/efi");
    if (IsOneOf(type, {"tmpfs", "ramfs"})) {
        return systemPoint || point == "/tmp" ? 0 : DriveRamDisk;
    }
    if (IsOneOf(type, {"iso9660", "udf"})) {
        return DriveCdRom;
    }
    if (point == "/") {
        return DriveFixed;
    }
    if (systemPoint || !mount.device.starts_with("/dev/")) {
        return 0;
    }
    const std::string name = BlockName(mount.device);
    if (name.starts_with("sr")) {
        return DriveCdRom;
    }
    if (name.starts_with("loop")) {
        return 0; // snap and image mounts
    }
    return IsRemovable(name) ? DriveRemovable : DriveFixed;
}

std::string DriveLabel(const MountEntry& mount)
{
    if (!mount.device.starts_with("/dev/")) {
        return {};
    }
    const std::string name = BlockName(mount.device);
    std::error_code error;
    for (fs::directory_iterator it(Sources().labels, error), end; !error && it != end; it.increment(error)) {
        const fs::path target = fs::read_symlink(it->path(), error);
        if (!error && target.filename() == name) {
            return UnescapeLabel(it->path().filename().string());
        }
        error.clear();
    }
    return {};
}

} // namespace platform
