#pragma once

#include "audio/GraphPlayer.h"

#include <cstdint>
#include <string>

// The filter-graph player (back-ends 4 and 5): builds its graph filter by
// filter for each file (FCT_Quartz), ending at the renderer of its output
// device: the device's own renderer (DevMode 0) or its DirectSound renderer
// (DevMode 1).
class C_FGraph final : public GraphPlayer {
public:
    C_FGraph() = default;
    ~C_FGraph() override;

    void SetDevMode(std::int32_t kind) override { DevMode_ = kind; }
    void SetDevName(std::string_view name) override { DevName_ = std::string(name); }
    void SetVolMinLevel(std::int32_t level) override { VolMinLevel_ = level; }
    void Init() override;

    void SetFileName(std::string_view name) override;
    void SetFromMS(std::int32_t ms) override { FromMS_ = ms; }

    std::int32_t Play() override;
    void StopIO(std::int32_t immediate = 0) override;
    void CloseWave() override;

    // The volume level set (1/100 dB), not the attenuation written.
    std::int32_t Attenuation() override;
    void SetAttenuation(std::int32_t level) override;
    void SetPlaySpeed(float speed) override;

    // The renderer the chain ends at (for the information of callers and tests).
    const std::string& RendererName() const { return Graph.RendererName; }

private:
    // Ended only when the graph's events say so.
    bool Ended() override;

    std::int32_t DevMode_ = 0;
    std::string DevName_;
    std::int32_t VolMinLevel_ = -10000;
    std::int32_t Level_ = 0;
};
