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
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "support/DayLogEntries.h"
#include "support/NullOutputs.h"
#include "support/ProgramGlobals.h"

namespace playbacktest {

using platform::audio::AudioSystem;

void PlaybackFixture::SetUp()
{
    SetNow(Date(2026, 3, 10), At(10, 0, 0));
    basic::SetAppPath(program.Path());
    basic::SetProgramCommandLine("");
    registry.AddCommon("DebugLogPath", logs.Path());
    platform::SetMessageBoxAnswer([](const platform::MessageBoxRequest&) { return platform::IdYes; });
    testsupport::InstallNullOutputs(4, Rate, 60);
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
    const std::string path = sounds / name;
    testsupport::WriteRampWave(path, Rate, frames, cues);
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
    return testsupport::TakePlayedLeft(device);
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
    return testsupport::DayLogEntries(logs.Path());
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

std::vector<std::string> PlaybackFixture::ObservedTick()
{
    State().ShowObservation = 1;
    std::vector<std::string> lines;
    const auto kept = control->Hooks.AddObservation;
    control->Hooks.AddObservation = [&lines](std::string_view text) {
        std::string line(text);
        for (const std::string_view valued : {"Timer=", "Interval="}) {
            if (line.starts_with(valued)) {
                line.resize(valued.size());
            }
        }
        lines.push_back(line);
    };
    control->TimerUpdate_Timer();
    control->Hooks.AddObservation = kept;
    return lines;
}

} // namespace playbacktest
