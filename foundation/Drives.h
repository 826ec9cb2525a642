#pragma once

#include <string>
#include <string_view>
#include <vector>

// Roots and drives. A local path's root is the mount point that holds it, so
// the drive rules of the program work on mount points; a server path's root is
// its "//host/" part; a path written on Windows keeps its drive letter root.
namespace basic {

struct DriveEntry {
    // The mount point ("/" for the root file system, else without a trailing "/").
    std::string drive;
    // The file system label, else the mount point's last folder.
    std::string displayName;
    // 2 removable, 3 fixed, 4 remote, 5 CD-ROM, 6 RAM disk.
    int driveType = 0;
};

// The machine's drives in mount point order; built on first use and kept until
// a caller drops it.
extern std::vector<DriveEntry> DriveTable;

// The root of a path (double quotes removed) with its trailing separator, or
// without it when dropSeparator is set; "" when the path has none.
std::string GetPathRoot(std::string_view path, int dropSeparator);

void BuildDriveTable();

// With removableOrCd: 1 when the path is on a removable or CD-ROM drive;
// otherwise 1 when it is on a fixed local disk. 0 for a path on no known drive.
// dropTableAfter erases the table (rebuilt on the next call).
int GetDriveKind(std::string_view path, int dropTableAfter, int removableOrCd);

} // namespace basic
