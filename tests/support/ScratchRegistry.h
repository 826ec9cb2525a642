#pragma once

#include "support/ScratchFolder.h"

#include <optional>
#include <string>
#include <string_view>

namespace testsupport {

// A registry of the test's own: a scratch folder whose "config" folder is
// the configuration home (XDG_CONFIG_HOME) for the life of the object, so
// that the program's settings and the keys outside tools write ("common")
// land there and nowhere else. The value before is put back at the end.
// The configuration home itself is not made: the program makes what it
// writes, and a test may check that a read wrote nothing.
class ScratchRegistry : public ScratchFolder {
public:
    ScratchRegistry();
    ~ScratchRegistry();
    ScratchRegistry(const ScratchRegistry&) = delete;
    ScratchRegistry& operator=(const ScratchRegistry&) = delete;

    // Path() & "config": what XDG_CONFIG_HOME names now.
    const std::string& ConfigHome() const { return configHome_; }
    // The folder of the company's registry key, with "/": "common.conf" and
    // each settings section's file lie in it.
    std::string CompanyKeyFolder() const;

    // Adds the line "key=value" to common.conf, making it if needed.
    void AddCommon(std::string_view key, std::string_view value) const;
    // Replaces common.conf with these lines.
    void WriteCommon(std::string_view lines) const;

private:
    std::string configHome_;
    std::optional<std::string> previousConfigHome_;
};

} // namespace testsupport
