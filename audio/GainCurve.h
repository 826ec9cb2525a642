#pragma once

#include <array>

// One table of 256 steps maps a fader or meter position to a level in dB and a
// linear gain, so that the waveOut player's software volume and the VU meter
// share one scale: a fader position and a meter position mean the same level.
namespace WaveMMIO {

struct GainStep {
    float Gain; // linear, 10^(Db / 20)
    float Db;
};

inline constexpr int GainCurveSteps = 256;

// Filled once by BuildCurveTable, then only read.
extern std::array<GainStep, GainCurveSteps> GainCurve;
// The step of 0 dB: 0 until the table is built, 207 afterwards.
extern int GainCurveZeroStep;

// Fills GainCurve and sets GainCurveZeroStep.
void BuildCurveTable();

// Linear gain for a fraction 0..1 of the travel from the bottom of the curve
// to 0 dB, interpolated linearly between the gains of neighbouring steps.
float FractionToGain(float fraction);

// The curve step of a level in dB: with fractional non-zero interpolated
// between steps, otherwise the nearest whole step (a tie goes to the lower).
float DbToStep(double db, int fractional);

} // namespace WaveMMIO
