#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder()
{
    const char* base = std::getenv("TOLV_TEST_FOLDER");
    std::string pattern = (fs::path(base != nullptr ? base : fs::temp_directory_path().c_str()) / "scratch-XXXXXX");
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "mkdtemp failed";
    }
    path_ = pattern + "/";
}

ScratchFolder::~ScratchFolder()
{
    // Make everything removable again, whatever a test did to permissions.
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(path_, fs::directory_options::skip_permission_denied, error);
         it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::remove_all(path_, error);
}

std::string ScratchFolder::Write(std::string_view name, std::string_view contents) const
{
    const fs::path full = fs::path(path_) / fs::path(std::string(name));
    fs::create_directories(full.parent_path());
    std::ofstream out(full, std::ios::binary);
    out << contents;
    return full.string();
}

std::string ScratchFolder::Folder(std::string_view name) const
{
    const fs::path full = fs::path(path_) / fs::path(std::string(name));
    fs::create_directories(full);
    return full.string() + "/";
}

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void SetLocalFileTime(const std::string& path, int year, int month, int day, int hour, int minute, int second)
{
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    SetFileTimeSeconds(path, static_cast<std::int64_t>(std::mktime(&local)));
}

void SetFileTimeSeconds(const std::string& path, std::int64_t seconds)
{
    timespec times[2]{};
    times[0].tv_sec = static_cast<time_t>(seconds);
    times[1].tv_sec = static_cast<time_t>(seconds);
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

int OpenDescriptorCount()
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        (void)entry;
        ++count;
    }
    return count;
}

} // namespace testsupport
