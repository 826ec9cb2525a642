#pragma once

#include "audio/AudioLengthPlayer.h"
#include "audio/C_FGraph.h"

// The length of a sound file as a filter-graph player measures it: the
// player behind FCT_AudioInf's length question for types only a decoder can
// measure.
class FilterGraphLength final : public FCT_AudioInf::AudioLengthPlayer {
public:
    void Init() override { player_.Init(); }
    void SetFileName(const std::string& fileName) override { player_.SetFileName(fileName); }
    std::int32_t Length() override { return player_.Length(); }
    void CloseWave() override { player_.CloseWave(); }

    // Installs it as the information text's length player (at start-up).
    static void Install();

private:
    C_FGraph player_;
};
