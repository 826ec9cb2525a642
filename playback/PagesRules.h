#pragma once

#include "foundation/Drives.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The rules of pages that need no window: page title, paste caption, the
// keypad page steps and the look for an assign table file on removable drives.
namespace playback {

// "[" file title "] " caption, or the caption alone without an open file; a
// byte of the title that is no part of a UTF-8 character shows as "\xNN".
std::string PageTitle(std::string_view fileTitle, std::string_view caption);
// The paste question's name of the copied page: its caption, or "ページ" /
// "Page" (pageWord) with the 1-based page number.
std::string CopiedPageName(std::string_view caption, int page, std::string_view pageWord);
// The page after (step 1) or before (step -1) page, wrapping within pageNum.
int SteppedPage(int page, int step, int pageNum);

// The highest removable drive of the table, -1 when none.
int HighestRemovable(const std::vector<basic::DriveEntry>& drives);

struct RemovableScan {
    int removableDrive = -1; // the highest removable drive, -1 none
    std::string found;       // the first assign table file found, "" none
};
// Looks at the removable drives from the last entry down, every one of them
// until one holds a file; firstFile gives the first assign table file in a
// drive's root ("" when none).
RemovableScan ScanRemovableDrives(const std::vector<basic::DriveEntry>& drives,
                                  const std::function<std::string(const basic::DriveEntry&)>& firstFile);

} // namespace playback
