#pragma once

#include "audio/C_MCI.h"
#include "audio/GraphPlayer.h"
#include "platform/audio/MciCommands.h"
#include "platform/audio/MediaGraph.h"

namespace testsupport {

// The graph a graph back-end or an MCI device plays through, null for the
// players that feed their voices from the program's thread. Those graphs
// decode on threads of their own, in real time, which a test on virtual time
// waits for.
inline platform::audio::MediaGraph* GraphOfPlayer(Player& player)
{
    if (auto* graph = dynamic_cast<GraphPlayer*>(&player)) {
        return graph->MediaGraphInUse();
    }
    if (auto* mci = dynamic_cast<C_MCI*>(&player)) {
        platform::audio::MciDevice* device = platform::audio::mci::Device(mci->DevID());
        return device != nullptr ? device->Graph() : nullptr;
    }
    return nullptr;
}

} // namespace testsupport
