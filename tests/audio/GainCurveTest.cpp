#include "audio/GainCurve.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using WaveMMIO::DbToStep;
using WaveMMIO::FractionToGain;
using WaveMMIO::GainCurve;

TEST(GainCurve, TellingRows)
{
    EXPECT_GT(FractionToGain(0.5f), 0.0f); // builds the table on first use
    EXPECT_EQ(WaveMMIO::GainCurveZeroStep, 207);
    struct Row {
        int step;
        double db, gain;
    };
    const Row rows[] = {{0, -99.9, 0.0000101}, {2, -96, 0.0000158}, {23, -40, 0.01}, {79, -20, 0.1},  {143, -10, 0.316},
                        {179, -5, 0.562},      {207, 0, 1},         {231, 5, 1.778}, {255, 10, 3.162}};
    for (const Row& row : rows) {
        const WaveMMIO::GainStep& step = GainCurve[static_cast<std::size_t>(row.step)];
        EXPECT_NEAR(step.Db, row.db, 1e-4) << "step " << row.step;
        EXPECT_NEAR(step.Gain, row.gain, row.gain * 0.005) << "step " << row.step;
    }
    EXPECT_NEAR(GainCurve[1].Db, -99.9, 1e-4);
    EXPECT_NEAR(GainCurve[103].Db, -15.38, 0.005);
    EXPECT_NEAR(GainCurve[104].Db, -15.19, 0.005);
    EXPECT_NEAR(GainCurve[206].Db, -0.18, 0.005);
    // The level rises with the step and the gain follows 10^(dB/20) everywhere.
    for (std::size_t k = 1; k < GainCurve.size(); ++k) {
        EXPECT_GE(GainCurve[k].Db, GainCurve[k - 1].Db) << k;
        EXPECT_NEAR(GainCurve[k].Gain, std::pow(10.0, GainCurve[k].Db / 20.0), GainCurve[k].Gain * 1e-5) << k;
    }
}

TEST(GainCurve, FractionToGain)
{
    const float half = FractionToGain(0.5f); // builds the table on first use
    const float mean = (GainCurve[103].Gain + GainCurve[104].Gain) / 2.0f;
    EXPECT_NEAR(half, mean, 1e-6);
    EXPECT_FLOAT_EQ(FractionToGain(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(FractionToGain(1.2f), 1.0f);
    EXPECT_FLOAT_EQ(FractionToGain(0.0f), GainCurve[0].Gain);
    EXPECT_FLOAT_EQ(FractionToGain(-0.1f), GainCurve[0].Gain);
    EXPECT_FLOAT_EQ(FractionToGain(std::nanf("")), GainCurve[0].Gain);
    // A fraction landing on a whole step gives that step's gain.
    EXPECT_FLOAT_EQ(FractionToGain(79.0f / 207.0f), GainCurve[79].Gain);
}

TEST(GainCurve, DbToStep)
{
    EXPECT_FLOAT_EQ(DbToStep(0, 0), 207.0f);
    EXPECT_FLOAT_EQ(DbToStep(0, 1), 207.0f);
    EXPECT_FLOAT_EQ(DbToStep(-100, 1), 0.0f);
    EXPECT_FLOAT_EQ(DbToStep(-99.9, 1), 0.0f);
    EXPECT_FLOAT_EQ(DbToStep(12, 1), 255.0f);
    EXPECT_NEAR(DbToStep(-97, 1), 1.0 + 2.9 / 3.9, 1e-4);
    EXPECT_NEAR(DbToStep(9.9, 1), 254.52, 0.01);
    // The nearest whole step; a tie goes to the lower one.
    EXPECT_FLOAT_EQ(DbToStep(-97, 0), 2.0f);
    EXPECT_FLOAT_EQ(DbToStep(-72.5, 0), 6.0f); // halfway between -75 and -70
    EXPECT_FLOAT_EQ(DbToStep(-20.1, 0), 79.0f);
    EXPECT_FLOAT_EQ(DbToStep(std::nan(""), 1), 0.0f);
}

} // namespace
