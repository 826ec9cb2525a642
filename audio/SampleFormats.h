#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// Packed 24-bit samples for the waveOut player's software mixing, and the
// names and lists of the sample formats and rates the program plays.
namespace WaveMMIO {

// A 24-bit stereo frame: left low, middle, high byte, then the same for right.
using Frame24Stereo = std::array<std::uint8_t, 6>;
// A 24-bit mono sample, low byte first.
using Sample24 = std::array<std::uint8_t, 3>;

struct StereoSample {
    std::int32_t Left = 0;
    std::int32_t Right = 0;
};

inline constexpr std::int32_t Min24 = -8'388'608;
inline constexpr std::int32_t Max24 = 8'388'607;

// Each frame becomes a sign-extended pair; pairs is resized to the frame count
// when it differs.
void Unpack24Stereo(std::span<const Frame24Stereo> frames, std::vector<StereoSample>& pairs);
// Each value is first limited to the 24-bit range in pairs itself, then
// written as 3 bytes; frames is resized to the pair count when it differs.
void Pack24Stereo(std::vector<Frame24Stereo>& frames, std::vector<StereoSample>& pairs);
void Unpack24Mono(std::span<const Sample24> packed, std::vector<std::int32_t>& samples);
void Pack24Mono(std::vector<Sample24>& packed, std::vector<std::int32_t>& samples);

// The sign-extended 24-bit value of the first three bytes times gain, rounded
// (0 when fewer than three bytes are given).
std::int32_t Read24Scaled(std::span<const std::uint8_t> bytes, float gain);
// value x gain, rounded, limited to the 24-bit range, written to the first
// three bytes (nothing when fewer are given); returns 0.
std::int32_t Write24Clamped(std::int32_t value, std::span<std::uint8_t> bytes, float gain);

// Format codes 0..9 of WaveInfoRecord by channels and bits; -1 for any pair
// the program does not play.
int FormatCodeFor(int channels, int bits);
// "Mono8bit" .. "Surround 7.1 24bit"; "" for any other code.
std::string FormatCodeName(int code);
inline constexpr int FormatCodeCount = 10;

// The sample rates offered for output, highest first.
inline constexpr std::array<std::int32_t, 12> SampleRateList{192000, 96000, 88200, 48000, 44100, 32000,
                                                             24000,  22050, 16000, 12000, 11025, 8000};

} // namespace WaveMMIO
