#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

void PutU16(Bytes& bytes, std::uint32_t value);
void PutU32(Bytes& bytes, std::uint32_t value);
void PutText(Bytes& bytes, std::string_view text);
// Writes bytes to path, replacing the file.
void WriteFile(const std::string& path, const Bytes& bytes);

// Builds RIFF/WAVE files chunk by chunk for the readers' tests, including
// damaged ones (size fields that lie, missing pad bytes).
class RiffFileBuilder {
public:
    struct CuePoint {
        std::uint32_t Id = 0;
        std::uint32_t SampleOffset = 0;
    };
    struct Segment {
        std::uint32_t CueId = 0;
        std::uint32_t Length = 0;
        std::uint32_t Loops = 0;
    };

    // A chunk whose size field is the body size; an odd body gets its pad byte.
    RiffFileBuilder& Chunk(std::string_view id, const Bytes& body);
    // A chunk with a size field of choice and no pad byte.
    RiffFileBuilder& ChunkWithSize(std::string_view id, std::uint32_t declaredSize, const Bytes& body);
    RiffFileBuilder& Raw(const Bytes& bytes);

    // A 16-byte format chunk; the block-align and byte-rate fields as a writer
    // would fill them.
    RiffFileBuilder& Format(int tag, int channels, std::uint32_t rate, int bits);
    // A 40-byte WAVE_FORMAT_EXTENSIBLE format chunk (PCM sub-format).
    RiffFileBuilder& FormatExtensible(int channels, std::uint32_t rate, int bits);
    // The same with the sub-format GUID of another tag (6 A-law, 7 mu-law).
    RiffFileBuilder& FormatExtensibleOf(int channels, std::uint32_t rate, int bits, std::uint16_t subFormatTag);
    RiffFileBuilder& Data(const Bytes& samples);
    // A data chunk declaring declaredSize bytes but holding only heldBytes.
    RiffFileBuilder& DataDeclared(std::uint32_t declaredSize, std::size_t heldBytes);
    RiffFileBuilder& Cues(const std::vector<CuePoint>& points);
    // A "cue " chunk whose count field says count whatever it holds.
    RiffFileBuilder& CueCount(std::uint32_t count, const std::vector<CuePoint>& points);
    RiffFileBuilder& PlayList(const std::vector<Segment>& segments);
    // A "LIST" chunk of the type with the given sub-chunks (see SubChunk).
    RiffFileBuilder& List(std::string_view type, const std::vector<Bytes>& subChunks);
    // Cues numbered from 1 at the given sample offsets, each with its label
    // in an "adtl" list; no chunk at all when there are none.
    RiffFileBuilder& LabelledCues(const std::vector<std::pair<std::uint32_t, std::string>>& cues);

    Bytes Build() const;
    void WriteTo(const std::string& path) const;

    // A sub-chunk with header and pad byte.
    static Bytes SubChunk(std::string_view id, const Bytes& body);
    // "labl" for a cue with the text bytes as given plus a NUL.
    static Bytes Label(std::uint32_t cueId, std::string_view textBytes, bool withNul = true);
    // "file" for a cue with a media type and data.
    static Bytes FileData(std::uint32_t cueId, std::uint32_t mediaType, std::string_view data);

private:
    Bytes chunks_;
};

} // namespace testsupport
