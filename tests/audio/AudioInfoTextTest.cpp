#include "audio/AudioInfoText.h"
#include "audio/AudioLengthPlayer.h"
#include "audio/FileTypeNames.h"

#include "support/MpegFileBuilder.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {

using testsupport::Bytes;
using testsupport::RiffFileBuilder;

// Records what the information routine asks of a player.
class RecordingPlayer final : public FCT_AudioInf::AudioLengthPlayer {
public:
    RecordingPlayer(std::vector<std::string>& calls, std::int32_t length) : calls_(calls), length_(length) {}
    void Init() override { calls_.push_back("Init"); }
    void SetFileName(const std::string& fileName) override { calls_.push_back("FileName " + fileName); }
    std::int32_t Length() override
    {
        calls_.push_back("Length");
        return length_;
    }
    void CloseWave() override { calls_.push_back("CloseWave"); }

private:
    std::vector<std::string>& calls_;
    std::int32_t length_;
};

class AudioInfoText : public testing::Test {
protected:
    void SetUp() override
    {
        // Type names in English, as on an English desktop.
        for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* value = std::getenv(name);
            saved.emplace_back(name, value != nullptr ? std::optional<std::string>(value) : std::nullopt);
        }
        setenv("LC_ALL", "C.UTF-8", 1);
        FCT_AudioInf::SetAudioLengthPlayerFactory(
            [this] { return std::make_unique<RecordingPlayer>(calls, playerLength); });
    }
    void TearDown() override
    {
        FCT_AudioInf::SetAudioLengthPlayerFactory(nullptr);
        for (const auto& [name, value] : saved) {
            if (value) {
                setenv(name.c_str(), value->c_str(), 1);
            } else {
                unsetenv(name.c_str());
            }
        }
    }
    std::string Wave(int channels, std::uint32_t rate, int bits, std::string_view name = "sound.wav")
    {
        const std::string path = folder / name;
        RiffFileBuilder()
            .Format(1, channels, rate, bits)
            .Data(Bytes(static_cast<std::size_t>(channels * bits / 8) * rate * 2))
            .WriteTo(path);
        return path;
    }
    std::string Mp3(std::string_view name = "song.mp3")
    {
        const std::string path = folder / name;
        testsupport::MpegFileBuilder().Frames({1, 3, 128, 44100, 1}, 100).WriteTo(path);
        return path;
    }

    testsupport::ScratchFolder folder;
    std::vector<std::string> calls;
    std::int32_t playerLength = 65432;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(AudioInfoText, WaveTexts)
{
    const std::string stereo = Wave(2, 44100, 16);
    AudioInfo info = FCT_AudioInf::GetAudioInfoText(stereo, 0, 0, 0);
    EXPECT_EQ(info.Ok, 1);
    EXPECT_EQ(info.LengthMS, 2000);
    EXPECT_EQ(info.Text, "wav(44.1kHz/16bit/St)");
    EXPECT_EQ(FCT_AudioInf::GetAudioInfoText(stereo, 0, 0, 1).Text, "wav(44100Hz/16bit/Stereo)");

    const std::string surround = Wave(6, 48000, 24, "surround.WAV");
    EXPECT_EQ(FCT_AudioInf::GetAudioInfoText(surround, 0, 0, 0).Text, "wav(48kHz/24bit/6ch)");
    EXPECT_EQ(FCT_AudioInf::GetAudioInfoText(surround, 0, 0, 1).Text, "wav(48000Hz/24bit/6ch)");
    EXPECT_EQ(FCT_AudioInf::GetAudioInfoText(Wave(1, 22050, 8, "m.wav"), 0, 0, 0).Text, "wav(22.05kHz/8bit/Mono)");

    const std::string extensible = folder / "ext.wav";
    RiffFileBuilder().FormatExtensible(2, 96000, 24).Data(Bytes(6 * 9600)).WriteTo(extensible);
    info = FCT_AudioInf::GetAudioInfoText(extensible, 0, 0, 1);
    EXPECT_EQ(info.Text, "wav(96000Hz/24bit/Stereo)");
    EXPECT_EQ(info.LengthMS, 100);
    EXPECT_TRUE(calls.empty());
}

TEST_F(AudioInfoText, MpegTextsAndTheFourLineDescription)
{
    const std::string mp3 = Mp3();
    AudioInfo info = FCT_AudioInf::GetAudioInfoText(mp3, 0, 0, 0);
    EXPECT_EQ(info.Ok, 1);
    EXPECT_EQ(info.LengthMS, 2606);
    EXPECT_EQ(info.Text, "mp3(44.1kHz/128kb/JS)");

    info = FCT_AudioInf::GetAudioInfoText(mp3, 0, 1, 1);
    EXPECT_EQ(info.Text, mp3 + "\nMP3 Audio\nmp3(44100Hz/128kbps/JointStereo)\n000'02.606");

    // MPEG audio in a RIFF wrapper (format tag 0x55) is read as MPEG.
    const std::string wrapped = folder / "wrapped.wav";
    Bytes frames = testsupport::MpegFileBuilder().Frames({1, 3, 128, 44100, 1}, 20).Build();
    RiffFileBuilder().Format(0x55, 2, 44100, 0).Data(frames).WriteTo(wrapped);
    info = FCT_AudioInf::GetAudioInfoText(wrapped, 0, 0, 0);
    EXPECT_EQ(info.Ok, 1);
    EXPECT_EQ(info.Text, "mp3(44.1kHz/128kb/JS)");
    EXPECT_TRUE(calls.empty());
}

TEST_F(AudioInfoText, OtherTypesAskAPlayerOnce)
{
    // ADPCM wave: the length from the player, the text is the type name.
    const std::string adpcm = folder / "adpcm.wav";
    RiffFileBuilder().Format(2, 2, 44100, 4).Data(Bytes(4000)).WriteTo(adpcm);
    AudioInfo info = FCT_AudioInf::GetAudioInfoText(adpcm, 0, 0, 0);
    EXPECT_EQ(info.Ok, 1);
    EXPECT_EQ(info.LengthMS, 65432);
    EXPECT_EQ(info.Text, "Wave Sound");
    EXPECT_EQ(calls, (std::vector<std::string>{"Init", "FileName " + adpcm, "Length", "CloseWave"}));

    // An ".mp3" the MPEG reader cannot read falls back to the player.
    calls.clear();
    const std::string broken = folder / "broken.mp3";
    testsupport::WriteFile(broken, Bytes(3000, 0));
    info = FCT_AudioInf::GetAudioInfoText(broken, 0, 0, 0);
    EXPECT_EQ(info.LengthMS, 65432);
    EXPECT_EQ(info.Text, "MP3 Audio");
    EXPECT_EQ(calls.size(), 4U);

    // Mode 1 for a player type: name, type name, text, length.
    const std::string wma = folder / "talk.wma";
    testsupport::WriteFile(wma, Bytes(100, 7));
    info = FCT_AudioInf::GetAudioInfoText(wma, 0, 1, 0);
    EXPECT_EQ(info.Text, wma + "\nWMA Audio\nWMA Audio\n001'05.432");

    // A player that cannot tell a length does not report success.
    playerLength = 0;
    info = FCT_AudioInf::GetAudioInfoText(wma, 0, 0, 0);
    EXPECT_EQ(info.Ok, 0);
    EXPECT_EQ(info.LengthMS, 0);
    EXPECT_EQ(info.Text, "WMA Audio");
}

TEST_F(AudioInfoText, ForeignAndMissingFiles)
{
    const std::string text = folder / "notes.txt";
    testsupport::WriteFile(text, Bytes(100, 'a'));
    AudioInfo info = FCT_AudioInf::GetAudioInfoText(text, 0, 0, 0);
    EXPECT_EQ(info.Ok, 0);
    EXPECT_EQ(info.LengthMS, 0);
    EXPECT_EQ(info.Text, "Text Document");
    EXPECT_TRUE(calls.empty());

    info = FCT_AudioInf::GetAudioInfoText((folder / "missing.wav"), 0, 1, 1);
    EXPECT_EQ(info.Ok, 0);
    EXPECT_EQ(info.LengthMS, 0);
    EXPECT_EQ(info.Text, "");
    EXPECT_TRUE(calls.empty());
}

TEST_F(AudioInfoText, TypeNamesInBothLanguages)
{
    EXPECT_EQ(FCT_AudioInf::FileTypeNameFor("wav", false), "Wave Sound");
    EXPECT_EQ(FCT_AudioInf::FileTypeNameFor("wav", true), "WAVE サウンド");
    EXPECT_EQ(FCT_AudioInf::FileTypeNameFor("xyz", false), "XYZ File");
    EXPECT_EQ(FCT_AudioInf::FileTypeNameFor("xyz", true), "XYZ ファイル");
    EXPECT_EQ(FCT_AudioInf::FileTypeNameFor("", false), "File");

    EXPECT_EQ(FCT_AudioInf::GetFileTypeName("/music/Song.MP3"), "MP3 Audio");
    setenv("LC_ALL", "ja_JP.UTF-8", 1);
    EXPECT_EQ(FCT_AudioInf::GetFileTypeName("\\\\server\\share\\Song.MP3"), "MP3 オーディオ");
    EXPECT_EQ(FCT_AudioInf::GetFileTypeName("/a.b/readme"), "ファイル");
}

} // namespace
