#include "audio/SoundFileSource.h"

#include "foundation/FileAccess.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>

namespace audiofile {

SoundFileSource::SoundFileSource(std::string_view fileName, int handle) : name_(fileName)
{
    if (handle != 0) {
        handle_ = handle;
    } else {
        handle_ = basic::OpenFileHandle(fileName, basic::OpenForRead, 0);
        ownsHandle_ = handle_ != 0;
    }
    if (handle_ != 0) {
        size_ = basic::GetFileSizeByHandle(handle_);
    }
}

SoundFileSource::~SoundFileSource()
{
    Close();
}

void SoundFileSource::Close()
{
    if (ownsHandle_) {
        basic::CloseFileHandle(handle_);
    }
    handle_ = 0;
    ownsHandle_ = false;
}

bool SoundFileSource::ReadAt(std::int64_t position, std::span<std::uint8_t> out)
{
    if (handle_ == 0 || size_ < 0 || position < 0 || position > size_ ||
        static_cast<std::int64_t>(out.size()) > size_ - position) {
        return false;
    }
    if (out.empty()) {
        return true;
    }
    const auto inBlock = [&] {
        return blockLength_ > 0 && position >= blockStart_ &&
               position + static_cast<std::int64_t>(out.size()) <=
                   blockStart_ + static_cast<std::int64_t>(blockLength_);
    };
    if (!inBlock()) {
        if (out.size() > BlockSize / 2) {
            return ReadDirect(position, out);
        }
        const auto length = static_cast<std::size_t>(std::min<std::int64_t>(BlockSize, size_ - position));
        blockLength_ = 0;
        if (!ReadDirect(position, std::span(block_).first(length))) {
            return false;
        }
        blockStart_ = position;
        blockLength_ = length;
    }
    std::memcpy(out.data(), block_.data() + (position - blockStart_), out.size());
    return true;
}

// A seek and a plain read, as the readers walk a file. Not basic::ReadFileAt:
// it closes the handle on a failed read, and a caller's handle must stay open.
bool SoundFileSource::ReadDirect(std::int64_t position, std::span<std::uint8_t> out)
{
    if (basic::SeekFile(handle_, position) != 0) {
        return false;
    }
    return platform::files::Read(handle_, out) == static_cast<std::int64_t>(out.size());
}

std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at)
{
    if (at + 4 > bytes.size()) {
        return 0;
    }
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 | static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    if (at + 2 > bytes.size()) {
        return 0;
    }
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t FourCC(std::string_view id)
{
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4 && i < id.size(); ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(id[i])) << (8 * i);
    }
    return value;
}

} // namespace audiofile
