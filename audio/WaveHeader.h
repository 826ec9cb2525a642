#pragma once

#include "audio/SoundFileSource.h"
#include "audio/WaveInfoRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

// Reading the header of a RIFF wave file with plain file reads: the "fmt " and
// "data" chunks give the one WaveInfoRecord every player and list relies on.
// Files come from shared servers and other programs; a damaged one gives
// Valid 0 (or -1 from FindChunk), never a read outside the file.
namespace WaveMMIO {

// With handle 0 the file is opened here and closed before returning; a given
// handle stays open and its position moves.
WaveInfoRecord ReadWaveHeader(std::string_view fileName, int handle);
WaveInfoRecord ReadWaveHeader(audiofile::SoundFileSource& file);

// 1 when the header is valid and PCM, or WAVE_FORMAT_EXTENSIBLE with PCM
// samples and allowExtensible non-zero; else 0.
int IsPlayableWave(std::string_view fileName, int handle, int allowExtensible);

// Whether the samples are plain PCM: tag 1, or WAVE_FORMAT_EXTENSIBLE whose
// sub-format is PCM (an A-law or mu-law one of the same width would sound as
// noise through a PCM player).
bool IsPcmWave(const WaveInfoRecord& info);

// The decoder type of a file by its format tag, valid or not: "wav", "mp2",
// "mp3", "wmariff"; otherwise the lower-case extension of the name.
std::string FileTypeByFormatTag(std::string_view fileName);

// Offset of the identifier of the (n+1)-th chunk with the identifier chunkId
// (the four characters as a little-endian number, see audiofile::FourCC), or
// -1 when there is none.
std::int64_t FindChunk(std::string_view fileName, int handle, std::uint32_t chunkId, int n);
std::int64_t FindChunk(audiofile::SoundFileSource& file, std::uint32_t chunkId, int n);

} // namespace WaveMMIO
