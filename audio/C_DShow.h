#pragma once

#include "audio/GraphPlayer.h"

#include <cstdint>
#include <string>

// The DirectShow player (back-end 1): the graph for a file is built whole by
// the media layer (source, automatic decoder, the default device's renderer).
// A stop rewinds the graph; a graph that ran to its end is not paused.
class C_DShow final : public GraphPlayer {
public:
    C_DShow();
    ~C_DShow() override;

    void SetVolMinLevel(std::int32_t level) override { VolMinLevel_ = level; }

    void SetFileName(std::string_view name) override;
    void SetFromMS(std::int32_t ms) override { FromMS_ = ms < 0 ? 0 : ms; }

    std::int32_t Play() override;
    void StopIO(std::int32_t immediate = 0) override;
    void CloseWave() override;

    std::int32_t Attenuation() override { return Attenuation_; }
    void SetAttenuation(std::int32_t level) override;
    void SetPlaySpeed(float speed) override;

private:
    // A graph without an event source counts as ended.
    bool Ended() override;
    bool Pausable() override { return !Ended(); }

    std::int32_t Attenuation_ = 0;
    std::int32_t VolMinLevel_ = -4000;
};
