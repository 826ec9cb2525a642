#include "platform/audio/MediaFilterList.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/MediaFramework.h"

#include <array>
#include <string_view>

namespace platform::audio {

namespace {

struct FixedFilter {
    std::string_view name;
    std::string_view factory;
    bool fileSource = false;
    bool fileSink = false;
};

// Friendly names of the filters graph builders ask for, and the element that
// does the same work here. The parsers and splitters that take several
// containers (wave, AIFF and AU; MPEG audio and program streams) are the
// automatic parser, which finds the container's parser by the stream; the
// codec hosts ("ACM Wrapper", "ffdshow Audio Decoder") are the automatic
// decoder, which hosts every installed codec.
constexpr std::array<FixedFilter, 15> fixedFilters{{
    {"File Source (Async.)", "filesrc", true, false},
    {"Wave Parser", "parsebin"},
    {"MPEG-I Stream Splitter", "parsebin"},
    {"MPEG Audio Decoder", "mpg123audiodec"},
    {"MPEG Layer-3 Decoder", "mpg123audiodec"},
    {"ACM Wrapper", "decodebin3"},
    {"Haali Media Splitter (AR)", "qtdemux"},
    {"ffdshow Audio Decoder", "decodebin3"},
    {"Microsoft DTV-DVD Audio Decoder", "avdec_aac"},
    {"MainConcept (Adobe2) Stream Parser", "aacparse"},
    {"MainConcept (Adobe2) AAC Decoder", "avdec_aac"},
    {"WMAudio Decoder DMO", "avdec_wmav2"},
    {"MIDI Parser", "midiparse"},
    {"WAV Dest", "wavenc"},
    {"File writer", "filesink", false, true},
}};

constexpr std::array<std::string_view, 5> defaultRendererNames{
    "Default WaveOut Device", "既定の WaveOut デバイス", "既定の WAVE 出力デバイス", "既定の DirectSound デバイス",
    "Default DirectSound Device"};

constexpr std::string_view midiRendererName = "Default MidiOut Device";
constexpr std::string_view midiSynthesizer = "fluiddec";

} // namespace

std::string DirectSoundRendererName(const std::string& description)
{
    return "Direct Sound: " + description;
}

std::vector<MediaFilter> RegisteredMediaFilters(const AudioSystem& system)
{
    std::vector<MediaFilter> filters;
    for (const FixedFilter& fixed : fixedFilters) {
        if (!HasElementFactory(fixed.factory)) {
            continue;
        }
        MediaFilter filter;
        filter.name = std::string(fixed.name);
        filter.factory = std::string(fixed.factory);
        filter.fileSource = fixed.fileSource;
        filter.fileSink = fixed.fileSink;
        filters.push_back(filter);
    }
    for (std::string_view name : defaultRendererNames) {
        filters.push_back(MediaFilter{std::string(name), MediaFilter::Kind::Renderer, {}, 0, false, false});
    }
    if (HasElementFactory(midiSynthesizer)) {
        filters.push_back(MediaFilter{std::string(midiRendererName), MediaFilter::Kind::MidiRenderer,
                                      std::string(midiSynthesizer), 0, false, false});
    }
    for (int device = 0; device < system.OutputCount(); ++device) {
        const std::string name = system.OutputName(device);
        filters.push_back(MediaFilter{name, MediaFilter::Kind::Renderer, {}, device, false, false});
        filters.push_back(
            MediaFilter{DirectSoundRendererName(name), MediaFilter::Kind::Renderer, {}, device, false, false});
    }
    return filters;
}

} // namespace platform::audio
