#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

// For sound files whose length only a decoder can tell, the information text
// opens a filter-graph player once and asks it. The player classes implement
// this narrow view; the start-up installs the factory, tests a recording fake.
namespace FCT_AudioInf {

class AudioLengthPlayer {
public:
    virtual ~AudioLengthPlayer() = default;
    virtual void Init() = 0;
    virtual void SetFileName(const std::string& fileName) = 0;
    // Length in ms; 0 when the file could not be opened.
    virtual std::int32_t Length() = 0;
    virtual void CloseWave() = 0;
};

using AudioLengthPlayerFactory = std::function<std::unique_ptr<AudioLengthPlayer>()>;

// Installs the factory (an empty one removes it); without one such files have
// no known length.
void SetAudioLengthPlayerFactory(AudioLengthPlayerFactory factory);
std::unique_ptr<AudioLengthPlayer> CreateAudioLengthPlayer();

} // namespace FCT_AudioInf
