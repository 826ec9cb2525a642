#include "ScratchFolder.h"

#include <cstdlib>
#include <stdexcept>
#include <system_error>
#include <unistd.h>

namespace testsupport {

ScratchFolder::ScratchFolder()
{
    const char* base = std::getenv("TOLV_TEST_FOLDER");
    const std::filesystem::path parent = base != nullptr ? base : std::filesystem::temp_directory_path();
    std::string pattern = (parent / "scratch-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    folder_ = pattern;
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string ScratchFolder::Path(std::string_view name) const
{
    return (folder_ / name).string();
}

} // namespace testsupport
