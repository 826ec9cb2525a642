#include "audio/GainCurve.h"

#include "foundation/Conversions.h"

#include <cmath>

namespace WaveMMIO {

std::array<GainStep, GainCurveSteps> GainCurve{};
int GainCurveZeroStep = 0;

namespace {

constexpr int ZeroDbStep = 207;

// The law of the curve: coarse steps far down, finer ones towards 0 dB.
double StepDb(int k)
{
    if (k <= 1) {
        return -99.9;
    }
    if (k == 2) {
        return -96.0;
    }
    if (k <= 10) {
        return -90.0 + 5.0 * (k - 3);
    }
    if (k <= 22) {
        return -50.0 + (k - 11) * 5.0 / 6.0;
    }
    if (k <= 42) {
        return -40.0 + (k - 23) * 0.5;
    }
    if (k <= 78) {
        return -30.0 + (k - 43) * 5.0 / 18.0;
    }
    if (k <= 104) {
        return -20.0 + (k - 79) * 5.0 / 26.0;
    }
    if (k <= 142) {
        return -15.0 + (k - 105) * 5.0 / 38.0;
    }
    if (k <= 178) {
        return -10.0 + (k - 143) * 5.0 / 36.0;
    }
    if (k <= 206) {
        return -5.0 + (k - 179) * 5.0 / 28.0;
    }
    if (k <= 230) {
        return (k - 207) * 5.0 / 24.0;
    }
    return 5.0 + (k - 231) * 5.0 / 24.0;
}

void EnsureBuilt()
{
    if (GainCurveZeroStep == 0) {
        BuildCurveTable();
    }
}

} // namespace

void BuildCurveTable()
{
    for (int k = 0; k < GainCurveSteps; ++k) {
        const double db = StepDb(k);
        GainCurve[static_cast<std::size_t>(k)] = {static_cast<float>(basic::DbToLinear(db)), static_cast<float>(db)};
    }
    GainCurveZeroStep = ZeroDbStep;
}

float FractionToGain(float fraction)
{
    EnsureBuilt();
    if (!(fraction > 0.0f)) { // also NaN: the bottom of the curve
        return GainCurve[0].Gain;
    }
    if (fraction >= 1.0f) {
        return GainCurve[ZeroDbStep].Gain;
    }
    const float x = static_cast<float>(ZeroDbStep) * fraction;
    const int i = static_cast<int>(x);
    if (i >= ZeroDbStep) {
        return GainCurve[ZeroDbStep].Gain;
    }
    const auto step = static_cast<std::size_t>(i);
    if (x == static_cast<float>(i)) {
        return GainCurve[step].Gain;
    }
    const float part = x - static_cast<float>(i);
    return (1.0f - part) * GainCurve[step].Gain + part * GainCurve[step + 1].Gain;
}

float DbToStep(double dbValue, int fractional)
{
    EnsureBuilt();
    // The steps are held in single precision; compare in it too, so -99.9 is
    // exactly the bottom step.
    const float db = static_cast<float>(dbValue);
    if (std::isnan(db) || db <= GainCurve[0].Db) {
        return 0.0f;
    }
    if (db >= GainCurve[GainCurveSteps - 1].Db) {
        return static_cast<float>(GainCurveSteps - 1);
    }
    std::size_t i = 1;
    while (i < GainCurveSteps - 1 && GainCurve[i].Db < db) {
        ++i;
    }
    const double lower = GainCurve[i - 1].Db;
    const double upper = GainCurve[i].Db;
    const double level = db;
    if (fractional != 0) {
        return static_cast<float>(static_cast<double>(i - 1) + (level - lower) / (upper - lower));
    }
    return static_cast<float>(std::fabs(level - lower) <= std::fabs(level - upper) ? i - 1 : i);
}

} // namespace WaveMMIO
