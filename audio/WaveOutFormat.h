#pragma once

#include "audio/WaveInfoRecord.h"
#include "platform/audio/StreamFormat.h"

#include <array>
#include <cstdint>

// The output format a waveOut player gives each of its devices, and how a
// file's channels are spread over them: a 6- or 8-channel file goes either to
// one device whole (WAVE_FORMAT_EXTENSIBLE) or as stereo pairs to 3 or 4
// devices.
struct WaveOutFormat {
    static constexpr std::int32_t TagPcm = 1;
    static constexpr std::int32_t TagExtensible = 0xFFFE;
    // Speaker positions of the extensible format's channel mask.
    static constexpr std::uint32_t Mask51 = 0x3F;  // FL FR FC LFE BL BR
    static constexpr std::uint32_t Mask71 = 0x63F; // 5.1 and SL SR
    // KSDATAFORMAT_SUBTYPE_PCM, {00000001-0000-0010-8000-00AA00389B71}.
    static constexpr std::array<std::uint8_t, 16> SubFormatPcm{0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                                               0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

    std::int32_t FormatTag = TagPcm;
    std::int32_t Channels = 0;
    std::int32_t SamplesPerSec = 0;
    std::int32_t BlockAlign = 0;
    std::int32_t AvgBytesPerSec = 0;
    std::int32_t BitsPerSample = 0;
    std::int32_t ExtensionSize = 0;
    std::int32_t ValidBitsPerSample = 0;
    std::uint32_t ChannelMask = 0;
    std::array<std::uint8_t, 16> SubFormat{};

    // The layout the audio layer is given for a voice of this format.
    platform::audio::StreamFormat Stream() const { return {SamplesPerSec, BitsPerSample, Channels}; }
};

// The format and the last device index (0 alone, 2 for a split 6-channel
// file, 3 for a split 8-channel file) for a file.
struct WaveOutLayout {
    WaveOutFormat Format;
    int LastDevice = 0;
};
WaveOutLayout MakeWaveOutLayout(const WaveInfoRecord& wave, bool useExtensible);
