#include "audio/DiskReadCache.h"

#include "foundation/FileAccess.h"

#include <algorithm>
#include <cstring>

void DiskReadCache::Reserve(std::size_t bytes)
{
    if (bytes_->size() < bytes) {
        // New memory, never a resize: a reload waiting on the old one still writes into it.
        bytes_ = std::make_shared<std::vector<std::uint8_t>>(bytes, 0);
        Empty();
    }
}

void DiskReadCache::Release(std::size_t keptBytes)
{
    if (bytes_->capacity() > keptBytes) {
        bytes_ = std::make_shared<std::vector<std::uint8_t>>();
    }
    Empty();
}

void DiskReadCache::Empty()
{
    start_ = 0;
    held_ = 0;
}

bool DiskReadCache::Holds(std::int64_t position, std::size_t count) const
{
    return held_ > 0 && position >= start_ &&
           position + static_cast<std::int64_t>(count) <= start_ + static_cast<std::int64_t>(held_);
}

DiskReadCache::Result DiskReadCache::Read(std::span<std::uint8_t> destination, std::int64_t position,
                                          std::int64_t dataEnd, std::size_t reloadBytes, int& handle,
                                          std::string_view path, std::size_t& copied)
{
    copied = 0;
    const std::size_t count = destination.size();
    if (!Holds(position, count)) {
        std::int64_t n = static_cast<std::int64_t>(std::max(reloadBytes, count));
        n = std::min(n, dataEnd - position);
        if (n < 1 || position < 0) {
            return Result::Failed;
        }
        // Grows only when a caller asks for more than was reserved.
        Reserve(static_cast<std::size_t>(n));
        std::int64_t got = 0;
        const std::shared_ptr<std::vector<std::uint8_t>> reading = bytes_;
        handle = basic::ReadFileAt(std::span<std::uint8_t>(reading->data(), static_cast<std::size_t>(n)), position,
                                   handle, path, 0, &got);
        if (reading != bytes_) {
            // Reserved anew or released while the read waited: what came
            // back is not the cache's, and nothing the cache holds was touched.
            return Result::Failed;
        }
        if (handle == 0) {
            // Part of the cache may have been overwritten: it no longer holds anything.
            Empty();
            return Result::Failed;
        }
        start_ = position;
        held_ = static_cast<std::size_t>(got);
    }
    if (Holds(position, count)) {
        std::memcpy(destination.data(), bytes_->data() + (position - start_), count);
        copied = count;
        return Result::Copied;
    }
    // The file ends inside the range: copy what it still holds.
    if (held_ > 0 && position >= start_ && position < start_ + static_cast<std::int64_t>(held_)) {
        copied = static_cast<std::size_t>(start_ + static_cast<std::int64_t>(held_) - position);
        std::memcpy(destination.data(), bytes_->data() + (position - start_), copied);
    }
    return Result::Short;
}
