#pragma once

#include "audio/SoundFileSource.h"

#include <cstdint>
#include <functional>
#include <optional>

// The chunk walk of RIFF files, shared by the wave header, chunk search and
// cue list readers.
namespace audiofile {

// A real file has a few dozen chunks; the bound keeps a damaged file made of
// millions of empty chunks from stalling the caller.
inline constexpr int MaxChunksWalked = 65536;
// Offset of the first chunk after "RIFF", its size and "WAVE".
inline constexpr std::int64_t FirstChunkOffset = 12;

struct ChunkHeader {
    std::int64_t Offset = 0; // of the identifier
    std::uint32_t Id = 0;
    std::optional<std::uint32_t> Size; // empty when the size field lies past the end
};

// Visits the chunks whose identifier lies inside [start, end), in file order,
// until visit returns false, a read fails or a size field lies past end. A
// chunk's body is followed by a pad byte when its size is odd; a chunk of size
// 0 is stepped over, so it cannot hide the chunks after it.
void WalkChunks(SoundFileSource& file, std::int64_t start, std::int64_t end,
                const std::function<bool(const ChunkHeader&)>& visit);

} // namespace audiofile
