#pragma once

#include <string>
#include <string_view>

namespace platform {
class Form;
}

// The version box of the Help menu.
namespace basic {

// Shows the version box (information, titled "バージョン情報") owned by owner,
// with leading (when not empty) on its first line.
void ShowVersionInfo(platform::Form* owner, std::string_view leading);

// The box's text: the leading text, maker and title, "version: " with the
// version as major.mm.rrrr, the executable's last-write time followed by
// "更新版", and "computer name: " with the machine's name.
std::string VersionInfoText(std::string_view leading, int major, int minor, int revision,
                            std::string_view executableTime, std::string_view computerName);

} // namespace basic
