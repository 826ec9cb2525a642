// MediaGraph: renderers whose output device was lost (unplugged), and their
// new voices once the device is back.
#include "platform/audio/MediaGraph.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/MediaGraphParts.h"
#include "platform/base/LogSink.h"

#include <algorithm>

namespace platform::audio {

bool MediaGraph::PollOutputLost()
{
    // The players poll here on every tick, also while stopped: a seek that
    // never lands fails the graph from here.
    SettleSeek();
    bool any = false;
    bool every = true;
    ForEachFeed([&any, &every](RendererFeed& feed) {
        // Nothing else polls a graph's devices: their losses and underruns
        // reach the log from here.
        feed.SyncDevice();
        any = true;
        every = every && feed.DeviceLost();
    });
    AudioSystem::CheckLostDevicesOfInstalled();
    if (any && every) {
        lastError_ = ErrorText(AudioError::DeviceLost);
        return true;
    }
    return false;
}

bool MediaGraph::RendererLost() const
{
    return preparedOnLostDevice_ || std::any_of(filters_.begin(), filters_.end(), [](const auto& filter) {
               return filter->element != nullptr && filter->feed && filter->feed->DeviceLost();
           });
}

bool MediaGraph::ReopenLostRenderers()
{
    if (!RendererLost()) {
        return true;
    }
    if (!preparedOk_) {
        return false; // nothing was prepared: there are no voices to renew
    }
    // Stopped, the streams are held and their positions kept; the next run
    // seeks there, which decodes into the new voices.
    Halt();
    AudioError error = AudioError::None;
    ForEachFeed([&error](RendererFeed& feed) {
        if (error == AudioError::None && feed.DeviceLost()) {
            error = feed.ReopenVoice();
        }
    });
    if (error != AudioError::None) {
        lastError_ = DeviceRefusal(error);
        Log("Media graph: " + lastError_, 0);
        return false;
    }
    return true;
}

} // namespace platform::audio
