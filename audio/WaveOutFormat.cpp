#include "audio/WaveOutFormat.h"

#include <algorithm>
#include <limits>

WaveOutLayout MakeWaveOutLayout(const WaveInfoRecord& wave, bool useExtensible)
{
    WaveOutLayout layout;
    WaveOutFormat& format = layout.Format;
    if (!useExtensible || wave.Channels < 3) {
        layout.LastDevice = wave.Channels == 6 ? 2 : wave.Channels == 8 ? 3 : 0;
        format.FormatTag = WaveOutFormat::TagPcm;
        format.Channels = wave.Channels == 1 ? 1 : 2;
    } else {
        layout.LastDevice = 0;
        format.FormatTag = WaveOutFormat::TagExtensible;
        format.Channels = wave.Channels;
        format.ExtensionSize = 22;
        format.ValidBitsPerSample = wave.Bits;
        // An 8-channel stream names its side pair too, so that a 7.1 system
        // places every channel where it belongs.
        format.ChannelMask = wave.Channels == 8 ? WaveOutFormat::Mask71 : WaveOutFormat::Mask51;
        format.SubFormat = WaveOutFormat::SubFormatPcm;
    }
    format.BitsPerSample = wave.Bits;
    format.SamplesPerSec = wave.SampleRate;
    format.BlockAlign = format.Channels * wave.Bits / 8;
    // In 64 bits: a header's rate is only trusted once the reader bounded it.
    format.AvgBytesPerSec = static_cast<std::int32_t>(std::min<std::int64_t>(
        std::int64_t{wave.SampleRate} * format.BlockAlign, std::numeric_limits<std::int32_t>::max()));
    return layout;
}
