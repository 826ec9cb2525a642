#pragma once

#include <string>
#include <string_view>

namespace platform {

// Where a code page 932 file keeps its bytes from before it went over to
// UTF-8: "<its name>.cp932" beside it (beside the target of a link).
std::string KeptOriginalPath(const std::string& path);

struct KeptOriginal {
    bool ok = false;     // the original is kept (now, or from an earlier time)
    std::string path;    // where
    std::string failure; // why not, when !ok
};

// Keeps bytes, the file at path as it was before it goes over to UTF-8, in
// KeptOriginalPath(path), written atomically: every line is rewritten in
// another encoding then, and if the judgement that it was code page 932 was
// wrong, the kept bytes are what the operator wrote. A copy kept earlier is
// the older original and stays as it is. Logs where the original is.
KeptOriginal KeepOriginalOnce(const std::string& path, std::string_view bytes);
// Why a file that would go over was not saved, after KeepOriginalOnce failed.
std::string NotKeptNote(const KeptOriginal& kept);

} // namespace platform
