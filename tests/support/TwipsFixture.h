#pragma once

#include "platform/base/Twips.h"

#include <gtest/gtest.h>

namespace testsupport {

// A test on a screen of the given twips per pixel (15 is 96 DPI); the value
// returns to what it was afterwards.
class TwipsFixture : public testing::Test {
protected:
    explicit TwipsFixture(int twipsPerPixel = 15) : saved_(basic::TwipsPerPixel)
    {
        basic::TwipsPerPixel = twipsPerPixel;
    }
    ~TwipsFixture() override { basic::TwipsPerPixel = saved_; }

private:
    int saved_;
};

} // namespace testsupport
