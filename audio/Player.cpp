#include "audio/Player.h"

std::string Player::FileName()
{
    return {};
}
void Player::SetFileName(std::string_view) {}
std::int32_t Player::Length()
{
    return 0;
}
std::int32_t Player::Freq()
{
    return 0;
}

std::int32_t Player::Play()
{
    return 0;
}
void Player::Pause() {}
void Player::PlayPause() {}
void Player::StopIO(std::int32_t) {}
void Player::CloseWave() {}
std::int32_t Player::ProgressionPlay()
{
    return 0;
}
std::int32_t Player::Position(std::int32_t)
{
    return 0;
}
std::int32_t Player::mode()
{
    return 1;
}

std::int32_t Player::FromMS()
{
    return 0;
}
void Player::SetFromMS(std::int32_t) {}
std::int32_t Player::ToMS()
{
    return 0;
}
void Player::SetToMS(std::int32_t) {}
std::int32_t Player::FromSample()
{
    return 0;
}
void Player::SetFromSample(std::int32_t) {}
std::int32_t Player::ToSample()
{
    return 0;
}
void Player::SetToSample(std::int32_t) {}

std::int32_t Player::Attenuation()
{
    return 0;
}
void Player::SetAttenuation(std::int32_t) {}
std::int32_t Player::VolMinLevel()
{
    return 0;
}
void Player::SetVolMinLevel(std::int32_t) {}
std::int32_t Player::PanValue()
{
    return 0;
}
void Player::SetPanValue(std::int32_t) {}
float Player::PlaySpeed()
{
    return 1.0f;
}
void Player::SetPlaySpeed(float) {}
std::int32_t Player::PlayFreq()
{
    return 0;
}
void Player::SetPlayFreq(std::int32_t) {}
std::int32_t Player::Peak(std::int32_t)
{
    return 0;
}
std::int32_t Player::RMS(std::int32_t)
{
    return 0;
}

std::int32_t Player::InitDS(QWidget*, std::int32_t)
{
    return 0;
}
void Player::Init() {}
void Player::SetDevMode(std::int32_t) {}
void Player::SetDevName(std::string_view) {}

std::int32_t Player::DevID()
{
    return 0;
}
void Player::SetDevID(std::int32_t) {}
std::string Player::RecFileName()
{
    return {};
}
void Player::SetRecFileName(std::string_view) {}
std::int32_t Player::Rec_Freqency()
{
    return 0;
}
void Player::SetRec_Freqency(std::int32_t) {}
std::int16_t Player::Rec_Bit()
{
    return 0;
}
void Player::SetRec_Bit(std::int16_t) {}
std::int16_t Player::RecCh()
{
    return 0;
}
void Player::SetRecCh(std::int16_t) {}
void Player::Record() {}
void Player::Save() {}

void Player::SetUseExtensible(std::int32_t) {}
void Player::SetUseMixer(std::int32_t) {}
void Player::SetUsePeakVol(std::int32_t) {}
std::int32_t Player::DeviceID()
{
    return 0;
}
void Player::SetDeviceID(std::int32_t) {}
void Player::OpenDeviceAhead() {}
void Player::SetExtDeviceID(std::int32_t, std::int32_t) {}
void Player::SetBufferPagemsec(std::int32_t) {}
void Player::SetNumBufferPages(std::int32_t) {}
void Player::SetNumDiskBufferPages(std::int32_t) {}
void Player::SetNumBufferToPlay(std::int32_t) {}
void Player::SetHaitahWave(std::int32_t) {}
void Player::SetNoClose(std::int32_t) {}
void Player::SetMuteMS(std::int32_t) {}
void Player::SetDelayMS(std::int32_t) {}
void Player::SetCancelMute(std::int32_t) {}
std::int32_t Player::WhileMute()
{
    return 0;
}
void Player::UpdateLength() {}
std::int32_t Player::hWave(std::int32_t)
{
    return 0;
}
void Player::SetStbyPoint(std::int32_t) {}
void Player::SetLoopOn(std::int32_t) {}
