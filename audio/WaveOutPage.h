#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The conversion of one page of a waveOut player: software gain with
// clipping, the splitting of a surround page into stereo device buffers, and
// the page's meters. It works on the page's own bytes, on the program's
// thread, before the page is queued.
namespace WaveOutPage {

struct Gains {
    float Left = 1.0f;        // mono, and the left channel of stereo
    float Right = 1.0f;       // the right channel of stereo
    float Attenuation = 1.0f; // every channel of a surround file
};

// Peak and RMS of channels 0..7 on an 8-bit scale (full scale about 128);
// channels past the file's repeat channel 0.
struct Meters {
    std::array<std::int32_t, 8> Peak{};
    std::array<std::int32_t, 8> Rms{};
};

// Bits and channels of the format codes 0..9 (0 for any other code).
int BitsOf(int formatCode);
int ChannelsOf(int formatCode);

// Converts frames frames of page (the file's layout) in place. A surround
// page (codes 6..9) goes to split[k] (channels 2k and 2k+1, as stereo frames)
// when split is given, else back into page. Fills meters.
void Convert(int formatCode, std::span<std::uint8_t> page, std::size_t frames, const Gains& gains,
             std::span<const std::span<std::uint8_t>> split, Meters& meters);

// The byte of silence of a sample width: 8-bit samples are unsigned around 128.
inline std::uint8_t SilenceByte(int bits)
{
    return bits == 8 ? std::uint8_t{0x80} : std::uint8_t{0};
}

} // namespace WaveOutPage
