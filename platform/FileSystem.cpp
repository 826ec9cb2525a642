#include "platform/FileSystem.h"

#include "platform/PosixFileSystem.h"

#include <atomic>

namespace platform {

namespace {
PosixFileSystem posixFileSystem;
// Read by the I/O threads as well.
std::atomic<FileSystem*> installedLayer{nullptr};
} // namespace

FileSystem& RawFileSystem()
{
    FileSystem* layer = installedLayer.load(std::memory_order_acquire);
    return layer != nullptr ? *layer : posixFileSystem;
}

void SetRawFileSystem(FileSystem* layer)
{
    installedLayer.store(layer, std::memory_order_release);
}

} // namespace platform
