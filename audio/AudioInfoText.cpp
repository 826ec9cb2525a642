#include "audio/AudioInfoText.h"

#include "audio/AudioLengthPlayer.h"
#include "audio/FileTypeNames.h"
#include "audio/MpegHeader.h"
#include "audio/RateText.h"
#include "audio/WaveHeader.h"
#include "foundation/Durations.h"
#include "foundation/Paths.h"

#include <algorithm>
#include <array>
#include <string>

namespace FCT_AudioInf {

namespace {

constexpr int FormatTagPcm = 1;
constexpr int FormatTagExtensible = -2;
constexpr int FormatTagMpeg = 0x50;
constexpr int FormatTagMpegLayer3 = 0x55;

constexpr std::array<std::string_view, 12> PlayerTypes{"mpg",  "mpeg", "mid", "asf", "au",  "aif",
                                                       "aiff", "snd",  "wma", "wmv", "m4a", "aac"};

bool IsMpegExtension(std::string_view extension)
{
    return extension == "mp1" || extension == "mp2" || extension == "mp3";
}

bool IsPlayerType(std::string_view extension)
{
    return std::find(PlayerTypes.begin(), PlayerTypes.end(), extension) != PlayerTypes.end();
}

std::string ChannelWord(int channels, bool longForm)
{
    if (channels == 1) {
        return "Mono";
    }
    if (channels == 2) {
        return longForm ? "Stereo" : "St";
    }
    return std::to_string(channels) + "ch";
}

std::string WaveText(const WaveInfoRecord& header, bool longForm)
{
    const std::string rate =
        longForm ? std::to_string(header.SampleRate) + "Hz/" : audiofile::RateInKilohertz(header.SampleRate) + "kHz/";
    return "wav(" + rate + std::to_string(header.Bits) + "bit/" + ChannelWord(header.Channels, longForm) + ")";
}

std::string Trimmed(std::string text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool ReadMpeg(audiofile::SoundFileSource& file, std::string_view fileName, bool longForm, AudioInfo& result)
{
    MpegInfo mpeg;
    if (FCT_mpeg::GetMpegInfo(file, fileName, mpeg) != 1) {
        return false;
    }
    result.Text = Trimmed(longForm ? mpeg.LongText : mpeg.ShortText);
    result.LengthMS = mpeg.LengthMS;
    result.Ok = 1;
    return true;
}

// Opens a player once only to ask its length. A player that cannot tell one
// reports no length rather than success.
void AskPlayer(std::string_view fileName, const std::string& typeName, AudioInfo& result)
{
    result.Text = typeName;
    std::unique_ptr<AudioLengthPlayer> player = CreateAudioLengthPlayer();
    if (!player) {
        return;
    }
    player->Init();
    player->SetFileName(std::string(fileName));
    result.LengthMS = std::max(0, player->Length());
    player->CloseWave();
    result.Ok = result.LengthMS > 0 ? 1 : 0;
}

} // namespace

AudioInfo GetAudioInfoText(std::string_view fileName, int handle, int mode, int longForm)
{
    AudioInfo result;
    audiofile::SoundFileSource file(fileName, handle);
    if (!file.IsOpen()) {
        return result;
    }
    const std::string typeName = GetFileTypeName(fileName);
    const std::string extension = basic::GetPathPart(fileName, 0, 0, 0, 0, 1, 1);
    const bool longWords = longForm == 1;
    bool needPlayer = false;
    if (extension == "wav") {
        const WaveInfoRecord header = WaveMMIO::ReadWaveHeader(file);
        if (header.Valid == 1 && (header.FormatTag == FormatTagPcm || header.FormatTag == FormatTagExtensible)) {
            result.Text = WaveText(header, longWords);
            result.LengthMS = header.LengthMS;
            result.Ok = 1;
        } else if (header.FormatTag == FormatTagMpeg || header.FormatTag == FormatTagMpegLayer3) {
            needPlayer = !ReadMpeg(file, fileName, longWords, result);
        } else {
            needPlayer = true;
        }
    } else if (IsMpegExtension(extension)) {
        needPlayer = !ReadMpeg(file, fileName, longWords, result);
    } else if (IsPlayerType(extension)) {
        needPlayer = true;
    }
    if (needPlayer) {
        file.Close();
        AskPlayer(fileName, typeName, result);
    }

    if (mode != 1) {
        if (result.Text.empty()) {
            result.Text = typeName;
        }
        return result;
    }
    std::string lines = std::string(fileName) + "\n" + typeName + "\n";
    if (!result.Text.empty()) {
        lines += result.Text + "\n";
    }
    lines += basic::FormatDuration(result.LengthMS, 0, 0);
    result.Text = lines;
    return result;
}

} // namespace FCT_AudioInf
