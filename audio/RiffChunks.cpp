#include "audio/RiffChunks.h"

#include <array>

namespace audiofile {

void WalkChunks(SoundFileSource& file, std::int64_t start, std::int64_t end,
                const std::function<bool(const ChunkHeader&)>& visit)
{
    std::int64_t offset = start;
    for (int walked = 0; walked < MaxChunksWalked; ++walked) {
        if (offset + 4 > end) {
            return;
        }
        std::array<std::uint8_t, 8> header{};
        ChunkHeader chunk;
        chunk.Offset = offset;
        if (offset + 8 <= end) {
            if (!file.ReadAt(offset, header)) {
                return;
            }
            chunk.Size = ReadU32(header, 4);
        } else if (!file.ReadAt(offset, std::span(header).first(4))) {
            return;
        }
        chunk.Id = ReadU32(header, 0);
        if (!visit(chunk) || !chunk.Size) {
            return;
        }
        const std::int64_t size = *chunk.Size;
        offset += size + 8 + (size % 2);
    }
}

} // namespace audiofile
