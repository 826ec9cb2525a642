#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder for one test under $TOLV_TEST_FOLDER (or the system's
// temporary folder), removed with everything in it when the test ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder with a trailing "/".
    const std::string& Path() const { return path_; }
    // Path() & name.
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

    // Writes a file (creating its folders) and returns its full path.
    std::string Write(std::string_view name, std::string_view contents) const;
    // Creates a folder (and its parents) and returns its full path with "/".
    std::string Folder(std::string_view name) const;

private:
    std::string path_;
};

// The whole contents of a file ("" when it cannot be read).
std::string ReadText(const std::string& path);
// Sets a file's access and modification time to a local date and time.
void SetLocalFileTime(const std::string& path, int year, int month, int day, int hour, int minute, int second);
// Sets a file's modification time to seconds since 1970 (UTC).
void SetFileTimeSeconds(const std::string& path, std::int64_t seconds);
// The number of open descriptors of this process.
int OpenDescriptorCount();

} // namespace testsupport
