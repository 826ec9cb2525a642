#pragma once

#include <string>
#include <vector>

namespace platform::audio {

class AudioSystem;

// A filter that media graphs can be built from, under the friendly name that
// graph builders look for. Each maps to a GStreamer element factory, or is a
// renderer: a voice on one of our output devices (GStreamer never opens the
// sound hardware itself).
struct MediaFilter {
    enum class Kind { Element, Renderer, MidiRenderer };

    std::string name;
    Kind kind = Kind::Element;
    std::string factory; // Element: the element factory
    int device = 0;      // renderers: the output device (0 is the default device)
    bool fileSource = false;
    bool fileSink = false;
};

// The registered filters, in a fixed order: the sources, parsers, decoders and
// writers whose element factory is installed; the default renderers (English
// and Japanese names, all on the default device); the MIDI renderer when a
// synthesizer is installed; then for every output device of the system, in
// device order, a renderer named exactly like the device and one named
// "Direct Sound: " and the device's DirectSound description (which is its
// device name). Names without a counterpart here are simply not registered.
std::vector<MediaFilter> RegisteredMediaFilters(const AudioSystem& system);

// "Direct Sound: " + description: the renderer of a device as a DirectSound
// renderer is named.
std::string DirectSoundRendererName(const std::string& description);

} // namespace platform::audio
