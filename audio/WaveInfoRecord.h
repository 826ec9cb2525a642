#pragma once

#include <cstdint>

// The program's one description of a wave file: players, cue positions, the
// information text, the list and the cache all take lengths, rates and
// formats from it. Fields that were not found stay 0.
struct WaveInfoRecord {
    std::int32_t Valid = 0;  // 1: a usable "fmt " chunk and a "data" chunk were found
    std::int32_t Frames = 0; // sample frames held, at most 2,147,483,647
    std::int32_t SampleRate = 0;
    std::int16_t Bits = 0;
    std::int16_t Channels = 0;
    std::int32_t BlockAlign = 0; // bits x channels / 8, not the file's own field
    std::int32_t DataOffset = 0; // file offset of the first sample byte
    std::int64_t DataSize = 0;   // sample bytes the file holds
    std::int64_t FileSize = 0;
    std::int32_t FormatCode = 0; // 0..9, see WaveMMIO::FormatCodeName
    std::int32_t LengthMS = 0;
    std::int32_t FormatTag = 0; // sign-extended: 1 PCM, -2 WAVE_FORMAT_EXTENSIBLE
    // WAVE_FORMAT_EXTENSIBLE only: the format tag its sub-format GUID carries
    // (1 PCM, 6 A-law, ...), -1 when the GUID is missing or of another family.
    // Its samples are PCM only when this is 1.
    std::int32_t SubFormatTag = 0;
};
