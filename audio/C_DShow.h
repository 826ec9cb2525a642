#pragma once

#include "audio/FilterGraphRecord.h"
#include "audio/Player.h"

#include <cstdint>
#include <string>

// The DirectShow player (back-end 1): the graph for a file is built whole by
// the media layer (source, automatic decoder, the default device's renderer).
// Positions are milliseconds. The graph plays by itself; the player notices
// its end point when Position is read and its end when mode is read, and
// stops (and rewinds) itself at that read.
class C_DShow final : public Player {
public:
    C_DShow() = default;
    ~C_DShow() override;

    void SetVolMinLevel(std::int32_t level) override { VolMinLevel_ = level; }

    std::string FileName() override { return FileName_; }
    void SetFileName(std::string_view name) override;
    std::int32_t Length() override { return Length_; }
    std::int32_t FromMS() override { return FromMS_; }
    void SetFromMS(std::int32_t ms) override { FromMS_ = ms < 0 ? 0 : ms; }
    std::int32_t ToMS() override { return ToMS_; }
    void SetToMS(std::int32_t ms) override { ToMS_ = ms; }

    std::int32_t Play() override;
    void Pause() override;
    void StopIO(std::int32_t immediate = 0) override;
    void CloseWave() override;
    std::int32_t Position(std::int32_t kind = 0) override;
    std::int32_t mode() override;

    std::int32_t Attenuation() override { return Attenuation_; }
    void SetAttenuation(std::int32_t level) override;
    std::int32_t PanValue() override;
    void SetPanValue(std::int32_t pan) override;
    float PlaySpeed() override { return PlaySpeed_; }
    void SetPlaySpeed(float speed) override;

    // The graph the player holds now (null while none), for those that wait
    // on its decoding (tests, benchmarks).
    platform::audio::MediaGraph* MediaGraphInUse() const { return Graph.Graph.get(); }

private:
    bool Ended();
    void Unload();

    FilterGraphRecord Graph;
    std::string FileName_;
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t Length_ = 0;
    std::int32_t Attenuation_ = 0;
    std::int32_t PanValue_ = 0;
    float PlaySpeed_ = 1.0f;
    std::int32_t Playing_ = 0;
    std::int32_t Loaded_ = 0;
    std::int32_t VolMinLevel_ = -4000;
};
