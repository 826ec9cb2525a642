#include "playback/PagesRules.h"

#include "platform/base/TextCodec.h"

namespace playback {

std::string PageTitle(std::string_view fileTitle, std::string_view caption)
{
    if (fileTitle.empty()) {
        return std::string(caption);
    }
    // A table named with a byte of another code page shows it as "\xNN", as
    // the messages and the log do, not as a replacement character.
    return "[" + textcodec::ShowingStrayBytes(fileTitle) + "] " + std::string(caption);
}

std::string CopiedPageName(std::string_view caption, int page, std::string_view pageWord)
{
    if (!caption.empty()) {
        return std::string(caption);
    }
    return std::string(pageWord) + std::to_string(page + 1);
}

int SteppedPage(int page, int step, int pageNum)
{
    if (pageNum <= 0) {
        return 0;
    }
    const int next = page + step;
    if (next > pageNum - 1) {
        return 0;
    }
    if (next < 0) {
        return pageNum - 1;
    }
    return next;
}

int HighestRemovable(const std::vector<basic::DriveEntry>& drives)
{
    for (int i = static_cast<int>(drives.size()) - 1; i >= 0; --i) {
        if (drives[static_cast<std::size_t>(i)].driveType == 2) {
            return i;
        }
    }
    return -1;
}

RemovableScan ScanRemovableDrives(const std::vector<basic::DriveEntry>& drives,
                                  const std::function<std::string(const basic::DriveEntry&)>& firstFile)
{
    RemovableScan scan;
    for (int i = static_cast<int>(drives.size()) - 1; i >= 0; --i) {
        const basic::DriveEntry& drive = drives[static_cast<std::size_t>(i)];
        if (drive.driveType != 2) {
            continue;
        }
        if (scan.removableDrive == -1) {
            scan.removableDrive = i;
        }
        scan.found = firstFile(drive);
        if (!scan.found.empty()) {
            break;
        }
    }
    return scan;
}

} // namespace playback
