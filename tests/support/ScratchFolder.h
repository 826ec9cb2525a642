#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace testsupport {

// A fresh folder for one test under the test process's own temporary folder,
// removed with everything in it when the test ends.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Folder() const { return folder_; }
    // The full path of a file name inside the folder.
    std::string Path(std::string_view name) const;

private:
    std::filesystem::path folder_;
};

} // namespace testsupport
