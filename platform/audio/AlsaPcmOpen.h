#pragma once

#include "platform/audio/AlsaSink.h"

#include <alsa/asoundlib.h>

#include <cstddef>
#include <string>
#include <vector>

// What opening a playback and a capture PCM share: the sample formats, the
// failure texts and the open itself, from the system's configuration or from
// a configuration text (tests use ALSA's null and file PCMs that way).
namespace platform::audio {

snd_pcm_format_t AlsaFormatOf(AlsaSampleType type);
std::size_t AlsaBytesOf(AlsaSampleType type);
// "<call> failed r=<result> (<ALSA's text>)".
std::string AlsaFailure(const char* call, int result);

// Opens options.pcm non-blocking for stream. With a configuration text the
// PCM is looked up there and config receives the loaded tree, which the
// caller frees after closing the PCM. On failure pcm stays null and error
// names the failing call.
bool OpenAlsaPcm(const AlsaOptions& options, snd_pcm_stream_t stream, snd_pcm_t*& pcm, snd_config_t*& config,
                 std::string& error);

// The names of the PCMs that a configuration text defines (pcm.NAME), in
// their order; false with the failing call in error when it does not load.
bool PcmsDefinedIn(const std::string& configText, std::vector<std::string>& names, std::string& error);

} // namespace platform::audio
