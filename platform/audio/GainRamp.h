#pragma once

namespace platform::audio {

// A gain that moves to a new target in a straight line over a fixed number of
// frames instead of jumping, so that a volume change never clicks. Every
// frame moves it by at most |target - start| / frames, and it lands exactly on
// the target.
class GainRamp {
public:
    GainRamp(int rampFrames, float initial);

    // Starts a new ramp from the present value (no effect when the target is unchanged).
    void SetTarget(float target);
    // Takes the target at once (nothing sounds that could click).
    void JumpTo(float target)
    {
        current_ = target;
        target_ = target;
        remaining_ = 0;
    }
    // The gain for the next frame.
    float Next()
    {
        if (remaining_ > 0) {
            --remaining_;
            current_ = remaining_ == 0 ? target_ : current_ + step_;
        }
        return current_;
    }
    float Current() const { return current_; }
    float Target() const { return target_; }
    bool Moving() const { return remaining_ > 0; }

private:
    int rampFrames_;
    float current_;
    float target_;
    float step_ = 0.0f;
    int remaining_ = 0;
};

} // namespace platform::audio
