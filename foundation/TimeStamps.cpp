#include "foundation/TimeStamps.h"

#include "platform/base/Clock.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <optional>

namespace basic {

namespace {

using std::chrono::sys_days;

std::string Pad(long long value, int width)
{
    return numeric::ZeroPadded(value, width);
}

struct Fields {
    long long year;
    unsigned month;
    unsigned day;
};

Fields Split(sys_days date)
{
    const std::chrono::year_month_day ymd{date};
    return {static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day())};
}

// "yyyy/mm/dd hh:mm:ss": the date and the clock in seconds.
struct Stamp {
    sys_days date;
    int seconds;
};

std::optional<Stamp> ParseStamp(std::string_view text)
{
    if (text.size() < 19) {
        return std::nullopt;
    }
    const auto year = numeric::DigitsValue(text.substr(0, 4));
    const auto month = numeric::DigitsValue(text.substr(5, 2));
    const auto day = numeric::DigitsValue(text.substr(8, 2));
    const auto hours = numeric::DigitsValue(text.substr(11, 2));
    const auto minutes = numeric::DigitsValue(text.substr(14, 2));
    const auto seconds = numeric::DigitsValue(text.substr(17, 2));
    if (!year || !month || !day || !hours || !minutes || !seconds) {
        return std::nullopt;
    }
    const std::chrono::year_month_day ymd{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                                          std::chrono::day{static_cast<unsigned>(*day)}};
    if (!ymd.ok()) {
        return std::nullopt;
    }
    return Stamp{sys_days{ymd}, *hours * 3600 + *minutes * 60 + *seconds};
}

} // namespace

std::string FormatTimeStamp(int daySeconds, int dayOffset, int style, int parts, int timeSource, int yearForm,
                            double offsetSeconds)
{
    if (parts == 0) {
        parts = 3;
    }
    const platform::LocalTime now = platform::CurrentClock().Now();
    sys_days date = now.date;
    double t = std::clamp(now.secondsOfDay, 0.0, 86399.999) + offsetSeconds;
    const double dayShift = std::floor(t / 86400.0);
    t -= dayShift * 86400.0;
    date += std::chrono::days{dayOffset + static_cast<long long>(dayShift)};

    long long hours = 0;
    long long minutes = 0;
    long long seconds = 0;
    long long millis = 0;
    if (timeSource == 0) {
        const double whole = std::floor(t);
        const auto ti = static_cast<long long>(whole);
        hours = ti / 3600;
        minutes = ti % 3600 / 60;
        seconds = ti % 60;
        // A fraction of .9996 must not make a four-digit field.
        millis = std::min<long long>(numeric::RoundToInt64((t - whole) * 1000.0), 999);
    } else if (timeSource == 2) {
        hours = 23;
        minutes = 59;
        seconds = 59;
    } else if (timeSource == 3) {
        hours = daySeconds / 3600;
        minutes = daySeconds % 3600 / 60;
        seconds = daySeconds % 60;
    }
    if (hours * 3600 + minutes * 60 + seconds < daySeconds) {
        hours += 24;
        date -= std::chrono::days{1};
    }

    const Fields f = Split(date);
    std::string year = Pad(f.year, 4);
    if (yearForm == 1) {
        year = year.substr(year.size() - 2);
    } else if (yearForm == 2) {
        year.clear();
    }

    const char* dateSep = "/";
    const char* between = " ";
    const char* timeSep = ":";
    const char* msSep = ".";
    if (style == StampFileName) {
        dateSep = "-";
        timeSep = "_";
        msSep = "_";
    } else if (style == StampDigits) {
        dateSep = between = timeSep = msSep = "";
    }

    std::string text;
    const bool withDate = (parts & 1) != 0;
    if (withDate) {
        text += year + dateSep + Pad(f.month, 2) + dateSep + Pad(f.day, 2);
    }
    if ((parts & 2) != 0) {
        if (withDate) {
            text += between;
        }
        text += Pad(hours, 2) + timeSep + Pad(minutes, 2) + timeSep + Pad(seconds, 2);
    }
    if ((parts & 4) != 0) {
        text += msSep + Pad(millis, 3);
    }
    return text;
}

std::string FormatDateJapanese(std::string_view digits, int form, int parts)
{
    if (!numeric::IsAllDigits(digits)) {
        return {};
    }
    static const char* const separators[3][6] = {
        {"/", "/", "", ":", ":", ""},
        {"年", "月", "日", "時", "分", "秒"},
        {"-", "-", " ", "_", "_", ""},
    };
    if (form < 0 || form > 2) {
        form = 0;
    }
    const auto& sep = separators[form];
    auto piece = [&](std::size_t at, std::size_t len, int field) {
        return std::string(digits.substr(at, len)) + sep[field];
    };
    switch (digits.size()) {
    case 6:
        return piece(0, 2, 0) + piece(2, 2, 1) + piece(4, 2, 2);
    case 8:
        return piece(0, 4, 0) + piece(4, 2, 1) + piece(6, 2, 2);
    case 14: {
        std::string text;
        if ((parts & 1) != 0) {
            text = piece(0, 4, 0) + piece(4, 2, 1) + piece(6, 2, 2);
        }
        if ((parts & 2) != 0) {
            if (!text.empty()) {
                text += " ";
            }
            text += piece(8, 2, 3) + piece(10, 2, 4) + piece(12, 2, 5);
        }
        return text;
    }
    default:
        return {};
    }
}

int SecondsBetweenStamps(std::string_view stamp1, std::string_view stamp2)
{
    const auto a = ParseStamp(stamp1);
    const auto b = ParseStamp(stamp2);
    if (!a || !b) {
        return 0;
    }
    const long long diff = (b->date - a->date).count() * 86400LL + b->seconds - a->seconds;
    return static_cast<int>(std::clamp<long long>(diff, -2'147'483'647LL, 2'147'483'647LL));
}

std::string FormatDateTimeText(std::string_view stamp, int addSeconds, int dayStart, int digitsOnly)
{
    const auto parsed = ParseStamp(stamp);
    if (!parsed) {
        return {};
    }
    long long seconds = static_cast<long long>(addSeconds) + parsed->seconds;
    sys_days date = parsed->date;
    // Whole days at once: a huge addSeconds must not loop for long.
    if (seconds >= dayStart + 86400LL) {
        const long long days = (seconds - dayStart) / 86400LL;
        date += std::chrono::days{days};
        seconds -= days * 86400LL;
    } else if (seconds < dayStart) {
        const long long days = (dayStart - seconds + 86399LL) / 86400LL;
        date -= std::chrono::days{days};
        seconds += days * 86400LL;
    }
    const Fields f = Split(date);
    const long long hours = seconds / 3600;
    const long long minutes = seconds % 3600 / 60;
    const long long secs = seconds % 60;
    if (digitsOnly != 0) {
        return Pad(f.year, 4) + Pad(f.month, 2) + Pad(f.day, 2) + Pad(hours, 2) + Pad(minutes, 2) + Pad(secs, 2);
    }
    return Pad(f.year, 4) + "/" + Pad(f.month, 2) + "/" + Pad(f.day, 2) + " " + Pad(hours, 2) + ":" + Pad(minutes, 2) +
           ":" + Pad(secs, 2);
}

} // namespace basic
