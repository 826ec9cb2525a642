// Level, pan and meters of the waveOut player.
#include "audio/C_WaveOut.h"

#include "audio/GainCurve.h"
#include "foundation/Conversions.h"

#include <algorithm>
#include <cstdlib>

void C_WaveOut::SetAttenuation(std::int32_t level)
{
    if (c_Busy) {
        return;
    }
    level = std::min(level, 0);
    if (VolMinLevel_ >= 0) {
        // Without a bottom of the fader there is no travel to place the level
        // on: the gain stays as it was.
        Attenuation_ = level;
        return;
    }
    level = std::max(level, VolMinLevel_);
    Attenuation_ = level;
    const float fraction = static_cast<float>(level - VolMinLevel_) / static_cast<float>(std::abs(VolMinLevel_));
    const float gain = WaveMMIO::FractionToGain(fraction);
    if (UseMixer_ == 0) {
        c_AttGain = gain;
        UpdateChannelGains();
        return;
    }
    const auto volume = std::clamp(static_cast<std::int64_t>(gain * 65535.0), std::int64_t{0}, std::int64_t{65535});
    mixerVolume_ = static_cast<float>(volume) / 65535.0f;
    ApplyMixerVolume();
}

void C_WaveOut::ApplyMixerVolume()
{
    // This player's own voices only: another output on the same device keeps
    // its level.
    for (const auto& voice : c_hWave) {
        if (voice) {
            voice->SetVolume(mixerVolume_, mixerVolume_);
        }
    }
}

void C_WaveOut::SetPanValue(std::int32_t pan)
{
    PanValue_ = pan;
    UpdateChannelGains();
}

void C_WaveOut::UpdateChannelGains()
{
    const float a = c_AttGain;
    const double p = PanValue_;
    float left = a;
    float right = a;
    if (PanValue_ == -10000) {
        right = 0.0f;
    } else if (PanValue_ < 0) {
        right = a * static_cast<float>(basic::DbToLinear(-60.0 * p / -10000.0));
    } else if (PanValue_ == 10000) {
        left = 0.0f;
    } else if (PanValue_ > 0) {
        left = a * static_cast<float>(basic::DbToLinear(-60.0 * p / 10000.0));
    }
    c_ChannelGain = {left, right};
}

std::int32_t C_WaveOut::Peak(std::int32_t ch)
{
    if (UsePeakVol_ == 0 || ch < 0 || ch > 7 || c_PageMeters.empty()) {
        return 0;
    }
    return c_PageMeters[static_cast<std::size_t>(c_PlayingPage)].Peak[static_cast<std::size_t>(ch)];
}

std::int32_t C_WaveOut::RMS(std::int32_t ch)
{
    if (UsePeakVol_ == 0 || ch < 0 || ch > 7 || c_PageMeters.empty()) {
        return 0;
    }
    return c_PageMeters[static_cast<std::size_t>(c_PlayingPage)].Rms[static_cast<std::size_t>(ch)];
}
