#include "audio/WaveHeader.h"

#include "audio/RiffChunks.h"
#include "audio/SampleFormats.h"
#include "audio/UnusableFormatLog.h"
#include "foundation/Paths.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <array>
#include <limits>
#include <string>

namespace WaveMMIO {

namespace {

constexpr std::int64_t MaxLong = std::numeric_limits<std::int32_t>::max();

// Bytes of the format chunk the reader needs, whatever its size field says.
constexpr std::size_t FormatBytes = 16;

// Rates and channel counts a player can size its buffers for. A header from a
// damaged or hostile file may claim anything (0x7FFFFFFF Hz, 65535 channels);
// such a file is refused before any player allocates by its numbers.
constexpr std::int32_t MinUsableRate = 1000;
constexpr std::int32_t MaxUsableRate = 192000;
constexpr std::int16_t MaxUsableChannels = 8;

// Bytes of a WAVE_FORMAT_EXTENSIBLE format chunk up to the end of its
// sub-format GUID, and where the GUID starts.
constexpr std::int64_t ExtensibleFormatBytes = 40;
constexpr std::int64_t SubFormatOffset = 24;
// The GUID family {xxxxxxxx-0000-0010-8000-00AA00389B71} whose first field is
// a plain format tag (1 PCM, 3 float, 6 A-law, 7 mu-law).
constexpr std::array<std::uint8_t, 12> SubFormatFamily{0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                                       0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

enum class FormatVerdict { Usable, Unusable, OutOfBounds };

// Fills the format fields at once, so a rejected format still tells its tag.
FormatVerdict ApplyFormat(std::span<const std::uint8_t> body, WaveInfoRecord& info)
{
    info.FormatTag = static_cast<std::int16_t>(audiofile::ReadU16(body, 0));
    info.Channels = static_cast<std::int16_t>(audiofile::ReadU16(body, 2));
    info.SampleRate = static_cast<std::int32_t>(audiofile::ReadU32(body, 4));
    info.Bits = static_cast<std::int16_t>(audiofile::ReadU16(body, 14));
    info.BlockAlign = static_cast<std::int32_t>(
        numeric::RoundToInt64(static_cast<double>(info.Bits) * static_cast<double>(info.Channels) / 8.0));
    if (info.Channels < 1 || info.Channels > MaxUsableChannels || info.SampleRate < MinUsableRate ||
        info.SampleRate > MaxUsableRate) {
        return FormatVerdict::OutOfBounds;
    }
    const int code = FormatCodeFor(info.Channels, info.Bits);
    if (code < 0) {
        return FormatVerdict::Unusable;
    }
    info.FormatCode = code;
    return FormatVerdict::Usable;
}

// The tag inside an extensible chunk's sub-format GUID; -1 when the chunk is
// too short to hold one or the GUID is of another family.
std::int32_t ReadSubFormatTag(audiofile::SoundFileSource& file, const audiofile::ChunkHeader& chunk)
{
    std::array<std::uint8_t, 16> guid{};
    if (!chunk.Size || *chunk.Size < ExtensibleFormatBytes || !file.ReadAt(chunk.Offset + 8 + SubFormatOffset, guid) ||
        !std::equal(SubFormatFamily.begin(), SubFormatFamily.end(), guid.begin() + 4)) {
        return -1;
    }
    const std::uint32_t tag = audiofile::ReadU32(guid, 0);
    return tag <= 0xFFFF ? static_cast<std::int32_t>(tag) : -1;
}

void LogOutOfBounds(const audiofile::SoundFileSource& file, const WaveInfoRecord& info)
{
    LogUnusableFormatOnce(file.Name(), "Wave format out of bounds (" + std::to_string(info.SampleRate) + " Hz, " +
                                           std::to_string(info.Channels) + " channels, " + std::to_string(info.Bits) +
                                           " bits):");
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
            if (!chunk.Size || !file.ReadAt(chunk.Offset + 8, body)) {
                return false;
            }
            const FormatVerdict verdict = ApplyFormat(body, info);
            if (verdict == FormatVerdict::OutOfBounds) {
                LogOutOfBounds(file, info);
            }
            if (verdict != FormatVerdict::Usable) {
                return false;
            }
            if (info.FormatTag == -2) {
                info.SubFormatTag = ReadSubFormatTag(file, chunk);
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
    return info.FormatTag == 1 || (info.FormatTag == -2 && allowExtensible != 0 && IsPcmWave(info)) ? 1 : 0;
}

bool IsPcmWave(const WaveInfoRecord& info)
{
    return info.FormatTag == 1 || (info.FormatTag == -2 && info.SubFormatTag == 1);
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
