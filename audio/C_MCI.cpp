#include "audio/C_MCI.h"

#include "foundation/FileAccess.h"
#include "platform/ServerPaths.h"
#include "platform/audio/MediaFramework.h"
#include "platform/audio/MciCommands.h"

namespace mci = platform::audio::mci;

// Its devices decode through GStreamer, started here at start-up (as for the
// DirectShow player) so that the first press is not heard late.
C_MCI::C_MCI()
{
    platform::audio::StartMediaFramework();
}

C_MCI::~C_MCI()
{
    CloseWave();
}

void C_MCI::SetFileName(std::string_view name)
{
    // A request made while the device for a file opens (its wait pumps
    // events) is refused at once: it would open a second device and lose one.
    if (Opening_) {
        return;
    }
    if (Opened_ != 0) {
        if (name == FileName_ && !name.empty() && StillLoaded(FileName_, loadedVersion_)) {
            return;
        }
        mci::Stop(DevID_);
        mci::Close(DevID_);
        Opened_ = 0;
    }
    FileName_ = std::string(name);
    loadedVersion_ = FileVersion::Of(FileName_);
    if (basic::FileExists(FileName_) != 1) {
        Length_ = 0;
        ToMS_ = 0;
        FromMS_ = 0;
        FileName_.clear();
        return;
    }
    int result = mci::Ok;
    Opening_ = true;
    const int id = mci::OpenFile(platform::NativePath(FileName_), &result);
    Opening_ = false;
    std::int64_t length = 0;
    DevID_ = id;
    if (result == mci::Ok) {
        result = mci::Status(DevID_, mci::StatusItem::Length, length);
    }
    if (result == mci::Ok) {
        Length_ = static_cast<std::int32_t>(length);
        ToMS_ = Length_;
        Opened_ = 1;
        return;
    }
    mci::Close(DevID_);
    Opened_ = 0;
    // A file no device plays leaves nothing loaded.
    FileName_.clear();
    Length_ = 0;
    ToMS_ = 0;
}

std::int32_t C_MCI::Play()
{
    if (Opened_ == 0) {
        return 0;
    }
    return mci::Play(DevID_, FromMS_, ToMS_) == mci::Ok ? 1 : 0;
}

void C_MCI::Pause()
{
    if (Opened_ == 0) {
        return;
    }
    std::int64_t mode = 0;
    mci::Status(DevID_, mci::StatusItem::Mode, mode);
    if (mode == static_cast<std::int64_t>(platform::audio::MciMode::Paused)) {
        mci::Play(DevID_, std::nullopt, std::nullopt);
    } else {
        mci::Pause(DevID_);
    }
}

void C_MCI::PlayPause()
{
    if (Opened_ == 0) {
        return;
    }
    mci::Play(DevID_, FromMS_, ToMS_);
    mci::Pause(DevID_);
}

void C_MCI::StopIO(std::int32_t)
{
    if (Opened_ != 0) {
        mci::Stop(DevID_);
    }
}

void C_MCI::CloseWave()
{
    if (Opened_ == 0) {
        return;
    }
    FileName_.clear();
    mci::Stop(DevID_);
    mci::Close(DevID_);
    Opened_ = 0;
}

void C_MCI::Save()
{
    if (Opened_ != 0) {
        mci::Save(DevID_, platform::NativePath(RecFileName_));
    }
}

void C_MCI::Record()
{
    DevID_ = mci::OpenRecording();
    const int bits = Rec_Bit_;
    const int channels = RecCh_;
    mci::SetWaveFormat(DevID_, channels, Rec_Freqency_, channels * bits * Rec_Freqency_ / 8, bits * channels / 8, bits);
    mci::Record(DevID_);
    Opened_ = 1;
}

std::int32_t C_MCI::Position(std::int32_t kind)
{
    if (Opened_ == 0) {
        return 0;
    }
    std::int64_t position = 0;
    mci::Status(DevID_, mci::StatusItem::Position, position);
    const auto p = static_cast<std::int32_t>(position);
    switch (kind) {
    case 0:
        return p;
    case 1:
        return Length_ - p;
    case 2:
        return ToMS_ - p;
    default:
        return 0;
    }
}

std::int32_t C_MCI::mode()
{
    if (Opened_ == 0) {
        return 0;
    }
    std::int64_t mode = 0;
    mci::Status(DevID_, mci::StatusItem::Mode, mode);
    switch (static_cast<platform::audio::MciMode>(mode)) {
    case platform::audio::MciMode::Stopped:
        return 1;
    case platform::audio::MciMode::Playing:
        return 3;
    case platform::audio::MciMode::Recording:
        return 4;
    case platform::audio::MciMode::Paused:
        return 2;
    default:
        return 0;
    }
}

void C_MCI::SetDevID(std::int32_t id)
{
    // The open device sends its sound to, and takes it from, wave device id;
    // the player keeps commanding it by its own identifier.
    if (mci::SetWaveOutput(DevID_, id) == mci::Ok) {
        mci::SetWaveInput(DevID_, id);
    }
}
