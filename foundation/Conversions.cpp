#include "foundation/Conversions.h"

#include "platform/base/Numbers.h"
#include "platform/base/TextCodec.h"

#include <cmath>
#include <cstdio>

namespace basic {

namespace {

// One line of the assign table: fields are separated by commas and may be
// enclosed in double quotes. A quote opens a quoted field only at the start of
// a field and closes it only before a comma or at the end of the line; any
// other quote is dropped. A comma inside quotes belongs to the field, so file
// names that contain commas survive a save and a reload.
int SplitCsvLine(std::vector<std::string>& out, std::string_view text)
{
    std::string field;
    bool inQuotes = false;
    const std::size_t last = text.size() - 1;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        bool endedByComma = false;
        if (c == '"') {
            if (!inQuotes) {
                if (field.empty()) {
                    inQuotes = true;
                }
            } else if (i == last || text[i + 1] == ',') {
                inQuotes = false;
            }
        } else if (c == ',' && !inQuotes) {
            out.push_back(std::move(field));
            field.clear();
            endedByComma = true;
        } else {
            field.push_back(c);
        }
        if (i == last && !endedByComma) {
            out.push_back(std::move(field));
            field.clear();
        }
    }
    return static_cast<int>(out.size());
}

} // namespace

int SplitQuoted(std::vector<std::string>& out, std::string_view text, std::string_view sep, int csvMode)
{
    out.clear();
    if (text.empty() || sep.empty()) {
        return 0;
    }
    if (sep == "," && csvMode == 1) {
        return SplitCsvLine(out, text);
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t at = text.find(sep, start);
        if (at == std::string_view::npos) {
            out.emplace_back(text.substr(start));
            break;
        }
        out.emplace_back(text.substr(start, at - start));
        start = at + sep.size();
    }
    return static_cast<int>(out.size());
}

std::string TrimNul(std::string_view text)
{
    return std::string(text.substr(0, text.find('\0')));
}

std::string FitTextToWidth(std::string_view text, const platform::TextMeasure& target, double width, int keepRight)
{
    const std::size_t length = textcodec::Utf8Length(text);
    if (length < 2 || target.TextWidth(text) <= width) {
        return std::string(text);
    }
    auto piece = [&](std::size_t n) { return keepRight == 1 ? textcodec::Utf8Right(text, n) : textcodec::Utf8Left(text, n); };
    for (std::size_t n = 2; n <= length; ++n) {
        if (target.TextWidth(piece(n)) > width) {
            return std::string(piece(n - 1));
        }
    }
    return std::string(text);
}

double LinearToDb(double level)
{
    if (!(level > 0.0)) {
        return -110.0;
    }
    return 20.0 * std::log10(level);
}

double DbToLinear(double db)
{
    if (!(db > -110.0)) {
        return 0.0;
    }
    return std::pow(10.0, db / 20.0);
}

std::string ByteToBits(std::uint8_t value)
{
    std::string bits(8, '0');
    for (int bit = 0; bit < 8; ++bit) {
        if ((value & (0x80u >> bit)) != 0) {
            bits[static_cast<std::size_t>(bit)] = '1';
        }
    }
    return bits;
}

std::int32_t CurrencyToLong(std::int64_t value)
{
    if (value >= 4'294'967'295LL) {
        return -1;
    }
    if (value < 0) {
        return 0;
    }
    if (value > 2'147'483'647LL) {
        return static_cast<std::int32_t>(value - 4'294'967'296LL);
    }
    return static_cast<std::int32_t>(value);
}

std::int64_t LongToCurrency(std::int32_t value)
{
    return value < 0 ? static_cast<std::int64_t>(value) + 4'294'967'296LL : value;
}

int IsOdd(double value)
{
    if (!std::isfinite(value)) {
        return 0;
    }
    const double whole = std::fabs(numeric::Fix(value));
    return static_cast<int>(std::fmod(whole, 10.0)) & 1;
}

int IsOdd(std::string_view value)
{
    const auto number = numeric::ParseNumber(value);
    return number ? IsOdd(*number) : 0;
}

std::string HexPad(std::int32_t value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%X", static_cast<std::uint32_t>(value));
    std::string text(buffer);
    if (digits > 0 && text.size() < static_cast<std::size_t>(digits)) {
        text.insert(0, static_cast<std::size_t>(digits) - text.size(), '0');
    }
    return text;
}

std::int16_t ClampByte(std::int16_t value)
{
    if (value < 0) {
        return 0;
    }
    return value > 255 ? std::int16_t{255} : value;
}

} // namespace basic
