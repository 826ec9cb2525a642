#pragma once

#include <cstdint>
#include <string_view>

namespace cache {

class FileHandEngine;

// The file compare of the file transfer control: reads two files side by
// side (on the I/O thread, in pieces of at most 1 MiB) and stops at the first
// difference, raising HikakuProg once per pass. It shares the engine's cancel
// flag, error code and face.
class FileCompare {
public:
    explicit FileCompare(FileHandEngine& engine) : engine_(engine) {}

    // 1 when both files have the same size above 0 and the same bytes, else
    // 0: also when a read fails or comes up short, after a cancel (code 1) and
    // when the pass budget ran out (code 13), which never counts as equal.
    // pInt: the pause between the reads of the two files in ms (0: 10 ms);
    // pSize: the bytes of a pass (below 1: 8 MiB).
    std::int32_t HikakuFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt = 0,
                            std::int64_t pSize = 0);

private:
    void Progress(float rate) const;

    FileHandEngine& engine_;
};

} // namespace cache
