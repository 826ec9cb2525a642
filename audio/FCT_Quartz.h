#pragma once

#include "audio/FilterGraphRecord.h"

#include <cstdint>
#include <string>
#include <string_view>

// Building filter graphs filter by filter: the filters are found by their
// registered friendly names, chosen by the file type, added to the graph and
// connected pin to pin in a chain that ends at the renderer of the output's
// device. Filter names compare in lower case without surrounding blanks.
// Failures write day-log lines (not forced) and give 0; nothing throws.
namespace FCT_Quartz {

// Default renderer names in their order (index 0..4).
inline constexpr const char* DefaultRendererNames[5] = {"Default WaveOut Device", "既定の WaveOut デバイス",
                                                        "既定の WAVE 出力デバイス", "既定の DirectSound デバイス",
                                                        "Default DirectSound Device"};

// A new, empty graph in rec with all its interfaces.
void NewGraph(FilterGraphRecord& rec);
// The fixed names, the default renderer (waveOut names first for devMode 0,
// DirectSound names first for 1) and the decoder flags of what is registered.
void ResolveFilterNames(std::int32_t devMode, FilterGraphRecord& rec);
// Disconnects the pins, then lets every interface and the graph go.
void ReleaseGraph(FilterGraphRecord& rec);
// Disconnects every output pin of every filter of the graph.
void DisconnectPins(FilterGraphRecord& rec);

// The explicit chain for the file's type (mode 0, or mode 1 the other decoder
// choice); with an output file the chain ends in the wave writer and the file
// writer instead of the renderer. 1 when connected, else 0.
std::int32_t SetupPinsToDecode(std::string_view fileName, std::string_view outFileName, std::int32_t mode,
                               FilterGraphRecord& rec);
// Only the source and the renderer (or the writers), the graph putting what
// it needs between them. 1 or 0.
std::int32_t RenderPinsToDecode(std::string_view fileName, std::string_view outFileName, FilterGraphRecord& rec);
// Connects an output pin of the filter named fromName to the first input pin
// of the filter named toName. 1 or 0.
std::int32_t ConnectPin(std::string_view fromName, std::string_view toName, FilterGraphRecord& rec);

// A filter name as names are compared: lower case, no surrounding blanks.
std::string FilterKey(std::string_view name);

} // namespace FCT_Quartz
