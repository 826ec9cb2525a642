#pragma once

#include <cstdint>
#include <string>

// One cue point of a wave file with what its play-list segment and its
// associated-data sub-chunks say about it.
struct CueRecord {
    std::int32_t HasFile = 0;      // 1: a "file" sub-chunk names this cue
    std::int32_t SampleOffset = 0; // position in sample frames
    std::int32_t PlayLength = 0;   // from the "plst" segment, else 0
    std::int32_t PlayLoops = 0;
    std::int32_t CueID = 0;
    std::int32_t MediaType = 0; // of the "file" sub-chunk
    std::string Label;          // text of the "labl" sub-chunk
    std::string FileData;       // data of the "file" sub-chunk as text
};
