#include "platform/audio/AlsaPcmOpen.h"

namespace platform::audio {

snd_pcm_format_t AlsaFormatOf(AlsaSampleType type)
{
    switch (type) {
    case AlsaSampleType::S16:
        return SND_PCM_FORMAT_S16_LE;
    case AlsaSampleType::S32:
        return SND_PCM_FORMAT_S32_LE;
    case AlsaSampleType::Float:
        return SND_PCM_FORMAT_FLOAT_LE;
    case AlsaSampleType::S24:
        return SND_PCM_FORMAT_S24_LE;
    case AlsaSampleType::S24Packed:
        return SND_PCM_FORMAT_S24_3LE;
    case AlsaSampleType::Automatic:
        break;
    }
    return SND_PCM_FORMAT_UNKNOWN;
}

std::size_t AlsaBytesOf(AlsaSampleType type)
{
    return type == AlsaSampleType::S16 ? 2 : type == AlsaSampleType::S24Packed ? 3 : 4;
}

std::string AlsaFailure(const char* call, int result)
{
    return std::string(call) + " failed r=" + std::to_string(result) + " (" + snd_strerror(result) + ")";
}

bool OpenAlsaPcm(const AlsaOptions& options, snd_pcm_stream_t stream, snd_pcm_t*& pcm, snd_config_t*& config,
                 std::string& error)
{
    int r = 0;
    if (!options.configText.empty()) {
        snd_input_t* input = nullptr;
        r = snd_config_top(&config);
        if (r >= 0) {
            r = snd_input_buffer_open(&input, options.configText.data(),
                                      static_cast<ssize_t>(options.configText.size()));
        }
        if (r >= 0) {
            r = snd_config_load(config, input);
            snd_input_close(input);
        }
        if (r < 0) {
            error = AlsaFailure("snd_config_load", r);
            return false;
        }
        r = snd_pcm_open_lconf(&pcm, options.pcm.c_str(), stream, SND_PCM_NONBLOCK, config);
    } else {
        r = snd_pcm_open(&pcm, options.pcm.c_str(), stream, SND_PCM_NONBLOCK);
    }
    if (r < 0) {
        pcm = nullptr;
        error = AlsaFailure("snd_pcm_open", r);
        return false;
    }
    return true;
}

} // namespace platform::audio
