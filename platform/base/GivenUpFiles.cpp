#include "platform/base/GivenUpFiles.h"

#include <memory>
#include <mutex>
#include <unordered_map>

namespace platform::givenup {

struct Mark::Registry {
    std::mutex mutex;
    std::unordered_map<std::string, int> calls;
};

namespace {

// Each mark holds the registry too: a call stuck past the program's exit
// still finds it should it ever come back.
std::shared_ptr<Mark::Registry> TheRegistry()
{
    static const std::shared_ptr<Mark::Registry> registry = std::make_shared<Mark::Registry>();
    return registry;
}

} // namespace

Mark::Mark(std::string file) : registry_(TheRegistry()), file_(std::move(file))
{
    if (file_.empty()) {
        return;
    }
    std::lock_guard lock(registry_->mutex);
    ++registry_->calls[file_];
}

Mark::~Mark()
{
    if (file_.empty()) {
        return;
    }
    std::lock_guard lock(registry_->mutex);
    const auto found = registry_->calls.find(file_);
    if (found != registry_->calls.end() && --found->second == 0) {
        registry_->calls.erase(found);
    }
}

std::vector<std::string> Files()
{
    const std::shared_ptr<Mark::Registry> registry = TheRegistry();
    std::lock_guard lock(registry->mutex);
    std::vector<std::string> files;
    files.reserve(registry->calls.size());
    for (const auto& entry : registry->calls) {
        files.push_back(entry.first);
    }
    return files;
}

} // namespace platform::givenup
