#include "platform/audio/AlsaHwSetup.h"

#include "platform/audio/AlsaPcmOpen.h"

#include <algorithm>
#include <array>
#include <vector>

namespace platform::audio {

namespace {

// The largest period tried: 8,192 frames are 170 ms at 48 kHz, past which a
// device is no use for playout anyway.
constexpr snd_pcm_uframes_t largestPeriod = 8192;

// One complete attempt at a shape; false with the failing call in error.
bool TryShape(snd_pcm_t* pcm, AlsaSampleType type, const DeviceOptions& wanted, snd_pcm_uframes_t period,
              unsigned int periods, snd_pcm_uframes_t leastBuffer, AlsaHwChoice& choice, std::string& error)
{
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    const auto failed = [&error](const char* call, int r) {
        error = AlsaFailure(call, r);
        return false;
    };
    int r = snd_pcm_hw_params_any(pcm, hw);
    if (r < 0) {
        return failed("snd_pcm_hw_params_any", r);
    }
    r = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (r < 0) {
        return failed("snd_pcm_hw_params_set_access", r);
    }
    r = snd_pcm_hw_params_set_format(pcm, hw, AlsaFormatOf(type));
    if (r < 0) {
        return failed("snd_pcm_hw_params_set_format", r);
    }
    unsigned int channels = static_cast<unsigned int>(wanted.channels);
    r = snd_pcm_hw_params_set_channels_near(pcm, hw, &channels);
    if (r < 0) {
        return failed("snd_pcm_hw_params_set_channels", r);
    }
    unsigned int rate = static_cast<unsigned int>(wanted.rate);
    r = snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr);
    if (r < 0) {
        return failed("snd_pcm_hw_params_set_rate", r);
    }
    r = snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr);
    if (r < 0) {
        return failed("snd_pcm_hw_params_set_period_size", r);
    }
    snd_pcm_uframes_t buffer = std::max(period * periods, leastBuffer);
    r = snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer);
    if (r < 0) {
        return failed("snd_pcm_hw_params_set_buffer_size", r);
    }
    r = snd_pcm_hw_params(pcm, hw);
    if (r < 0) {
        return failed("snd_pcm_hw_params", r);
    }
    snd_pcm_hw_params_get_period_size(hw, &period, nullptr);
    snd_pcm_hw_params_get_buffer_size(hw, &buffer);
    choice = AlsaHwChoice{type, channels, rate, period, buffer};
    return true;
}

// The sample formats to try, best first: the one asked for, or those of the
// mixer's that the device offers (all of them when it names none of them, so
// that the error says which call refused).
std::vector<AlsaSampleType> Candidates(snd_pcm_t* pcm, AlsaSampleType asked)
{
    if (asked != AlsaSampleType::Automatic) {
        return {asked};
    }
    const std::array<AlsaSampleType, 5> preferred{AlsaSampleType::S32, AlsaSampleType::S24, AlsaSampleType::S16,
                                                  AlsaSampleType::Float, AlsaSampleType::S24Packed};
    std::vector<AlsaSampleType> offered;
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    if (snd_pcm_hw_params_any(pcm, hw) >= 0) {
        for (const AlsaSampleType type : preferred) {
            if (snd_pcm_hw_params_test_format(pcm, hw, AlsaFormatOf(type)) == 0) {
                offered.push_back(type);
            }
        }
    }
    if (offered.empty()) {
        offered.assign(preferred.begin(), preferred.end());
    }
    return offered;
}

} // namespace

bool NegotiateAlsaHw(snd_pcm_t* pcm, const AlsaOptions& options, AlsaHwChoice& choice, std::string& error)
{
    const auto firstPeriod = static_cast<snd_pcm_uframes_t>(std::max(16, options.device.periodFrames));
    const auto firstPeriods = static_cast<unsigned int>(std::max(2, options.device.periods));
    std::vector<unsigned int> counts{firstPeriods};
    for (const unsigned int more : {4U, 8U}) {
        if (more > firstPeriods) {
            counts.push_back(more);
        }
    }
    // A buffer that holds the most the queued audio grows to under load,
    // where the device offers one; only the periods asked for are filled.
    const auto roomy = static_cast<snd_pcm_uframes_t>(
        options.device.bufferFrames > 0 ? options.device.bufferFrames : maxQueuedAheadFramesWithoutRealtime);
    for (const AlsaSampleType type : Candidates(pcm, options.sampleType)) {
        for (snd_pcm_uframes_t period = firstPeriod; period <= std::max(firstPeriod, largestPeriod); period *= 2) {
            for (const snd_pcm_uframes_t leastBuffer : {roomy, snd_pcm_uframes_t{0}}) {
                for (const unsigned int periods : counts) {
                    if (TryShape(pcm, type, options.device, period, periods, leastBuffer, choice, error)) {
                        return true;
                    }
                }
            }
        }
    }
    return false;
}

std::string DescribeAlsaHw(const AlsaHwChoice& choice)
{
    return std::string(snd_pcm_format_name(AlsaFormatOf(choice.type))) + ", " + std::to_string(choice.rate) + " Hz, " +
           std::to_string(choice.channels) + " channels, period " + std::to_string(choice.period) + " frames, buffer " +
           std::to_string(choice.buffer) + " frames";
}

} // namespace platform::audio
