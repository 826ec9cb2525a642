#include "mainwindow/CounterTimeField.h"

#include "controls/UC_TextPicture.h"
#include "mainwindow/CaptionFit.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <tuple>
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

// The most minute digits a counter shows: its times stop at 2^31 - 1 ms
// (35791 minutes).
constexpr std::size_t MostMinuteDigits = 5;

// Fits by screen scale, field, counter size and minute digits: the strips of
// one build share theirs, and a rebuild at a size seen before measures
// nothing.
using FitKey = std::tuple<int, float, double, double, int, std::size_t>;
constexpr std::size_t MostKnownFits = 256;
std::map<FitKey, CaptionFit::Fit>& KnownFits()
{
    static std::map<FitKey, CaptionFit::Fit> fits;
    return fits;
}

} // namespace

void Add(controls::UC_TextPicture& counter, float size, std::optional<std::int32_t> top, int frameLines)
{
    const double width = platform::WidthTwips(counter);
    const double room = controls::UC_TextPicture::CentredTextRoom(width, 1, 0);
    const double height = platform::HeightTwips(counter) - top.value_or(0);
    const auto fitted = [=](std::size_t digits) {
        std::map<FitKey, CaptionFit::Fit>& known = KnownFits();
        const FitKey key{basic::TwipsPerPixel, size, room, height, frameLines, digits};
        if (const auto at = known.find(key); at != known.end()) {
            return at->second;
        }
        if (known.size() >= MostKnownFits) {
            known.clear();
        }
        std::vector<std::string> samples = TwoDigitTimes;
        const std::string time = std::string(digits, '8') + "'88.8";
        samples.push_back(" " + time);
        samples.push_back("-" + time);
        const CaptionFit::Fit fit = CaptionFit::Fitting(size, samples, Face, room, height, frameLines);
        return known.emplace(key, fit).first->second;
    };
    // Measured now, while the window is built: measuring takes several
    // drawings, too long for the tick that starts a long sound.
    for (std::size_t digits = 2; digits <= MostMinuteDigits; ++digits) {
        fitted(digits);
    }
    const int field = counter.TextSpaceCount();
    const auto place = [&counter, field, top, width](const CaptionFit::Fit& fit) {
        const auto left = static_cast<int>(numeric::RoundToInt64(width - fit.Width) / 2);
        counter.SetTextSpace(field, fit.Size, false, false, Face, left, top.value_or(-1));
        if (!top) {
            counter.SetTextTop(field, static_cast<int>(fit.Top));
        }
    };
    counter.AddTextSpace(size, false, false, Face, 0, top.value_or(-1));
    place(fitted(2));
    counter.SetTextFitting(field, [fitted, place, shown = std::size_t{2}](std::string_view text) mutable {
        const std::size_t digits = MinuteDigits(text);
        if (digits != shown) {
            place(fitted(digits));
            shown = digits;
        }
    });
}

} // namespace CounterTimeField
