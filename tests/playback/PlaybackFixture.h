#pragma once

#include "mainwindow/FrmMain.h"
#include "playback/PlaybackControl.h"
#include "support/ClockFixture.h"
#include "support/FakePorts.h"
#include "support/RampWave.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace playbacktest {

// The main window with playback control on four null output devices
// ("Null 1" .. "Null 4", 48 kHz stereo) and virtual time, its own program,
// log and registry folders, recording fakes of every other service, and
// waveOut players (PlayerType 3) whose output n plays on "Null n".
class PlaybackFixture : public testsupport::ClockFixture {
protected:
    static constexpr int Rate = 48000;

    void SetUp() override;
    void TearDown() override;

    // A setting of this session's store, before Start.
    void Store(const std::string& key, const std::string& value);
    // The start-up with numOut outputs; true when the window runs.
    bool Start(int numOut = 1);

    // A stereo 16-bit wave file whose frame f holds the value Ramp(f) in both
    // channels, with labelled cues (frame, label).
    std::string RampWave(const std::string& name, int frames,
                         const std::vector<std::pair<std::uint32_t, std::string>>& cues = {});
    static std::int16_t Ramp(std::int64_t frame) { return testsupport::Ramp(frame); }
    // The frame of the file a played sample came from.
    static std::int64_t RampFrame(float sample) { return testsupport::RampFrame(sample); }

    // Assigns a file to a button of a page of an output.
    AssignRecord& Assign(int output, int page, int button, const std::string& path, int playMode = 0, int startMs = 0);
    // Moves virtual time on; the engine tick runs from its timer meanwhile.
    void Run(int ms);
    // What device index (1..4) played since the last call, left channel.
    std::vector<float> Played(int device);
    // The first sample that was not silence, 0 when none.
    static float FirstSound(const std::vector<float>& left);
    // Day log lines without their time stamps.
    std::vector<std::string> DayLogEntries() const;
    // Calls of the fakes that begin with prefix and name output.
    std::vector<std::string> Remote(int output) const;
    // The observation lines of one run of the engine tick, with
    // ShowObservation on; "Timer=" and "Interval=" without their values.
    std::vector<std::string> ObservedTick();

    Player& PlayerOf(int slot) { return window->State.PlayerAt(slot); }
    MainState& State() { return window->State; }

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    testsupport::ScratchRegistry registry;
    testsupport::ScratchFolder sounds;
    testsupport::FakePorts ports;
    std::unique_ptr<FrmMain> window;
    std::unique_ptr<PlaybackControl> control;
};

} // namespace playbacktest
