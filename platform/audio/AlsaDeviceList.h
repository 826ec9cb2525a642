#pragma once

#include <string>
#include <vector>

namespace platform::audio {

// A PCM of a sound card as the device lists show it.
struct AlsaPcm {
    std::string pcm;         // the ALSA name to open ("plughw:CARD=PCH,DEV=0")
    std::string description; // "<PCM name> (<card name>)"
};

// The playback (or capture) PCMs of every sound card, in card order and
// within a card in device order, so that the list is the same at every start.
std::vector<AlsaPcm> ListCardPcms(bool capture);
// The description ALSA gives the "default" PCM, "" when it names none.
std::string DefaultPcmDescription(bool capture);
// True when the PCM opens for playback (or capture) at this moment.
bool PcmOpens(const std::string& pcm, bool capture);

} // namespace platform::audio
