#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// A waveOut player's read cache: one large read of the file serves the next
// several pages, so that most polls copy from memory instead of reading the
// disk. Its memory is reserved when a file is loaded, so polls never allocate.
class DiskReadCache {
public:
    enum class Result {
        Copied, // every byte asked for
        Short,  // the file ends first: the bytes up to its end were copied
        Failed, // the read failed; nothing copied
    };

    // Makes room for reloads of up to bytes bytes.
    void Reserve(std::size_t bytes);
    // Gives its memory back, unless it is no larger than keptBytes: then it
    // stays, its pages touched, for the next file (see KeptBufferBytes).
    void Release(std::size_t keptBytes = 0);
    // Forgets what it holds (another file was loaded).
    void Empty();
    bool IsEmpty() const { return held_ == 0; }
    // True when every byte of position .. position + count - 1 is held.
    bool Holds(std::int64_t position, std::size_t count) const;

    // Copies destination.size() bytes of the file from position. Unless the
    // whole range is held, first reloads reloadBytes bytes from position (fewer
    // where the sound data ends at dataEnd) through handle, which is opened by
    // path when 0, kept open, and 0 again after a failed read. copied gets
    // the bytes copied.
    Result Read(std::span<std::uint8_t> destination, std::int64_t position, std::int64_t dataEnd,
                std::size_t reloadBytes, int& handle, std::string_view path, std::size_t& copied);

    std::int64_t Start() const { return start_; }
    // The last byte held; 0 when empty.
    std::int64_t End() const { return held_ == 0 ? 0 : start_ + static_cast<std::int64_t>(held_) - 1; }

private:
    // Shared with a reload in progress: its read may wait and let other work
    // run, which may reserve anew or release; the memory it reads into stays
    // alive until it comes back.
    std::shared_ptr<std::vector<std::uint8_t>> bytes_ = std::make_shared<std::vector<std::uint8_t>>();
    std::int64_t start_ = 0;
    std::size_t held_ = 0;
};
