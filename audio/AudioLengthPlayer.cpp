#include "audio/AudioLengthPlayer.h"

namespace FCT_AudioInf {

namespace {

AudioLengthPlayerFactory& Factory()
{
    static AudioLengthPlayerFactory factory;
    return factory;
}

} // namespace

void SetAudioLengthPlayerFactory(AudioLengthPlayerFactory factory)
{
    Factory() = std::move(factory);
}

std::unique_ptr<AudioLengthPlayer> CreateAudioLengthPlayer()
{
    return Factory() ? Factory()() : nullptr;
}

} // namespace FCT_AudioInf
