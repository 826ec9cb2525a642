#pragma once

#include "audio/FileVersion.h"
#include "audio/FilterGraphRecord.h"
#include "audio/Player.h"

#include <cstdint>
#include <optional>
#include <string>

// What the graph players (DirectShow, filter graph) share: the graph they
// hold for the loaded file, its length and end point, and how a position, the
// mode and a pause are read off the graph. Positions are milliseconds. The
// graph plays by itself; the player notices its end point when Position is
// read and its end when mode is read, and stops itself at that read. A graph
// whose every output device was lost (unplugged) reads as stopped the same
// way, at its mode read.
class GraphPlayer : public Player {
public:
    std::string FileName() override { return FileName_; }
    std::int32_t Length() override { return Length_; }
    std::int32_t FromMS() override { return FromMS_; }
    std::int32_t ToMS() override { return ToMS_; }
    void SetToMS(std::int32_t ms) override { ToMS_ = ms; }

    // Pauses a running graph (when it may be paused now), runs a paused one.
    void Pause() override;
    std::int32_t Position(std::int32_t kind = 0) override;
    std::int32_t mode() override;

    std::int32_t PanValue() override;
    void SetPanValue(std::int32_t pan) override;
    float PlaySpeed() override { return PlaySpeed_; }

    // The graph the player holds now (null while none), for those that wait
    // on its decoding (tests, benchmarks).
    platform::audio::MediaGraph* MediaGraphInUse() const { return Graph.Graph.get(); }

protected:
    GraphPlayer() = default;

    // Whether the running graph has played to its end.
    virtual bool Ended() = 0;
    // Whether a running graph is paused when asked to.
    virtual bool Pausable() { return true; }
    // No file: name, length and the loaded and playing flags cleared.
    void Unload();
    // Length and end point from the duration of the graph just built.
    void TakeLengthFromGraph();
    // Before a start: a graph whose output device was lost gets voices on it
    // afresh and stands stopped (Playing cleared); false, logged, while the
    // device is not back, so the start fails instead of playing into nothing.
    bool ReopenLostOutput();

    FilterGraphRecord Graph;
    std::string FileName_;
    // The file as it was when its load began: the same name loads again once it changed.
    std::optional<FileVersion> loadedVersion_;
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t Length_ = 0;
    std::int32_t PanValue_ = 0;
    float PlaySpeed_ = 1.0f;
    std::int32_t Playing_ = 0;
    std::int32_t Loaded_ = 0;
    // True while the graph for a new file prepares. Its wait pumps events, so
    // a press may ask for a file again meanwhile: that request is refused at
    // once (the player is not loaded yet) instead of replacing the graph that
    // is waiting or waiting once more behind it.
    bool Loading_ = false;
};
