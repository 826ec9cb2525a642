// FCT_Quartz: the graph objects and the filter names.
#include "audio/FCT_Quartz.h"

#include "foundation/Paths.h"

#include <array>

namespace FCT_Quartz {

using platform::audio::MediaGraph;
using platform::audio::PinDirection;

std::string FilterKey(std::string_view name)
{
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = name.find_last_not_of(' ');
    return basic::LowerAscii(name.substr(first, last - first + 1));
}

void NewGraph(FilterGraphRecord& rec)
{
    auto graph = std::make_unique<MediaGraph>();
    if (!graph->Valid()) {
        return;
    }
    rec.Graph = std::move(graph);
    rec.RegFilters = std::make_shared<const std::vector<platform::audio::MediaFilter>>(rec.Graph->Registered());
    rec.Events = rec.Graph.get();
    rec.Seeking = rec.Graph.get();
    rec.Audio = rec.Graph.get();
}

void ResolveFilterNames(std::int32_t devMode, FilterGraphRecord& rec)
{
    rec.SourceName = "File Source (Async.)";
    rec.ParserName = "Wave Parser";
    rec.FileWriterName = "File writer";
    if (!rec.RegFilters) {
        return;
    }
    const auto registered = [&rec](std::string_view name) {
        const std::string key = FilterKey(name);
        for (const auto& filter : *rec.RegFilters) {
            if (FilterKey(filter.name) == key) {
                return true;
            }
        }
        return false;
    };
    // waveOut renderers first for mode 0, DirectSound ones first for mode 1.
    for (int step = 0; step < 5; ++step) {
        const char* name = DefaultRendererNames[devMode == 1 ? 4 - step : step];
        if (registered(name)) {
            rec.RendererName = name;
            break;
        }
    }
    rec.HasWmaDmo = 0;
    rec.Mp3Decoder = 0;
    rec.AacDecoder = 0;
    for (const auto& filter : *rec.RegFilters) {
        const std::string key = FilterKey(filter.name);
        if (key == "wav dest" && rec.WavWriterName.empty()) {
            rec.WavWriterName = filter.name;
        } else if (key == "audiorecorder wav dest") {
            rec.WavWriterName = filter.name;
        } else if (key == "mpeg layer-3 decoder") {
            rec.Mp3Decoder = 1;
        } else if (key == "mp3 decoder dmo" && rec.Mp3Decoder == 0) {
            rec.Mp3Decoder = 2;
        } else if (key == "wmaudio decoder dmo") {
            rec.HasWmaDmo = 1;
        } else if (rec.AacDecoder < 2 && key == "microsoft dtv-dvd audio decoder") {
            rec.AacDecoder = 1;
        } else if (rec.AacDecoder < 2 && key == "ffdshow audio decoder") {
            rec.AacDecoder = 2;
        }
    }
}

void DisconnectPins(FilterGraphRecord& rec)
{
    if (!rec.Graph) {
        return;
    }
    MediaGraph& graph = *rec.Graph;
    for (int filter = 0; filter < graph.FilterCount(); ++filter) {
        const auto pins = graph.Pins(filter);
        for (std::size_t pin = 0; pin < pins.size(); ++pin) {
            if (pins[pin].direction == PinDirection::Output) {
                graph.Disconnect(filter, static_cast<int>(pin));
            }
        }
    }
}

void ReleaseGraph(FilterGraphRecord& rec)
{
    DisconnectPins(rec);
    rec.Events = nullptr;
    rec.Seeking = nullptr;
    rec.Audio = nullptr;
    rec.RegFilters.reset();
    rec.Graph.reset();
}

} // namespace FCT_Quartz
