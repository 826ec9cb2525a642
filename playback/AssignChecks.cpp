#include "playback/AssignChecks.h"

#include "audio/AudioInfoText.h"
#include "audio/CueList.h"
#include "audio/WaveHeader.h"
#include "foundation/DayLog.h"
#include "foundation/FileAccess.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "mainwindow/MainState.h"
#include "platform/MessageBox.h"
#include "platform/base/Numbers.h"
#include "platform/base/TextCodec.h"
#include "playback/AssignRecords.h"

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

namespace playback {

namespace {

const AssignRecord* FindDuplicate(const MainState& state, std::string_view path)
{
    const std::string name = basic::GetPathPart(path, 0, 0, 1, 1, 1, 0);
    const std::string lowerPath = basic::LowerAscii(path);
    const auto duplicate = [&](const AssignRecord& record) {
        return !record.FileName.empty() && basic::LowerAscii(record.FileName) != lowerPath &&
               basic::GetPathPart(record.FileName, 0, 0, 1, 1, 1, 0) == name;
    };
    const AssignRecord* found = nullptr;
    ForEachAssigned(state, [&](const AssignRecord& record) {
        if (duplicate(record)) {
            found = &record;
            return false;
        }
        return true;
    });
    return found;
}

std::int32_t PositionMs(std::int32_t position, std::int32_t rate)
{
    if (position <= 0) {
        return 0;
    }
    const double ms = static_cast<double>(position) / static_cast<double>(rate) * 1000.0;
    return static_cast<std::int32_t>(
        std::min<std::int64_t>(numeric::RoundToInt64(ms), std::numeric_limits<std::int32_t>::max()));
}

} // namespace

void CheckDuplicateTitle(const MainState& state, std::string_view path, std::int32_t& refused, platform::Form* owner)
{
    const AssignRecord* duplicate = FindDuplicate(state, path);
    refused = duplicate != nullptr ? 1 : 0;
    if (duplicate != nullptr) {
        basic::ShowMessage(std::string(path) + "\r\n" + duplicate->FileName + "\r\n" +
                               "同一タイトルの素材は使用できません",
                           platform::IconStop, "", owner);
    }
}

void CheckSoundPath(const MainState& state, std::string_view path, int showMessage, std::int32_t& allowed,
                    platform::Form* owner)
{
    const auto count = static_cast<std::size_t>(
        std::clamp<std::int32_t>(state.SoundDriveCount, 0, static_cast<std::int32_t>(state.SoundDriveList.size())));
    if (count == 0) {
        allowed = 1;
        return;
    }
    const std::string lowerPath = basic::LowerAscii(path);
    for (std::size_t i = 0; i < count; ++i) {
        const std::string entry = basic::LowerAscii(state.SoundDriveList[i]);
        if (lowerPath.compare(0, entry.size(), entry) == 0) {
            allowed = 1;
            return;
        }
    }
    allowed = 0;
    if (showMessage != 0) {
        basic::ShowMessage(basic::LangText("この場所の素材は使用できません", "Invalid Path.") + "\r\n" +
                               std::string(path),
                           platform::IconStop, "", owner);
    }
}

void CheckNameIsText(const MainState& state, std::string_view path, std::int32_t& refused, platform::Form* owner)
{
    refused = textcodec::IsValidUtf8(path) ? 0 : 1;
    if (refused == 0) {
        return;
    }
    const std::string shown = textcodec::ShowingStrayBytes(path);
    const std::string table = state.CurrentFilePath.empty() ? std::string("The assign table") : state.CurrentFilePath;
    basic::WriteLog("Sound file refused: " + textcodec::NotUtf8Note(table, path), 1, 0);
    // The byte shown as "\xNN": as text it would show as a replacement
    // character, and the operator could not tell which byte it is.
    basic::ShowMessage(basic::LangText("この場所の素材は使用できません", "Invalid Path.") + "\r\n" + shown,
                       platform::IconStop, "", owner);
}

bool BackEndPlays(std::string_view path)
{
    switch (parms::PlayerType) {
    case 0:
        return WaveMMIO::IsPlayableWave(path, 0, 0) == 1;
    case 3:
        return WaveMMIO::IsPlayableWave(path, 0, 1) == 1;
    default:
        return basic::FileExists(path) != 0;
    }
}

void ReadCueMarkers(std::string_view path, WaveInfoRecord& info, std::int32_t& length)
{
    length = 0;
    const auto& active = basic::CueActive;
    const bool anyCue = active[0] != 0 || active[1] != 0 || active[2] != 0;
    if (!anyCue || (parms::PlayerType != 0 && parms::PlayerType != 3)) {
        length = FCT_AudioInf::GetAudioInfoText(path, 0, 0, 0).LengthMS;
        return;
    }
    int handle = basic::OpenFileHandle(path, basic::OpenForRead, 0);
    if (handle == 0) {
        return;
    }
    const WaveInfoRecord header = info.Valid == 1 ? info : WaveMMIO::ReadWaveHeader(path, handle);
    std::vector<CueRecord> cues;
    const std::int32_t count = WaveBWFJ::ReadCueList(path, handle, cues);
    basic::CloseFileHandle(handle);
    if (header.Valid != 1 || header.SampleRate < 1) {
        // Not a wave file the cues can be placed in: it plays by its length.
        length = FCT_AudioInf::GetAudioInfoText(path, 0, 0, 0).LengthMS;
        return;
    }
    std::int32_t start = 0;
    std::int32_t end = 0;
    std::int32_t stop = 0;
    for (std::int32_t i = 0; i < count && static_cast<std::size_t>(i) < cues.size(); ++i) {
        const CueRecord& cue = cues[static_cast<std::size_t>(i)];
        const std::string label = basic::UpperAscii(cue.Label);
        if (label == "BC$STANDBY" && active[0] != 0) {
            start = cue.SampleOffset;
        } else if (label == "BC$END" && active[1] != 0) {
            end = cue.SampleOffset;
        } else if (label == "BC$STOP" && active[2] != 0) {
            stop = cue.SampleOffset;
        }
    }
    const std::int32_t startMs = PositionMs(start, header.SampleRate);
    std::int32_t endMs = header.LengthMS;
    if (end > 0) {
        endMs = PositionMs(end, header.SampleRate);
    } else if (stop > 0) {
        endMs = PositionMs(stop, header.SampleRate);
    }
    length = endMs > startMs ? endMs - startMs : 0;
}

} // namespace playback
