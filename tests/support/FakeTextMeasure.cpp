#include "support/FakeTextMeasure.h"

#include "platform/base/TextCodec.h"

namespace testsupport {

double FakeTextMeasure::TextWidth(std::string_view text) const
{
    double width = 0.0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t len = textcodec::Utf8CharLength(static_cast<unsigned char>(text[i]));
        width += len > 1 ? 2.0 * narrow_ : narrow_;
        i += len;
    }
    return width;
}

} // namespace testsupport
