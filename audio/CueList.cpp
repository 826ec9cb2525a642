#include "audio/CueList.h"

#include "audio/RiffChunks.h"
#include "foundation/ByteText.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace WaveBWFJ {

namespace {

constexpr std::int64_t SmallestCueFile = 50;
constexpr std::int64_t CueEntryBytes = 24;
constexpr std::int64_t SegmentEntryBytes = 12;
constexpr std::uint32_t MaxSubChunkText = 512;

struct CueChunks {
    std::int64_t Cue = -1;
    std::int64_t PlayList = -1;
    std::int64_t Associated = -1; // the first "LIST" of type "adtl"
};

CueChunks FindCueChunks(audiofile::SoundFileSource& file)
{
    CueChunks found;
    audiofile::WalkChunks(file, audiofile::FirstChunkOffset, file.Size(), [&](const audiofile::ChunkHeader& chunk) {
        if (chunk.Id == audiofile::FourCC("cue ") && found.Cue < 0) {
            found.Cue = chunk.Offset;
        } else if (chunk.Id == audiofile::FourCC("plst") && found.PlayList < 0) {
            found.PlayList = chunk.Offset;
        } else if (chunk.Id == audiofile::FourCC("LIST") && found.Associated < 0) {
            std::array<std::uint8_t, 4> type{};
            if (!file.ReadAt(chunk.Offset + 8, type)) {
                return false; // a failed read ends the search for lists
            }
            if (audiofile::ReadU32(type, 0) == audiofile::FourCC("adtl")) {
                found.Associated = chunk.Offset;
            }
        }
        return true;
    });
    return found;
}

// The count at +8 of a table chunk and its entries from +12, read only when
// the file holds them all.
bool ReadTable(audiofile::SoundFileSource& file, std::int64_t chunk, std::int64_t entryBytes,
               std::vector<std::uint8_t>& entries, std::int32_t& count)
{
    std::array<std::uint8_t, 4> field{};
    if (!file.ReadAt(chunk + 8, field)) {
        return false;
    }
    const std::uint32_t declared = audiofile::ReadU32(field, 0);
    if (declared < 1 || declared > static_cast<std::uint32_t>(MaxCuePoints)) {
        return false;
    }
    const std::int64_t bytes = static_cast<std::int64_t>(declared) * entryBytes;
    if (bytes > file.Size() - (chunk + 12)) {
        return false;
    }
    entries.resize(static_cast<std::size_t>(bytes));
    if (!file.ReadAt(chunk + 12, entries)) {
        return false;
    }
    count = static_cast<std::int32_t>(declared);
    return true;
}

std::int32_t Signed(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::int32_t>(audiofile::ReadU32(bytes, at));
}

void ApplyPlayList(audiofile::SoundFileSource& file, std::int64_t chunk, std::vector<CueRecord>& cues,
                   const std::unordered_map<std::int32_t, std::size_t>& firstById)
{
    std::vector<std::uint8_t> entries;
    std::int32_t count = 0;
    if (chunk < 0 || !ReadTable(file, chunk, SegmentEntryBytes, entries, count)) {
        return;
    }
    for (std::int32_t i = 0; i < count; ++i) {
        const auto at = static_cast<std::size_t>(i) * SegmentEntryBytes;
        const auto cue = firstById.find(Signed(entries, at));
        if (cue != firstById.end()) {
            cues[cue->second].PlayLength = Signed(entries, at + 4);
            cues[cue->second].PlayLoops = Signed(entries, at + 8);
        }
    }
}

bool ReadText(audiofile::SoundFileSource& file, std::int64_t position, std::uint32_t length, int terminator,
              std::string& text)
{
    std::vector<std::uint8_t> bytes(std::min(length, MaxSubChunkText));
    if (!file.ReadAt(position, bytes)) {
        return false;
    }
    text = basic::BytesToTextLine(bytes, static_cast<int>(bytes.size()) - 1, terminator, 0);
    return true;
}

void ApplyAssociatedData(audiofile::SoundFileSource& file, std::int64_t list, std::vector<CueRecord>& cues,
                         const std::unordered_map<std::int32_t, std::size_t>& firstById)
{
    std::array<std::uint8_t, 4> field{};
    if (list < 0 || !file.ReadAt(list + 4, field)) {
        return;
    }
    // Sub-chunk headers must lie inside the list; their bodies inside the file.
    const std::int64_t end = std::min<std::int64_t>(list + 8 + audiofile::ReadU32(field, 0), file.Size());
    audiofile::WalkChunks(file, list + 12, end, [&](const audiofile::ChunkHeader& sub) {
        const bool label = sub.Id == audiofile::FourCC("labl");
        const bool fileData = sub.Id == audiofile::FourCC("file");
        if (!sub.Size || (!label && !fileData) || *sub.Size <= 6) {
            return true;
        }
        if (!file.ReadAt(sub.Offset + 8, field)) {
            return false;
        }
        const auto cue = firstById.find(Signed(field, 0));
        if (cue == firstById.end()) {
            return true;
        }
        CueRecord& record = cues[cue->second];
        if (label) {
            return ReadText(file, sub.Offset + 12, *sub.Size - 4, basic::TerminatorNul, record.Label);
        }
        record.HasFile = 1;
        if (!file.ReadAt(sub.Offset + 12, field)) {
            return false;
        }
        record.MediaType = Signed(field, 0);
        if (*sub.Size >= 9) { // data follows the cue identifier and media type
            return ReadText(file, sub.Offset + 16, *sub.Size - 8, basic::TerminatorCr, record.FileData);
        }
        return true;
    });
}

} // namespace

std::int32_t ReadCueList(audiofile::SoundFileSource& file, std::vector<CueRecord>& cues)
{
    cues.assign(1, CueRecord{});
    if (file.Size() < SmallestCueFile) {
        return 0;
    }
    const CueChunks chunks = FindCueChunks(file);
    std::vector<std::uint8_t> entries;
    std::int32_t count = 0;
    if (chunks.Cue < 0 || !ReadTable(file, chunks.Cue, CueEntryBytes, entries, count)) {
        return 0;
    }
    cues.assign(static_cast<std::size_t>(count), CueRecord{});
    std::unordered_map<std::int32_t, std::size_t> firstById;
    for (std::size_t i = 0; i < cues.size(); ++i) {
        const std::size_t at = i * CueEntryBytes;
        cues[i].CueID = Signed(entries, at);
        cues[i].SampleOffset = Signed(entries, at + 20);
        firstById.try_emplace(cues[i].CueID, i);
    }
    ApplyPlayList(file, chunks.PlayList, cues, firstById);
    ApplyAssociatedData(file, chunks.Associated, cues, firstById);
    return count;
}

std::int32_t ReadCueList(std::string_view fileName, int handle, std::vector<CueRecord>& cues)
{
    audiofile::SoundFileSource file(fileName, handle);
    return ReadCueList(file, cues);
}

} // namespace WaveBWFJ
