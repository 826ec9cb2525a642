#include "audio/GraphPlayer.h"

#include "platform/base/Numbers.h"

namespace {

using platform::audio::GraphState;

} // namespace

void GraphPlayer::Unload()
{
    FileName_.clear();
    Loaded_ = 0;
    Playing_ = 0;
    Length_ = 0;
}

void GraphPlayer::TakeLengthFromGraph()
{
    Length_ = static_cast<std::int32_t>(numeric::RoundToInt64(Graph.Seeking->Duration() * 1000.0));
    ToMS_ = Length_;
}

bool GraphPlayer::ReopenLostOutput()
{
    if (!Graph.Graph->RendererLost()) {
        return true;
    }
    Playing_ = 0;
    return Graph.Graph->ReopenLostRenderers();
}

void GraphPlayer::Pause()
{
    if (Loaded_ == 0 || !Graph.Graph) {
        return;
    }
    switch (Graph.Graph->State()) {
    case GraphState::Paused:
        Graph.Graph->Run();
        break;
    case GraphState::Running:
        if (Pausable()) {
            Graph.Graph->Pause();
        }
        break;
    case GraphState::Stopped:
        break;
    }
}

std::int32_t GraphPlayer::Position(std::int32_t kind)
{
    if (Playing_ == 0 || Loaded_ == 0) {
        return 0;
    }
    const GraphPositionReading reading = ReadGraphPosition(Graph, kind, Length_, ToMS_);
    if (reading.pastEndPoint) {
        StopIO();
    }
    return reading.value;
}

std::int32_t GraphPlayer::mode()
{
    if (!Graph.Graph) {
        return 1;
    }
    const bool lost = Graph.Graph->PollOutputLost();
    if (Loaded_ != 0 && !Graph.Graph->Valid()) {
        // Its graph was given up on (its file's share stopped answering): the
        // player stands empty, and the next press on the file builds anew.
        Unload();
        return 1;
    }
    if (lost && Graph.Graph->State() != GraphState::Stopped) {
        // Nothing sounds any more (the device logged its loss): the lamps and
        // the tally must not say otherwise.
        StopIO();
        return 1;
    }
    switch (Graph.Graph->State()) {
    case GraphState::Paused:
        return 2;
    case GraphState::Running:
        if (Ended()) {
            StopIO();
            return 0;
        }
        return 3;
    case GraphState::Stopped:
        break;
    }
    return 1;
}

std::int32_t GraphPlayer::PanValue()
{
    if (Graph.Audio != nullptr) {
        PanValue_ = Graph.Audio->Balance();
    }
    return PanValue_;
}

void GraphPlayer::SetPanValue(std::int32_t pan)
{
    PanValue_ = pan;
    if (Graph.Audio != nullptr) {
        Graph.Audio->SetBalance(pan);
    }
}
