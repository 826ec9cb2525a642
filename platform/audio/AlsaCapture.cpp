#include "platform/audio/AlsaCapture.h"

#include "platform/audio/AlsaMessages.h"
#include "platform/audio/AlsaPcmOpen.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>

namespace platform::audio {

namespace {

constexpr snd_pcm_uframes_t capturePeriod = 1024;
constexpr snd_pcm_uframes_t capturePeriods = 8;

} // namespace

std::unique_ptr<AlsaCapture> AlsaCapture::Open(const AlsaOptions& options, std::string& error)
{
    SilenceAlsaMessages();
    auto capture = std::make_unique<AlsaCapture>(Key{});
    if (!OpenAlsaPcm(options, SND_PCM_STREAM_CAPTURE, capture->pcm_, capture->config_, error)) {
        return nullptr;
    }
    snd_pcm_t* pcm = capture->pcm_;
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    const auto check = [&error](const char* call, int result) {
        if (result < 0) {
            error = AlsaFailure(call, result);
        }
        return result >= 0;
    };
    if (!check("snd_pcm_hw_params_any", snd_pcm_hw_params_any(pcm, hw)) ||
        !check("snd_pcm_hw_params_set_access", snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED))) {
        return nullptr;
    }
    const std::array<AlsaSampleType, 3> preferred{AlsaSampleType::S32, AlsaSampleType::S16, AlsaSampleType::Float};
    AlsaSampleType chosen = options.sampleType;
    if (chosen == AlsaSampleType::Automatic) {
        const auto* found = std::find_if(preferred.begin(), preferred.end(), [&](AlsaSampleType type) {
            return snd_pcm_hw_params_test_format(pcm, hw, AlsaFormatOf(type)) == 0;
        });
        chosen = found != preferred.end() ? *found : AlsaSampleType::S16;
    }
    unsigned int channels = static_cast<unsigned int>(options.device.channels);
    unsigned int rate = static_cast<unsigned int>(options.device.rate);
    snd_pcm_uframes_t period = capturePeriod;
    snd_pcm_uframes_t buffer = capturePeriod * capturePeriods;
    if (!check("snd_pcm_hw_params_set_format", snd_pcm_hw_params_set_format(pcm, hw, AlsaFormatOf(chosen))) ||
        !check("snd_pcm_hw_params_set_channels", snd_pcm_hw_params_set_channels_near(pcm, hw, &channels)) ||
        !check("snd_pcm_hw_params_set_rate", snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, nullptr)) ||
        !check("snd_pcm_hw_params_set_period_size",
               snd_pcm_hw_params_set_period_size_near(pcm, hw, &period, nullptr)) ||
        !check("snd_pcm_hw_params_set_buffer_size", snd_pcm_hw_params_set_buffer_size_near(pcm, hw, &buffer)) ||
        !check("snd_pcm_hw_params", snd_pcm_hw_params(pcm, hw)) || !check("snd_pcm_start", snd_pcm_start(pcm))) {
        return nullptr;
    }
    capture->sampleType_ = chosen;
    capture->options_ = options.device;
    capture->options_.channels = static_cast<int>(channels);
    capture->options_.rate = static_cast<int>(rate);
    capture->options_.periodFrames = static_cast<int>(period);
    return capture;
}

AlsaCapture::~AlsaCapture()
{
    if (pcm_ != nullptr) {
        snd_pcm_drop(pcm_);
        snd_pcm_close(pcm_);
    }
    if (config_ != nullptr) {
        snd_config_delete(config_);
    }
}

std::size_t AlsaCapture::Read(std::span<float> frames, int waitMs)
{
    const auto channels = static_cast<std::size_t>(options_.channels);
    const std::size_t width = AlsaBytesOf(sampleType_);
    const std::size_t wanted = frames.size() / channels;
    if (wanted == 0) {
        return 0;
    }
    bytes_.resize(wanted * channels * width);
    snd_pcm_wait(pcm_, waitMs);
    snd_pcm_sframes_t got = snd_pcm_readi(pcm_, bytes_.data(), wanted);
    if (got == -EPIPE || got == -ESTRPIPE) {
        ++overruns_;
        snd_pcm_prepare(pcm_);
        snd_pcm_start(pcm_);
        return 0;
    }
    if (got <= 0) {
        return 0;
    }
    const std::size_t samples = static_cast<std::size_t>(got) * channels;
    const std::uint8_t* in = bytes_.data();
    for (std::size_t i = 0; i < samples; ++i, in += width) {
        switch (sampleType_) {
        case AlsaSampleType::S16: {
            std::int16_t value = 0;
            std::memcpy(&value, in, sizeof value);
            frames[i] = static_cast<float>(value) / 32768.0f;
            break;
        }
        case AlsaSampleType::S32: {
            std::int32_t value = 0;
            std::memcpy(&value, in, sizeof value);
            frames[i] = static_cast<float>(static_cast<double>(value) / 2147483648.0);
            break;
        }
        case AlsaSampleType::S24:
        case AlsaSampleType::S24Packed: {
            // Little-endian 24 bits, sign-extended.
            const std::int32_t value = static_cast<std::int32_t>(static_cast<std::uint32_t>(in[0]) << 8 |
                                                                 static_cast<std::uint32_t>(in[1]) << 16 |
                                                                 static_cast<std::uint32_t>(in[2]) << 24) /
                                       256;
            frames[i] = static_cast<float>(value) / 8388608.0f;
            break;
        }
        case AlsaSampleType::Float:
        case AlsaSampleType::Automatic:
            std::memcpy(&frames[i], in, sizeof(float));
            break;
        }
    }
    return static_cast<std::size_t>(got);
}

} // namespace platform::audio
