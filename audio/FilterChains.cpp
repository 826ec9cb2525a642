// FCT_Quartz: the chains of filters for a file, and their connections.
#include "audio/FCT_Quartz.h"

#include "audio/WaveHeader.h"
#include "foundation/DayLog.h"
#include "platform/ServerPaths.h"

#include <algorithm>
#include <vector>

namespace FCT_Quartz {

namespace {

using platform::audio::MediaGraph;
using platform::audio::PinDirection;

void Note(const std::string& line)
{
    basic::WriteLog(line, 0, 0);
}

// The first filter of the graph with the name, -1 when none.
int FindFilter(const MediaGraph& graph, std::string_view name)
{
    const std::string key = FilterKey(name);
    for (int filter = 0; filter < graph.FilterCount(); ++filter) {
        if (FilterKey(graph.FilterName(filter)) == key) {
            return filter;
        }
    }
    return -1;
}

// Adds every registered filter named in the chain, in the registered order,
// until as many were added as the chain has names; the file source reads
// fileName, the file writer writes outFileName.
void AddChainFilters(const std::vector<std::string>& chain, std::string_view fileName, std::string_view outFileName,
                     const std::string& fileWriterName, FilterGraphRecord& rec)
{
    MediaGraph& graph = *rec.Graph;
    std::vector<std::string> keys;
    for (const std::string& name : chain) {
        keys.push_back(FilterKey(name));
    }
    std::size_t added = 0;
    for (const auto& registered : *rec.RegFilters) {
        if (added >= chain.size()) {
            break;
        }
        const std::string key = FilterKey(registered.name);
        if (std::find(keys.begin(), keys.end(), key) == keys.end()) {
            continue;
        }
        const int filter = graph.AddFilter(registered);
        if (filter < 0) {
            continue;
        }
        ++added;
        if (graph.IsFileSource(filter)) {
            graph.SetSourceFileName(filter, platform::NativePath(fileName));
        }
        if (!outFileName.empty() && key == FilterKey(fileWriterName)) {
            graph.SetSinkFileName(filter, platform::NativePath(outFileName));
        }
    }
}

// The connections of a built chain hold only once the stream runs through
// them: the graph is prepared, and the first link found broken is reported.
std::int32_t Verify(const std::vector<std::string>& chain, const char* routine, FilterGraphRecord& rec)
{
    MediaGraph& graph = *rec.Graph;
    if (graph.Prepare()) {
        return 1;
    }
    std::size_t broken = chain.size() - 2;
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        const int filter = FindFilter(graph, chain[i]);
        if (filter < 0 || !graph.OutputConnected(filter)) {
            broken = i;
            break;
        }
    }
    Note(std::string(routine) + " " + chain[broken] + "#" + chain[broken + 1] + " connect failed");
    return 0;
}

} // namespace

std::int32_t ConnectPin(std::string_view fromName, std::string_view toName, FilterGraphRecord& rec)
{
    if (!rec.Graph) {
        return 0;
    }
    MediaGraph& graph = *rec.Graph;
    const std::string fromKey = FilterKey(fromName);
    const std::string toKey = FilterKey(toName);
    int fromFilter = -1;
    int toFilter = -1;
    int fromPin = -1;
    int toPin = -1;
    int fromCount = 0;
    int toCount = 0;
    for (int filter = 0; filter < graph.FilterCount() && (fromPin < 0 || toPin < 0); ++filter) {
        const std::string key = FilterKey(graph.FilterName(filter));
        const auto pins = graph.Pins(filter);
        if (fromFilter < 0 && key == fromKey) {
            fromFilter = filter;
            for (std::size_t i = 0; i < pins.size(); ++i) {
                if (pins[i].direction == PinDirection::Output) {
                    ++fromCount;
                    if (fromPin < 0) {
                        fromPin = static_cast<int>(i);
                    }
                }
            }
            if (fromCount > 1) {
                // A splitter: the output that carries the sound.
                for (std::size_t i = 0; i < pins.size(); ++i) {
                    std::string id;
                    for (const char c : FilterKey(pins[i].id)) {
                        if (c != ' ') {
                            id += c;
                        }
                    }
                    if (pins[i].direction == PinDirection::Output &&
                        (id.find("audio") != std::string::npos ||
                         (id.find('1') != std::string::npos && id.find("stream") != std::string::npos))) {
                        fromPin = static_cast<int>(i);
                        break;
                    }
                }
            }
        } else if (toFilter < 0 && key == toKey) {
            toFilter = filter;
            for (std::size_t i = 0; i < pins.size(); ++i) {
                ++toCount;
                if (pins[i].direction == PinDirection::Input) {
                    toPin = static_cast<int>(i);
                    break;
                }
            }
        }
    }
    if (fromPin < 0 || toPin < 0) {
        const bool fromSide = fromPin < 0;
        Note("Pin not set " + std::string(fromName) + "#" + std::string(toName) + " l=" + (fromSide ? "0" : "1") +
             " tFound=" + ((fromSide ? fromFilter : toFilter) >= 0 ? "1" : "0") +
             " tNumPin=" + std::to_string(fromSide ? fromCount : toCount));
        return 0;
    }
    if (!graph.Connect(fromFilter, fromPin, toFilter, toPin)) {
        Note("ConnectPin err " + std::string(fromName) + "#" + std::string(toName));
        return 0;
    }
    return 1;
}

std::int32_t SetupPinsToDecode(std::string_view fileName, std::string_view outFileName, std::int32_t mode,
                               FilterGraphRecord& rec)
{
    if (!rec.Graph || !rec.RegFilters) {
        return 0;
    }
    const std::string type = WaveMMIO::FileTypeByFormatTag(fileName);
    const std::string& source = rec.SourceName;
    const bool first = mode == 0;
    std::vector<std::string> chain;
    bool midi = false;
    if (type == "wav" || type == "aiff" || type == "aif") {
        if (!first) {
            return 0;
        }
        chain = {source, rec.ParserName};
    } else if (type == "mp1" || type == "mp2" || type == "mpa" || type == "mpg" || type == "mpeg") {
        if (!first) {
            return 0;
        }
        chain = {source, "MPEG-I Stream Splitter", "MPEG Audio Decoder"};
    } else if (type == "mp3") {
        const char* decoder = !first                ? "ACM Wrapper"
                              : rec.Mp3Decoder == 1 ? "MPEG Layer-3 Decoder"
                              : rec.Mp3Decoder == 2 ? "MP3 Decoder DMO"
                                                    : "ACM Wrapper";
        chain = {source, "MPEG-I Stream Splitter", decoder};
    } else if (type == "mp4" || type == "m4a") {
        chain = {source};
        if (rec.AacDecoder == 1) {
            chain.insert(chain.end(), {"Haali Media Splitter (AR)", "Microsoft DTV-DVD Audio Decoder"});
        } else if (rec.AacDecoder == 2) {
            chain.insert(chain.end(), {"Haali Media Splitter (AR)", "ffdshow Audio Decoder"});
        }
    } else if (type == "aac") {
        chain = {source, "MainConcept (Adobe2) Stream Parser", "MainConcept (Adobe2) AAC Decoder"};
    } else if (type == "ogg") {
        chain = {source, "ffdshow Audio Decoder"};
    } else if (type == "wma" || type == "asf" || type == "wmariff" || type == "wmv") {
        // The second attempt takes the other decoder family.
        const bool dmo = first ? rec.HasWmaDmo == 1 : rec.HasWmaDmo == 0;
        if (!dmo) {
            chain = {"Windows Media Source Filter", "ASF ACM Handler", "Windows Media Audio Decoder"};
        } else if (type == "wmariff") {
            chain = {source, rec.ParserName, "WMAudio Decoder DMO"};
        } else {
            chain = {"WM ASF Reader", "WMAudio Decoder DMO"};
        }
    } else if (type == "mid" || type == "smf") {
        if (!outFileName.empty()) {
            return 0;
        }
        chain = {source, "MIDI Parser", "Default MidiOut Device"};
        midi = true;
    } else {
        Note("SetupPinsToDecode Unknown Filetype #" + std::string(fileName));
        return 0;
    }
    if (!midi) {
        if (outFileName.empty()) {
            chain.push_back(rec.RendererName);
        } else {
            chain.push_back(rec.WavWriterName);
            chain.push_back(rec.FileWriterName);
        }
    }
    AddChainFilters(chain, fileName, outFileName, rec.FileWriterName, rec);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        if (ConnectPin(chain[i], chain[i + 1], rec) == 0) {
            Note("SetupPinsToDecode " + chain[i] + "#" + chain[i + 1] + " connect failed");
            return 0;
        }
    }
    return Verify(chain, "SetupPinsToDecode", rec);
}

std::int32_t RenderPinsToDecode(std::string_view fileName, std::string_view outFileName, FilterGraphRecord& rec)
{
    if (!rec.Graph || !rec.RegFilters) {
        return 0;
    }
    std::vector<std::string> chain{rec.SourceName, rec.RendererName};
    if (!outFileName.empty()) {
        chain = {rec.SourceName, rec.WavWriterName, rec.FileWriterName};
    }
    AddChainFilters(chain, fileName, outFileName, rec.FileWriterName, rec);
    if (!outFileName.empty() && ConnectPin(chain[1], chain[2], rec) == 0) {
        Note("RenderPinsToDecode " + chain[1] + "#" + chain[2] + " connect failed");
        return 0;
    }
    if (ConnectPin(chain[0], chain[1], rec) == 0) {
        Note("RenderPinsToDecode " + chain[0] + "#" + chain[1] + " connect failed");
        return 0;
    }
    return Verify({chain[0], chain[1]}, "RenderPinsToDecode", rec);
}

} // namespace FCT_Quartz
