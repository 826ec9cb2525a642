#include "audio/WaveHeader.h"

#include "audio/RiffChunks.h"
#include "audio/SampleFormats.h"
#include "foundation/Paths.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <array>
#include <limits>

namespace WaveMMIO {

namespace {

constexpr std::int64_t MaxLong = std::numeric_limits<std::int32_t>::max();

// Bytes of the format chunk the reader needs, whatever its size field says.
constexpr std::size_t FormatBytes = 16;

// Fills the format fields at once, so a rejected format still tells its tag.
// False when the program cannot play the channel and bit combination.
bool ApplyFormat(std::span<const std::uint8_t> body, WaveInfoRecord& info)
{
    info.FormatTag = static_cast<std::int16_t>(audiofile::ReadU16(body, 0));
    info.Channels = static_cast<std::int16_t>(audiofile::ReadU16(body, 2));
    info.SampleRate = static_cast<std::int32_t>(audiofile::ReadU32(body, 4));
    info.Bits = static_cast<std::int16_t>(audiofile::ReadU16(body, 14));
    info.BlockAlign = static_cast<std::int32_t>(
        numeric::RoundToInt64(static_cast<double>(info.Bits) * static_cast<double>(info.Channels) / 8.0));
    if (info.Channels < 1 || info.Channels > 8) {
        return false;
    }
    const int code = FormatCodeFor(info.Channels, info.Bits);
    if (code < 0) {
        return false;
    }
    info.FormatCode = code;
    return true;
}

void Complete(WaveInfoRecord& info, std::uint32_t declaredDataSize, std::int64_t fileSize)
{
    // A rate of 0 cannot give a length, and every caller divides by it.
    if (info.SampleRate < 1 || info.BlockAlign < 1) {
        return;
    }
    // A truncated copy, or a recorder's placeholder size, holds fewer bytes than
    // declared: count what the file holds, so playback ends where the sound does.
    const std::int64_t held = std::max<std::int64_t>(0, fileSize - info.DataOffset);
    info.DataSize = std::min<std::int64_t>(declaredDataSize, held);
    info.Frames = static_cast<std::int32_t>(std::min(info.DataSize / info.BlockAlign, MaxLong));
    const double ms = static_cast<double>(info.Frames) / static_cast<double>(info.SampleRate) * 1000.0;
    info.LengthMS = static_cast<std::int32_t>(std::min(numeric::RoundToInt64(ms), MaxLong));
    info.FileSize = fileSize;
    info.Valid = 1;
}

} // namespace

WaveInfoRecord ReadWaveHeader(audiofile::SoundFileSource& file)
{
    WaveInfoRecord info;
    const std::int64_t fileSize = file.Size();
    if (fileSize < 0) {
        return info;
    }
    bool formatSeen = false;
    bool dataSeen = false;
    std::uint32_t declaredDataSize = 0;
    audiofile::WalkChunks(file, audiofile::FirstChunkOffset, fileSize, [&](const audiofile::ChunkHeader& chunk) {
        if (chunk.Id == audiofile::FourCC("fmt ")) {
            std::array<std::uint8_t, FormatBytes> body{};
            if (!chunk.Size || !file.ReadAt(chunk.Offset + 8, body) || !ApplyFormat(body, info)) {
                return false;
            }
            formatSeen = true;
        } else if (chunk.Id == audiofile::FourCC("data")) {
            // The record carries the offset in 32 bits; data beyond cannot be played.
            if (chunk.Offset + 8 > MaxLong) {
                return false;
            }
            info.DataOffset = static_cast<std::int32_t>(chunk.Offset + 8);
            if (!chunk.Size) {
                return false;
            }
            declaredDataSize = *chunk.Size;
            dataSeen = true;
        }
        if (formatSeen && dataSeen) {
            Complete(info, declaredDataSize, fileSize);
            return false;
        }
        return true;
    });
    return info;
}

WaveInfoRecord ReadWaveHeader(std::string_view fileName, int handle)
{
    audiofile::SoundFileSource file(fileName, handle);
    return ReadWaveHeader(file);
}

int IsPlayableWave(std::string_view fileName, int handle, int allowExtensible)
{
    const WaveInfoRecord info = ReadWaveHeader(fileName, handle);
    if (info.Valid != 1) {
        return 0;
    }
    return info.FormatTag == 1 || (info.FormatTag == -2 && allowExtensible != 0) ? 1 : 0;
}

std::string FileTypeByFormatTag(std::string_view fileName)
{
    const WaveInfoRecord info = ReadWaveHeader(fileName, 0);
    switch (info.FormatTag) {
    case 1:
        return "wav";
    case 0x50:
        return "mp2";
    case 0x55:
        return "mp3";
    case 0x160:
    case 0x161:
        return "wmariff";
    default:
        return basic::GetPathPart(fileName, 0, 0, 0, 0, 1, 1);
    }
}

std::int64_t FindChunk(audiofile::SoundFileSource& file, std::uint32_t chunkId, int n)
{
    std::int64_t found = -1;
    int matches = 0;
    if (file.Size() < 0 || n < 0) {
        return -1;
    }
    audiofile::WalkChunks(file, audiofile::FirstChunkOffset, file.Size(), [&](const audiofile::ChunkHeader& chunk) {
        if (chunk.Id == chunkId) {
            if (matches == n) {
                found = chunk.Offset;
                return false;
            }
            ++matches;
        }
        return true;
    });
    return found;
}

std::int64_t FindChunk(std::string_view fileName, int handle, std::uint32_t chunkId, int n)
{
    audiofile::SoundFileSource file(fileName, handle);
    return FindChunk(file, chunkId, n);
}

} // namespace WaveMMIO
