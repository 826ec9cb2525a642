#pragma once

#include "platform/base/TextMeasure.h"

namespace testsupport {

// Measures a text as a fixed-width font would: every single-byte character is
// `narrow` wide, every multibyte character (Japanese) twice that.
class FakeTextMeasure final : public platform::TextMeasure {
public:
    explicit FakeTextMeasure(double narrow = 10.0) : narrow_(narrow) {}
    double TextWidth(std::string_view text) const override;

private:
    double narrow_;
};

} // namespace testsupport
