#pragma once

#include "platform/audio/MediaFilterList.h"
#include "platform/audio/MediaGraph.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The graph objects of a filter-graph or DirectShow player and the names its
// chains are built from. The media graph is one object with every interface;
// each interface field is set while the player may use it and cleared (to
// nothing) when the graph is released.
struct FilterGraphRecord {
    // The graph's collection of registered filters.
    std::shared_ptr<const std::vector<platform::audio::MediaFilter>> RegFilters;
    // The graph itself (control interface).
    std::unique_ptr<platform::audio::MediaGraph> Graph;
    // Its event, position and audio interfaces.
    platform::audio::MediaGraph* Events = nullptr;
    platform::audio::MediaGraph* Seeking = nullptr;
    platform::audio::MediaGraph* Audio = nullptr;
    std::int32_t HasWmaDmo = 0;
    std::int32_t Mp3Decoder = 0;
    std::int32_t AacDecoder = 0;
    std::string RendererName;
    std::string SourceName;
    std::string ParserName;
    std::string WavWriterName;
    std::string FileWriterName;
};

// The position reading both graph players give: kind 0 the position, 1 the
// length minus it, 2 the end point minus it (ms, rounded). pastEndPoint is
// set when an end point short of the length has been passed, which makes the
// player stop.
struct GraphPositionReading {
    std::int32_t value = 0;
    bool pastEndPoint = false;
};
GraphPositionReading ReadGraphPosition(const FilterGraphRecord& graph, std::int32_t kind, std::int32_t lengthMs,
                                       std::int32_t toMs);
