#include "RiffFileBuilder.h"

#include <fstream>
#include <stdexcept>

namespace testsupport {

void PutU16(Bytes& bytes, std::uint32_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void PutU32(Bytes& bytes, std::uint32_t value)
{
    PutU16(bytes, value & 0xFFFF);
    PutU16(bytes, value >> 16);
}

void PutText(Bytes& bytes, std::string_view text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void WriteFile(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path);
    }
}

RiffFileBuilder& RiffFileBuilder::Chunk(std::string_view id, const Bytes& body)
{
    const Bytes sub = SubChunk(id, body);
    chunks_.insert(chunks_.end(), sub.begin(), sub.end());
    return *this;
}

RiffFileBuilder& RiffFileBuilder::ChunkWithSize(std::string_view id, std::uint32_t declaredSize, const Bytes& body)
{
    PutText(chunks_, id);
    PutU32(chunks_, declaredSize);
    chunks_.insert(chunks_.end(), body.begin(), body.end());
    return *this;
}

RiffFileBuilder& RiffFileBuilder::Raw(const Bytes& bytes)
{
    chunks_.insert(chunks_.end(), bytes.begin(), bytes.end());
    return *this;
}

RiffFileBuilder& RiffFileBuilder::Format(int tag, int channels, std::uint32_t rate, int bits)
{
    Bytes body;
    const auto blockAlign = static_cast<std::uint32_t>(channels * bits / 8);
    PutU16(body, static_cast<std::uint32_t>(tag));
    PutU16(body, static_cast<std::uint32_t>(channels));
    PutU32(body, rate);
    PutU32(body, rate * blockAlign);
    PutU16(body, blockAlign);
    PutU16(body, static_cast<std::uint32_t>(bits));
    return Chunk("fmt ", body);
}

RiffFileBuilder& RiffFileBuilder::FormatExtensible(int channels, std::uint32_t rate, int bits)
{
    return FormatExtensibleOf(channels, rate, bits, 1);
}

RiffFileBuilder& RiffFileBuilder::FormatExtensibleOf(int channels, std::uint32_t rate, int bits,
                                                     std::uint16_t subFormatTag)
{
    Bytes body;
    const auto blockAlign = static_cast<std::uint32_t>(channels * bits / 8);
    PutU16(body, 0xFFFE);
    PutU16(body, static_cast<std::uint32_t>(channels));
    PutU32(body, rate);
    PutU32(body, rate * blockAlign);
    PutU16(body, blockAlign);
    PutU16(body, static_cast<std::uint32_t>(bits));
    PutU16(body, 22);                               // extension size
    PutU16(body, static_cast<std::uint32_t>(bits)); // valid bits
    PutU32(body, channels == 6 ? 0x3F : 0x3);       // channel mask
    // PCM sub-format GUID 00000001-0000-0010-8000-00AA00389B71
    // (the first field is the sub-format's tag: 1 PCM, 3 float, 6 A-law).
    Bytes guid{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    guid[0] = static_cast<std::uint8_t>(subFormatTag & 0xFF);
    guid[1] = static_cast<std::uint8_t>(subFormatTag >> 8);
    body.insert(body.end(), guid.begin(), guid.end());
    return Chunk("fmt ", body);
}

RiffFileBuilder& RiffFileBuilder::Data(const Bytes& samples)
{
    return Chunk("data", samples);
}

RiffFileBuilder& RiffFileBuilder::DataDeclared(std::uint32_t declaredSize, std::size_t heldBytes)
{
    return ChunkWithSize("data", declaredSize, Bytes(heldBytes, 0));
}

RiffFileBuilder& RiffFileBuilder::Cues(const std::vector<CuePoint>& points)
{
    return CueCount(static_cast<std::uint32_t>(points.size()), points);
}

RiffFileBuilder& RiffFileBuilder::CueCount(std::uint32_t count, const std::vector<CuePoint>& points)
{
    Bytes body;
    PutU32(body, count);
    for (const CuePoint& point : points) {
        PutU32(body, point.Id);
        PutU32(body, point.SampleOffset); // position in the play order
        PutText(body, "data");
        PutU32(body, 0); // chunk start
        PutU32(body, 0); // block start
        PutU32(body, point.SampleOffset);
    }
    return Chunk("cue ", body);
}

RiffFileBuilder& RiffFileBuilder::PlayList(const std::vector<Segment>& segments)
{
    Bytes body;
    PutU32(body, static_cast<std::uint32_t>(segments.size()));
    for (const Segment& segment : segments) {
        PutU32(body, segment.CueId);
        PutU32(body, segment.Length);
        PutU32(body, segment.Loops);
    }
    return Chunk("plst", body);
}

RiffFileBuilder& RiffFileBuilder::List(std::string_view type, const std::vector<Bytes>& subChunks)
{
    Bytes body;
    PutText(body, type);
    for (const Bytes& sub : subChunks) {
        body.insert(body.end(), sub.begin(), sub.end());
    }
    return Chunk("LIST", body);
}

RiffFileBuilder& RiffFileBuilder::LabelledCues(const std::vector<std::pair<std::uint32_t, std::string>>& cues)
{
    if (cues.empty()) {
        return *this;
    }
    std::vector<CuePoint> points;
    std::vector<Bytes> labels;
    std::uint32_t id = 1;
    for (const auto& [offset, label] : cues) {
        points.push_back({id, offset});
        labels.push_back(Label(id, label));
        ++id;
    }
    return Cues(points).List("adtl", labels);
}

Bytes RiffFileBuilder::Build() const
{
    Bytes file;
    PutText(file, "RIFF");
    PutU32(file, static_cast<std::uint32_t>(chunks_.size() + 4));
    PutText(file, "WAVE");
    file.insert(file.end(), chunks_.begin(), chunks_.end());
    return file;
}

void RiffFileBuilder::WriteTo(const std::string& path) const
{
    WriteFile(path, Build());
}

Bytes RiffFileBuilder::SubChunk(std::string_view id, const Bytes& body)
{
    Bytes sub;
    PutText(sub, id);
    PutU32(sub, static_cast<std::uint32_t>(body.size()));
    sub.insert(sub.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) {
        sub.push_back(0);
    }
    return sub;
}

Bytes RiffFileBuilder::Label(std::uint32_t cueId, std::string_view textBytes, bool withNul)
{
    Bytes body;
    PutU32(body, cueId);
    PutText(body, textBytes);
    if (withNul) {
        body.push_back(0);
    }
    return SubChunk("labl", body);
}

Bytes RiffFileBuilder::FileData(std::uint32_t cueId, std::uint32_t mediaType, std::string_view data)
{
    Bytes body;
    PutU32(body, cueId);
    PutU32(body, mediaType);
    PutText(body, data);
    return SubChunk("file", body);
}

} // namespace testsupport
