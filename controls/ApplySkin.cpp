#include "controls/ApplySkin.h"

#include "controls/UC_Check.h"
#include "platform/TwipsGeometry.h"

namespace basic {

void ApplySkin(UC_Check& control, std::string_view caption, std::int32_t value, const platform::Surface* picture,
               float fontSize, platform::Surface* gradHdc, float sizeRate)
{
    if (gradHdc != nullptr) {
        control.SetGradhdc(gradHdc);
    }
    control.SetBGPic(platform::LeftTwips(control), platform::TopTwips(control), picture);
    control.SetFontSize(fontSize);
    control.SetSizeRate(sizeRate);
    control.SetCaption(caption);
    control.SetValue(value);
}

} // namespace basic
