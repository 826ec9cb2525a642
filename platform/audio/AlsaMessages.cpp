#include "platform/audio/AlsaMessages.h"

#include <alsa/asoundlib.h>

#include <mutex>

namespace platform::audio {

namespace {
void Ignore(const char*, int, const char*, int, const char*, ...) {}
} // namespace

void SilenceAlsaMessages()
{
    static std::once_flag once;
    std::call_once(once, [] { snd_lib_error_set_handler(Ignore); });
}

} // namespace platform::audio
