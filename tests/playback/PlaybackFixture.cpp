#include "PlaybackFixture.h"

#include "foundation/CommandLine.h"
#include "foundation/DayLog.h"
#include "foundation/Fonts.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SubClass.h"
#include "mainwindow/OutputPlayers.h"
#include "platform/MessageBox.h"
#include "platform/SessionEndpoint.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/NullSink.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "support/ProgramGlobals.h"
#include "support/RiffFileBuilder.h"

#include <cmath>
#include <filesystem>
#include <fstream>

namespace playbacktest {

namespace fs = std::filesystem;
using namespace platform::audio;

void PlaybackFixture::SetUp()
{
    SetNow(Date(2026, 3, 10), At(10, 0, 0));
    basic::SetAppPath(program.Path());
    basic::SetProgramCommandLine("");
    registry.AddCommon("DebugLogPath", logs.Path());
    platform::SetMessageBoxAnswer([](const platform::MessageBoxRequest&) { return platform::IdYes; });
    DeviceOptions options;
    options.rate = Rate;
    options.channels = 2;
    options.periodFrames = 256;
    AudioSystem::Install(AudioSystem::WithNullDevices(4, NullTiming::VirtualClock, options, 60));
    window = std::make_unique<FrmMain>();
    control = std::make_unique<PlaybackControl>(*window);
    window->Ports = ports.Wire();
    window->Ports.Engine = control.get();
    window->Ports.Playback = control.get();
    window->Ports.ControlEvents = control.get();
    window->Ports.StatusLabels = control.get();
    control->OtherPlayback = &ports.Playback;
    control->OtherEvents = &ports.ControlEvents;
    Store("PlayerType", "3");
}

void PlaybackFixture::TearDown()
{
    if (window) {
        window->State.Running = 0;
        FCT_SubClass::UnsubclassWindow(window.get());
    }
    control.reset();
    window.reset();
    testsupport::ResetProgramGlobals();
}

void PlaybackFixture::Store(const std::string& key, const std::string& value)
{
    basic::RegWrite(key, value, "tolv");
}

bool PlaybackFixture::Start(int numOut)
{
    Store("NumOut", std::to_string(numOut));
    for (int n = 1; n <= 4; ++n) {
        Store("DeviceWave_" + std::to_string(n), "Null " + std::to_string(n));
    }
    return window->Form_Load() == FrmMain::StartOutcome::Running;
}

std::string PlaybackFixture::RampWave(const std::string& name, int frames,
                                      const std::vector<std::pair<std::uint32_t, std::string>>& cues)
{
    testsupport::Bytes samples;
    samples.reserve(static_cast<std::size_t>(frames) * 4);
    for (int f = 0; f < frames; ++f) {
        const auto value = static_cast<std::uint16_t>(Ramp(f));
        for (int channel = 0; channel < 2; ++channel) {
            samples.push_back(static_cast<std::uint8_t>(value & 0xFF));
            samples.push_back(static_cast<std::uint8_t>(value >> 8));
        }
    }
    testsupport::RiffFileBuilder builder;
    builder.Format(1, 2, Rate, 16).Data(samples);
    if (!cues.empty()) {
        std::vector<testsupport::RiffFileBuilder::CuePoint> points;
        std::vector<testsupport::Bytes> labels;
        std::uint32_t id = 1;
        for (const auto& [frame, label] : cues) {
            points.push_back({id, frame});
            labels.push_back(testsupport::RiffFileBuilder::Label(id, label));
            ++id;
        }
        builder.Cues(points).List("adtl", labels);
    }
    const std::string path = sounds / name;
    fs::create_directories(fs::path(path).parent_path());
    builder.WriteTo(path);
    return path;
}

AssignRecord& PlaybackFixture::Assign(int output, int page, int button, const std::string& path, int playMode,
                                      int startMs)
{
    AssignRecord& record = window->State.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
    record = AssignRecord{};
    record.FileName = path;
    record.PlayMode = playMode;
    record.StartMS = startMs;
    return record;
}

void PlaybackFixture::Run(int ms)
{
    clock.Advance(ms);
    AudioSystem::Current().Sync();
}

std::vector<float> PlaybackFixture::Played(int device)
{
    AudioSystem::Current().Sync();
    NullSink* sink = AudioSystem::Current().NullOutput(device);
    std::vector<float> left;
    if (sink == nullptr) {
        return left;
    }
    const std::vector<float> both = sink->TakePlayed();
    left.reserve(both.size() / 2);
    for (std::size_t i = 0; i + 1 < both.size(); i += 2) {
        left.push_back(both[i]);
    }
    return left;
}

float PlaybackFixture::FirstSound(const std::vector<float>& left)
{
    for (const float sample : left) {
        if (sample != 0.0F) {
            return sample;
        }
    }
    return 0.0F;
}

std::vector<std::string> PlaybackFixture::DayLogEntries() const
{
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(logs.Path())) {
        if (entry.path().extension() != ".log" && entry.path().extension() != ".err") {
            continue;
        }
        std::ifstream file(entry.path());
        std::string line;
        while (std::getline(file, line)) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            entries.push_back(line.size() > 20 ? line.substr(20) : line);
        }
    }
    return entries;
}

std::vector<std::string> PlaybackFixture::Remote(int output) const
{
    std::vector<std::string> found;
    const std::string prefix = "SendRemoteCommand " + std::to_string(output) + " ";
    for (const std::string& call : ports.Log.Calls()) {
        if (call.rfind(prefix, 0) == 0) {
            found.push_back(call.substr(prefix.size()));
        }
    }
    return found;
}

} // namespace playbacktest
