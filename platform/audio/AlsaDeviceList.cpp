#include "platform/audio/AlsaDeviceList.h"

#include "platform/audio/AlsaMessages.h"

#include <alsa/asoundlib.h>

#include <cstdlib>

namespace platform::audio {

std::vector<AlsaPcm> ListCardPcms(bool capture)
{
    SilenceAlsaMessages();
    const snd_pcm_stream_t stream = capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK;
    std::vector<AlsaPcm> list;
    int card = -1;
    while (snd_card_next(&card) >= 0 && card >= 0) {
        snd_ctl_t* control = nullptr;
        const std::string controlName = "hw:" + std::to_string(card);
        if (snd_ctl_open(&control, controlName.c_str(), 0) < 0) {
            continue;
        }
        snd_ctl_card_info_t* cardInfo = nullptr;
        snd_ctl_card_info_alloca(&cardInfo);
        if (snd_ctl_card_info(control, cardInfo) < 0) {
            snd_ctl_close(control);
            continue;
        }
        const std::string cardId = snd_ctl_card_info_get_id(cardInfo);
        const std::string cardName = snd_ctl_card_info_get_name(cardInfo);
        int device = -1;
        while (snd_ctl_pcm_next_device(control, &device) >= 0 && device >= 0) {
            snd_pcm_info_t* pcmInfo = nullptr;
            snd_pcm_info_alloca(&pcmInfo);
            snd_pcm_info_set_device(pcmInfo, static_cast<unsigned int>(device));
            snd_pcm_info_set_subdevice(pcmInfo, 0);
            snd_pcm_info_set_stream(pcmInfo, stream);
            if (snd_ctl_pcm_info(control, pcmInfo) < 0) {
                continue; // this device has no PCM of the wanted direction
            }
            std::string pcmName = snd_pcm_info_get_name(pcmInfo);
            if (pcmName.empty()) {
                pcmName = snd_pcm_info_get_id(pcmInfo);
            }
            list.push_back(
                AlsaPcm{"plughw:CARD=" + cardId + ",DEV=" + std::to_string(device), pcmName + " (" + cardName + ")"});
        }
        snd_ctl_close(control);
    }
    return list;
}

std::string DefaultPcmDescription(bool capture)
{
    SilenceAlsaMessages();
    void** hints = nullptr;
    if (snd_device_name_hint(-1, "pcm", &hints) < 0 || hints == nullptr) {
        return {};
    }
    std::string description;
    for (void** hint = hints; *hint != nullptr; ++hint) {
        char* name = snd_device_name_get_hint(*hint, "NAME");
        char* text = snd_device_name_get_hint(*hint, "DESC");
        char* direction = snd_device_name_get_hint(*hint, "IOID");
        const bool isDefault = name != nullptr && std::string(name) == "default";
        const bool rightWay = direction == nullptr || std::string(direction) == (capture ? "Input" : "Output");
        if (isDefault && rightWay && text != nullptr) {
            description = text;
        }
        std::free(name);
        std::free(text);
        std::free(direction);
        if (!description.empty()) {
            break;
        }
    }
    snd_device_name_free_hint(hints);
    return description;
}

bool PcmOpens(const std::string& pcm, bool capture)
{
    SilenceAlsaMessages();
    snd_pcm_t* handle = nullptr;
    const snd_pcm_stream_t stream = capture ? SND_PCM_STREAM_CAPTURE : SND_PCM_STREAM_PLAYBACK;
    if (snd_pcm_open(&handle, pcm.c_str(), stream, SND_PCM_NONBLOCK) < 0) {
        return false;
    }
    snd_pcm_close(handle);
    return true;
}

} // namespace platform::audio
