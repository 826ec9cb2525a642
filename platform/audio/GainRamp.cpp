#include "platform/audio/GainRamp.h"

namespace platform::audio {

GainRamp::GainRamp(int rampFrames, float initial)
    : rampFrames_(rampFrames < 1 ? 1 : rampFrames), current_(initial), target_(initial)
{
}

void GainRamp::SetTarget(float target)
{
    if (target == target_) {
        return;
    }
    target_ = target;
    remaining_ = rampFrames_;
    step_ = (target_ - current_) / static_cast<float>(rampFrames_);
}

} // namespace platform::audio
