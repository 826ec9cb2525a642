#pragma once

#include <array>
#include <cstdint>
#include <string>

// What the first frame header (and a Xing header) of an MPEG audio file says.
struct MpegInfo {
    std::int32_t HeaderPos = 1;  // 1-based position of the first frame header
    std::int32_t AudioBytes = 0; // from the header up to a trailing "TAG" or the end
    std::int32_t EndPos = 0;     // AudioBytes + HeaderPos - 1
    std::int32_t FileSize = 0;
    std::int32_t BufferBytes = 0; // bytes of 3456 samples at the bit rate
    std::int32_t IsVBR = 0;
    std::int32_t VbrFrames = 0;
    std::int32_t SampleRate = 0;
    std::int32_t IsLSF = 0;   // 1: MPEG-2 low sampling frequencies
    std::int32_t BitRate = 0; // kbit/s, the average for a Xing file
    std::int32_t Channels = 0;
    std::int32_t ChannelMode = 0; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
    std::int32_t Layer = 0;
    std::int32_t LengthMS = 0;
    std::string ShortText;                     // mp3(44.1kHz/128kb/JS)
    std::string LongText;                      // mp3(44100Hz/128kbps[VBR]/JointStereo)
    std::array<std::uint8_t, 3> HeaderBytes{}; // bytes 2..4 of the frame header
};
