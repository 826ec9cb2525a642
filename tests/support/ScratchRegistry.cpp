#include "support/ScratchRegistry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace testsupport {

namespace {

constexpr const char* ConfigHomeVariable = "XDG_CONFIG_HOME";

void WriteFile(const std::string& file, std::string_view text, std::ios::openmode mode)
{
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream(file, std::ios::binary | mode) << text;
}

} // namespace

ScratchRegistry::ScratchRegistry() : configHome_(Path() + "config")
{
    if (const char* previous = std::getenv(ConfigHomeVariable); previous != nullptr) {
        previousConfigHome_ = previous;
    }
    setenv(ConfigHomeVariable, configHome_.c_str(), 1);
}

ScratchRegistry::~ScratchRegistry()
{
    if (previousConfigHome_) {
        setenv(ConfigHomeVariable, previousConfigHome_->c_str(), 1);
    } else {
        unsetenv(ConfigHomeVariable);
    }
}

std::string ScratchRegistry::CompanyKeyFolder() const
{
    return configHome_ + "/Quorvant-registry/software/quorvant/";
}

void ScratchRegistry::AddCommon(std::string_view key, std::string_view value) const
{
    WriteFile(CompanyKeyFolder() + "common.conf", std::string(key) + "=" + std::string(value) + "\n", std::ios::app);
}

void ScratchRegistry::WriteCommon(std::string_view lines) const
{
    WriteFile(CompanyKeyFolder() + "common.conf", lines, std::ios::trunc);
}

} // namespace testsupport
