#include "playback/PreRead.h"

#include "audio/WaveHeader.h"
#include "foundation/FileAccess.h"
#include "foundation/HostReachability.h"
#include "foundation/Parms.h"
#include "mainwindow/MainState.h"
#include "playback/AssignChecks.h"
#include "playback/CacheNames.h"

#include <algorithm>
#include <string>
#include <vector>

namespace playback {

namespace {

std::string PlayedCopy(std::string_view path, bool& cached)
{
    std::string local = GetLocalFilename(path);
    cached = basic::FileExists(local) != 0;
    return cached ? local : std::string(path);
}

} // namespace

void PreReadAll(MainState& state, int allowSoundPreRead)
{
    state.InvalidIncluded = 0;
    const bool preRead = allowSoundPreRead == 1 && parms::PreReadSound == 1;
    const auto visit = [&](AssignRecord& record) {
        ReadItemCue(state, record);
        if (preRead) {
            PreReadSoundFile(record.FileName);
        }
    };
    const int outputs = std::clamp(state.NumOut, 0, AssignOutputs);
    const int pages = std::clamp(state.PageNum, 0, AssignPages);
    for (int output = 0; output < outputs; ++output) {
        const bool list = parms::IsList[static_cast<std::size_t>(output)] == 1;
        const int buttons = std::clamp(state.ButtonsPerPage[static_cast<std::size_t>(output)], 0, AssignButtons);
        for (int page = 0; page < pages; ++page) {
            if (list) {
                for (AssignRecord& record :
                     state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))].Items) {
                    if (!record.FileName.empty()) {
                        visit(record);
                    }
                }
                continue;
            }
            for (int button = 0; button < buttons; ++button) {
                AssignRecord& record =
                    state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
                if (!record.FileName.empty()) {
                    visit(record);
                }
            }
        }
    }
}

void ReadItemCue(MainState& state, AssignRecord& record)
{
    bool cached = false;
    const std::string local = PlayedCopy(record.FileName, cached);
    if (!cached) {
        record.Cached = 0;
    }
    const bool hostAnswers = FCT_Ping::IsPathHostReachable(record.FileName, 1500, 300) == 1;
    bool valid = hostAnswers;
    if (valid) {
        valid = BackEndPlays(record.FileName);
    }
    record.Invalid = valid ? 0 : 1;
    if (!valid) {
        state.InvalidIncluded = 1;
    }
    WaveInfoRecord info;
    std::int32_t length = 0;
    // A server that does not answer is not touched again for the length.
    if (hostAnswers || cached) {
        ReadCueMarkers(local, info, length);
    }
    record.LengthMS = length;
}

int PreReadSoundFile(std::string_view path)
{
    bool cached = false;
    const std::string local = PlayedCopy(path, cached);
    const std::int64_t size = basic::GetFileSizeByName(local);
    if (size <= 0) {
        return 0;
    }
    std::vector<std::uint8_t> buffer(static_cast<std::size_t>(std::min(size, PreReadBytes)));
    std::int64_t read = 0;
    const int result = basic::ReadFileAt(buffer, 0, 0, local, 1, &read);
    return result != 0 && read > 0 ? 1 : 0;
}

} // namespace playback
