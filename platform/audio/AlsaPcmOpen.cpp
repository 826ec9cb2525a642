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

namespace {

int LoadConfig(const std::string& text, snd_config_t*& config)
{
    snd_input_t* input = nullptr;
    int r = snd_config_top(&config);
    if (r >= 0) {
        r = snd_input_buffer_open(&input, text.data(), static_cast<ssize_t>(text.size()));
    }
    if (r >= 0) {
        r = snd_config_load(config, input);
        snd_input_close(input);
    }
    return r;
}

} // namespace

bool PcmsDefinedIn(const std::string& configText, std::vector<std::string>& names, std::string& error)
{
    names.clear();
    snd_config_t* config = nullptr;
    const int r = LoadConfig(configText, config);
    snd_config_t* pcms = nullptr;
    if (r >= 0 && snd_config_search(config, "pcm", &pcms) >= 0) {
        snd_config_iterator_t i;
        snd_config_iterator_t next;
        snd_config_for_each(i, next, pcms)
        {
            const char* id = nullptr;
            if (snd_config_get_id(snd_config_iterator_entry(i), &id) >= 0 && id != nullptr) {
                names.emplace_back(id);
            }
        }
    }
    if (config != nullptr) {
        snd_config_delete(config);
    }
    if (r < 0) {
        error = AlsaFailure("snd_config_load", r);
        return false;
    }
    return true;
}

bool OpenAlsaPcm(const AlsaOptions& options, snd_pcm_stream_t stream, snd_pcm_t*& pcm, snd_config_t*& config,
                 std::string& error)
{
    int r = 0;
    if (!options.configText.empty()) {
        r = LoadConfig(options.configText, config);
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
