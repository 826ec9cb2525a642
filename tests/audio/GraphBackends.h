#pragma once

#include "audio/C_DShow.h"
#include "audio/C_FGraph.h"
#include "audio/C_MCI.h"

#include <functional>
#include <memory>
#include <vector>

namespace graphtest {

struct Backend {
    const char* name;
    std::function<std::unique_ptr<Player>()> make;
};

// The graph and MCI back-ends (1, 2, 4 and 5) as the engine makes them, all
// on the default device, which reaches "Null 1".
inline std::vector<Backend> GraphBackends()
{
    const auto filterGraph = [](int devMode) {
        auto player = std::make_unique<C_FGraph>();
        player->SetDevMode(devMode);
        player->SetDevName("Null 1");
        player->Init();
        return player;
    };
    return {{"DirectShow", [] { return std::make_unique<C_DShow>(); }},
            {"MCI", [] { return std::make_unique<C_MCI>(); }},
            {"filter graph, waveOut", [=] { return filterGraph(0); }},
            {"filter graph, DirectSound", [=] { return filterGraph(1); }}};
}

} // namespace graphtest
