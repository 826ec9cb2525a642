#pragma once

#include "platform/audio/AlsaSink.h"

#include <alsa/asoundlib.h>

#include <string>

namespace platform::audio {

// What a playback PCM agreed to.
struct AlsaHwChoice {
    AlsaSampleType type = AlsaSampleType::S16;
    unsigned int channels = 0;
    unsigned int rate = 0;
    snd_pcm_uframes_t period = 0;
    snd_pcm_uframes_t buffer = 0;
};

// Sets up the hardware side of an open playback PCM. The shape asked for in
// options comes first (each value moved to what the device offers nearest to
// it); when the device still refuses, larger periods and longer buffers are
// tried step by step, then the other sample formats the device offers that
// the mixer can write. False only when nothing was accepted, with the last
// failing call and its text in error.
bool NegotiateAlsaHw(snd_pcm_t* pcm, const AlsaOptions& options, AlsaHwChoice& choice, std::string& error);

// "S32_LE, 48000 Hz, 2 channels, period 256 frames, buffer 768 frames".
std::string DescribeAlsaHw(const AlsaHwChoice& choice);

} // namespace platform::audio
