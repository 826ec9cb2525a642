#include "audio/C_DShow.h"

#include "audio/FCT_Quartz.h"
#include "foundation/FileAccess.h"
#include "platform/ServerPaths.h"
#include "platform/audio/MediaFramework.h"
#include "platform/base/Numbers.h"

#include <algorithm>

namespace {

constexpr std::int32_t silence = -10000;
// Below this stored attenuation a newly loaded file starts silent.
constexpr std::int32_t loadSilenceBelow = -5000;

} // namespace

// GStreamer starts with the player, at start-up: its first start takes a
// good part of a second, which the first press would otherwise be heard late by.
C_DShow::C_DShow()
{
    platform::audio::StartMediaFramework();
}

C_DShow::~C_DShow()
{
    CloseWave();
}

void C_DShow::SetFileName(std::string_view name)
{
    if (Loading_) {
        return;
    }
    StopIO();
    FromMS_ = 0;
    ToMS_ = 0;
    if (name == FileName_ && StillLoaded(FileName_, loadedVersion_)) {
        return;
    }
    FileName_ = std::string(name);
    loadedVersion_ = FileVersion::Of(FileName_);
    FCT_Quartz::ReleaseGraph(Graph);
    if (basic::FileExists(FileName_) != 1) {
        Unload();
        return;
    }
    FCT_Quartz::NewGraph(Graph);
    Loading_ = true;
    const bool rendered = Graph.Graph && Graph.Graph->RenderFile(platform::NativePath(FileName_), 0);
    Loading_ = false;
    if (!rendered) {
        // Nothing renders it: the player stays empty rather than hold a graph
        // that would report a start without sound.
        FCT_Quartz::ReleaseGraph(Graph);
        Unload();
        return;
    }
    if (Graph.Seeking != nullptr) {
        TakeLengthFromGraph();
        Graph.Seeking->SetRate(PlaySpeed_);
        Graph.Seeking->SetCurrentPosition(0.0);
    }
    if (Graph.Audio != nullptr) {
        // The attenuation stored before the file is sent as the volume as it is.
        Graph.Audio->SetVolume(Attenuation_ > loadSilenceBelow ? std::min(Attenuation_, 0) : silence);
        Graph.Audio->SetBalance(PanValue_);
    }
    Loaded_ = 1;
}

bool C_DShow::Ended()
{
    return Graph.Events == nullptr || Graph.Events->Completed();
}

void C_DShow::StopIO(std::int32_t)
{
    if (Playing_ != 0 && Loaded_ != 0 && Graph.Graph && Graph.Seeking != nullptr) {
        Graph.Graph->Stop();
        Graph.Seeking->SetCurrentPosition(0.0);
    }
    Playing_ = 0;
}

std::int32_t C_DShow::Play()
{
    if (Loaded_ == 0 || !Graph.Graph || !ReopenLostOutput()) {
        return 0;
    }
    if (FromMS_ >= Length_) {
        FromMS_ = 0;
    }
    if (Graph.Seeking != nullptr) {
        Graph.Seeking->SetCurrentPosition(FromMS_ / 1000.0);
    }
    if (Playing_ == 0 && !Graph.Graph->Run()) {
        return 0;
    }
    Playing_ = 1;
    return 1;
}

void C_DShow::CloseWave()
{
    StopIO();
    FCT_Quartz::ReleaseGraph(Graph);
    FileName_.clear();
    FromMS_ = 0;
    Length_ = 0;
    Playing_ = 0;
    Loaded_ = 0;
}

void C_DShow::SetAttenuation(std::int32_t level)
{
    if (Graph.Audio != nullptr) {
        std::int32_t volume = silence;
        if (level > VolMinLevel_ && VolMinLevel_ < 0) {
            const double squared = static_cast<double>(level) * level;
            volume = static_cast<std::int32_t>(
                std::clamp<std::int64_t>(numeric::RoundToInt64(squared / VolMinLevel_), silence, 0));
        } else if (level > VolMinLevel_) {
            volume = 0;
        }
        Graph.Audio->SetVolume(volume);
    }
    Attenuation_ = level;
}

void C_DShow::SetPlaySpeed(float speed)
{
    PlaySpeed_ = speed <= 0.0f ? 0.1f : speed;
    if (Graph.Seeking != nullptr) {
        Graph.Seeking->SetRate(PlaySpeed_);
    }
}
