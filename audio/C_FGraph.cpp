#include "audio/C_FGraph.h"

#include "audio/FCT_Quartz.h"
#include "foundation/FileAccess.h"
#include "foundation/Paths.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr std::int32_t silence = -10000;

bool Contains(const std::string& text, std::string_view part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

C_FGraph::~C_FGraph()
{
    CloseWave();
}

void C_FGraph::Init()
{
    FCT_Quartz::NewGraph(Graph);
    PlaySpeed_ = 1.0f;
    FromMS_ = 0;
    FileName_.clear();
    Playing_ = 0;
    Loaded_ = 0;
    Length_ = 0;
    FCT_Quartz::ResolveFilterNames(DevMode_, Graph);
    if (DevName_.empty() || !Graph.RegFilters) {
        return;
    }
    // The renderer of the configured device: its own name for the waveOut
    // kind, its DirectSound name for the DirectSound kind.
    const std::string device = basic::LowerAscii(DevName_);
    for (const auto& filter : *Graph.RegFilters) {
        const std::string name = basic::LowerAscii(filter.name);
        if (!Contains(name, device)) {
            continue;
        }
        const bool directSound = Contains(name, "列挙済") || Contains(name, "direct sound");
        if (DevMode_ == 1 ? directSound : !directSound) {
            Graph.RendererName = FCT_Quartz::FilterKey(filter.name);
            return;
        }
    }
}

void C_FGraph::SetFileName(std::string_view name)
{
    if (Loading_) {
        return;
    }
    FromMS_ = 0;
    ToMS_ = 0;
    if (name == FileName_ && StillLoaded(FileName_, loadedVersion_)) {
        return;
    }
    FileName_ = std::string(name);
    loadedVersion_ = FileVersion::Of(FileName_);
    if (Graph.Graph) {
        Graph.Graph->Stop();
    }
    FCT_Quartz::ReleaseGraph(Graph);
    if (basic::FileExists(FileName_) != 1) {
        Unload();
        return;
    }
    FCT_Quartz::NewGraph(Graph);
    Loading_ = true;
    bool built = FCT_Quartz::SetupPinsToDecode(FileName_, "", 0, Graph) == 1;
    // No other way of building plays on an output device that is lost.
    const bool deviceLost = !built && Graph.Graph && Graph.Graph->RendererLost();
    if (!built && !deviceLost) {
        FCT_Quartz::DisconnectPins(Graph);
        built = FCT_Quartz::SetupPinsToDecode(FileName_, "", 1, Graph) == 1;
    }
    if (!built && !deviceLost) {
        FCT_Quartz::ReleaseGraph(Graph);
        FCT_Quartz::NewGraph(Graph);
        built = FCT_Quartz::RenderPinsToDecode(FileName_, "", Graph) == 1;
    }
    Loading_ = false;
    if (!built) {
        // Nothing plays it: the player stays empty rather than hold a graph
        // that would report a start without sound.
        FCT_Quartz::ReleaseGraph(Graph);
        Unload();
        return;
    }
    if (Graph.Seeking != nullptr) {
        TakeLengthFromGraph();
        Graph.Seeking->SetCurrentPosition(0.0);
    }
    Graph.Audio = Graph.Graph.get();
    Graph.Audio->SetVolume(std::max(Level_ > VolMinLevel_ ? Level_ : silence, silence));
    Graph.Audio->SetBalance(PanValue_);
    if (Graph.Seeking != nullptr) {
        Graph.Seeking->SetRate(PlaySpeed_);
    }
    Loaded_ = 1;
}

void C_FGraph::StopIO(std::int32_t)
{
    if (Playing_ != 0 && Loaded_ != 0 && Graph.Graph && Graph.Seeking != nullptr) {
        Graph.Graph->Stop();
    }
    Playing_ = 0;
}

std::int32_t C_FGraph::Play()
{
    if (Loaded_ == 0 || !Graph.Graph || !ReopenLostOutput()) {
        return 0;
    }
    StopIO();
    // The position is set before the graph runs, so not one period of the
    // old position sounds.
    if (Graph.Seeking != nullptr) {
        Graph.Seeking->SetCurrentPosition(FromMS_ / 1000.0);
    }
    if (!Graph.Graph->Run()) {
        return 0;
    }
    Playing_ = 1;
    return 1;
}

bool C_FGraph::Ended()
{
    return Graph.Events != nullptr && Graph.Events->Completed();
}

void C_FGraph::CloseWave()
{
    StopIO();
    FCT_Quartz::ReleaseGraph(Graph);
    Unload();
}

std::int32_t C_FGraph::Attenuation()
{
    if (Graph.Audio != nullptr) {
        Level_ = Graph.Audio->Volume();
    }
    return Level_;
}

void C_FGraph::SetAttenuation(std::int32_t level)
{
    const double squared = static_cast<double>(level) * level;
    const std::int64_t scaled = VolMinLevel_ < 0 ? numeric::RoundToInt64(squared / VolMinLevel_) : 0;
    Level_ = static_cast<std::int32_t>(std::clamp<std::int64_t>(scaled, std::min(VolMinLevel_, 0), 0));
    if (Graph.Audio != nullptr) {
        Graph.Audio->SetVolume(std::max(Level_, silence));
    }
}

void C_FGraph::SetPlaySpeed(float speed)
{
    PlaySpeed_ = speed <= 0.0f ? 0.1f : speed;
    // The DirectSound renderer changes its rate at once; the other kind takes
    // the speed with the next file.
    if (DevMode_ == 1 && Graph.Seeking != nullptr) {
        Graph.Seeking->SetRate(PlaySpeed_);
    }
}
