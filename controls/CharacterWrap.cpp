#include "controls/CharacterWrap.h"

#include "platform/base/TextCodec.h"

#include <algorithm>

namespace controls {

WrappedText WrapCharacters(std::string_view text, const platform::TextMeasure& measure, double width)
{
    WrappedText wrapped;
    std::string line;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t length =
            std::min(std::max<std::size_t>(textcodec::Utf8CharLength(static_cast<unsigned char>(text[at])), 1),
                     text.size() - at);
        const std::size_t kept = line.size();
        line.append(text.substr(at, length));
        if (measure.TextWidth(line) < width) {
            at += length;
            continue;
        }
        line.resize(kept);
        if (line.empty()) {
            wrapped.endless = true;
            return wrapped;
        }
        wrapped.lines.push_back(std::move(line));
        line.clear();
    }
    if (!line.empty() || wrapped.lines.empty()) {
        wrapped.lines.push_back(std::move(line));
    }
    return wrapped;
}

} // namespace controls
