#pragma once

#include "audio/FilterGraphRecord.h"
#include "audio/Player.h"

#include <cstdint>
#include <string>

// The filter-graph player (back-ends 4 and 5): builds its graph filter by
// filter for each file (FCT_Quartz), ending at the renderer of its output
// device: the device's own renderer (DevMode 0) or its DirectSound renderer
// (DevMode 1). Positions are milliseconds. The graph plays by itself; the
// player notices its end point when Position is read and its end when mode is
// read, and stops itself at that read.
class C_FGraph final : public Player {
public:
    C_FGraph() = default;
    ~C_FGraph() override;

    void SetDevMode(std::int32_t kind) override { DevMode_ = kind; }
    void SetDevName(std::string_view name) override { DevName_ = std::string(name); }
    void SetVolMinLevel(std::int32_t level) override { VolMinLevel_ = level; }
    void Init() override;

    std::string FileName() override { return FileName_; }
    void SetFileName(std::string_view name) override;
    std::int32_t Length() override { return Length_; }
    std::int32_t FromMS() override { return FromMS_; }
    void SetFromMS(std::int32_t ms) override { FromMS_ = ms; }
    std::int32_t ToMS() override { return ToMS_; }
    void SetToMS(std::int32_t ms) override { ToMS_ = ms; }

    std::int32_t Play() override;
    void Pause() override;
    void StopIO(std::int32_t immediate = 0) override;
    void CloseWave() override;
    std::int32_t Position(std::int32_t kind = 0) override;
    std::int32_t mode() override;

    // The volume level set (1/100 dB), not the attenuation written.
    std::int32_t Attenuation() override;
    void SetAttenuation(std::int32_t level) override;
    std::int32_t PanValue() override;
    void SetPanValue(std::int32_t pan) override;
    float PlaySpeed() override { return PlaySpeed_; }
    void SetPlaySpeed(float speed) override;

    // The renderer the chain ends at (for the information of callers and tests).
    const std::string& RendererName() const { return Graph.RendererName; }

    // The graph the player holds now (null while none), for those that wait
    // on its decoding (tests, benchmarks).
    platform::audio::MediaGraph* MediaGraphInUse() const { return Graph.Graph.get(); }

private:
    void Unload();

    FilterGraphRecord Graph;
    std::int32_t DevMode_ = 0;
    std::string DevName_;
    std::int32_t VolMinLevel_ = -10000;
    std::string FileName_;
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t Length_ = 0;
    std::int32_t Level_ = 0;
    std::int32_t PanValue_ = 0;
    float PlaySpeed_ = 1.0f;
    std::int32_t Playing_ = 0;
    std::int32_t Loaded_ = 0;
};
