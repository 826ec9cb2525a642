#include "mainwindow/CounterTimeField.h"

#include "controls/UC_TextPicture.h"
#include "mainwindow/CaptionFit.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace CounterTimeField {

namespace {

constexpr const char* Face = "Impact";

// Elapsed and remaining as the counters write them, and a start timer's
// countdown: the times every counter is fitted to at least.
const std::vector<std::string> TwoDigitTimes = {" 88'88.8", "-88'88.8", "-88:88"};

// The times' width grows with their minutes: the digits before the first
// mark, after the sign place (the blank of the elapsed time, the minus of the
// remaining one); never fewer than two.
std::size_t MinuteDigits(std::string_view text)
{
    if (!text.empty() && (text.front() == ' ' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
        ++digits;
    }
    return std::max<std::size_t>(digits, 2);
}

} // namespace

void Add(controls::UC_TextPicture& counter, float size, std::optional<std::int32_t> top, int frameLines)
{
    const double width = platform::WidthTwips(counter);
    const double height = platform::HeightTwips(counter);
    const double room = controls::UC_TextPicture::CentredTextRoom(width, 1, 0);
    const auto fitted = [=](std::size_t digits) {
        std::vector<std::string> samples = TwoDigitTimes;
        const std::string time = std::string(digits, '8') + "'88.8";
        samples.push_back(" " + time);
        samples.push_back("-" + time);
        return CaptionFit::Fitting(size, samples, Face, room, height - top.value_or(0), frameLines);
    };
    const int field = counter.TextSpaceCount();
    const auto place = [&counter, field, top, width](const CaptionFit::Fit& fit) {
        const auto left = static_cast<int>(numeric::RoundToInt64(width - fit.Width) / 2);
        counter.SetTextSpace(field, fit.Size, false, false, Face, left, top.value_or(-1));
        if (!top) {
            counter.SetTextTop(field, static_cast<int>(fit.Top));
        }
    };
    std::map<std::size_t, CaptionFit::Fit> fits{{2, fitted(2)}};
    counter.AddTextSpace(size, false, false, Face, 0, top.value_or(-1));
    place(fits.at(2));
    // Measuring takes a few drawings: each number of digits once a counter.
    counter.SetTextFitting(field, [fits, fitted, place, shown = std::size_t{2}](std::string_view text) mutable {
        const std::size_t digits = MinuteDigits(text);
        if (digits == shown) {
            return;
        }
        auto at = fits.find(digits);
        if (at == fits.end()) {
            at = fits.emplace(digits, fitted(digits)).first;
        }
        place(at->second);
        shown = digits;
    });
}

} // namespace CounterTimeField
