#pragma once

#include "RiffFileBuilder.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace testsupport {

// One kind of MPEG audio frame, by the values of ISO/IEC 11172-3 / 13818-3.
struct MpegFrameSpec {
    int Version = 1; // 1: MPEG-1, 2: MPEG-2 (LSF), 25: MPEG-2.5
    int Layer = 3;
    int KbitPerSecond = 128;
    int SampleRate = 44100;
    int Mode = 1; // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
};

// The four header bytes of such a frame (no CRC, no padding).
Bytes MpegFrameHeader(const MpegFrameSpec& spec);
// Bytes of one such frame without padding.
std::size_t MpegFrameBytes(const MpegFrameSpec& spec);

// Builds MPEG audio files: tags, frames of silence and Xing headers.
class MpegFileBuilder {
public:
    // An ID3v2.3 tag whose size field says bodyBytes (the tag is 10 bytes more).
    MpegFileBuilder& Id3v2(std::uint32_t bodyBytes);
    MpegFileBuilder& Frames(const MpegFrameSpec& spec, int count);
    // A first frame carrying a Xing header with the frame count at the offset
    // the frame's side information gives (flags: frames present).
    MpegFileBuilder& XingFrame(const MpegFrameSpec& spec, std::uint32_t frameCount);
    // A frame-count header of another kind: "Xing" or "Info" after the side
    // information, "VBRI" 32 bytes after the frame header (frame count at 14).
    MpegFileBuilder& FrameCountFrame(const MpegFrameSpec& spec, std::uint32_t frameCount, std::string_view id);
    // An ID3v2.3 tag holding the body as given (size field = body size).
    MpegFileBuilder& Id3v2Holding(const Bytes& body);
    // A 128-byte ID3v1 "TAG" block.
    MpegFileBuilder& TrailingTag();
    MpegFileBuilder& Raw(const Bytes& bytes);

    std::size_t Size() const { return bytes_.size(); }
    const Bytes& Build() const { return bytes_; }
    void WriteTo(const std::string& path) const;

private:
    Bytes bytes_;
};

} // namespace testsupport
