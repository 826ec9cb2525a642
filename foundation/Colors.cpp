#include "foundation/Colors.h"

#include "platform/base/Numbers.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace basic {

namespace {

std::int32_t ClampChannel(std::int32_t value)
{
    return std::clamp<std::int32_t>(value, 0, 255);
}

// A channel value kept with four decimals, as fixed-point money values are.
double FourDecimals(double value)
{
    return numeric::RoundHalfEven(value * 10000.0) / 10000.0;
}

struct Shade {
    int baseIndex; // system colour index, or -1 for white
    double targetAverage;
};

constexpr std::array<Shade, 4> shades{{
    {-1, 255},
    {platform::ColorBtnFace, 200},
    {platform::ColorBtnShadow, 110},
    {platform::ColorBtnFace, 60},
}};

// 0 = not computed yet; a computed black is kept as 1.
std::array<Color, 4> sysShadeCache{};

std::optional<Color> ComputeShade(const Shade& shade)
{
    const Color base = shade.baseIndex < 0 ? 0xFFFFFF : platform::GetSysColor(shade.baseIndex);
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    SplitRgb(base, red, green, blue);
    const double average = numeric::RoundHalfEven((red + green + blue) / 3.0);
    if (average == 0) {
        return std::nullopt; // a black base has no brightness to scale
    }
    const auto scaled = [&](int channel) {
        return static_cast<std::int32_t>(numeric::RoundToInt64(shade.targetAverage / average * channel));
    };
    return MakeRgb(scaled(red), scaled(green), scaled(blue));
}

} // namespace

void SplitRgb(Color colour, std::int16_t& red, std::int16_t& green, std::int16_t& blue)
{
    if (platform::IsSystemColor(colour)) {
        colour = platform::ResolveColor(colour);
    }
    red = static_cast<std::int16_t>(colour % 256);
    green = static_cast<std::int16_t>((colour / 256) % 256);
    blue = static_cast<std::int16_t>(colour / 65536);
}

Color MakeRgb(std::int32_t red, std::int32_t green, std::int32_t blue)
{
    return platform::Rgb(ClampChannel(red), ClampChannel(green), ClampChannel(blue));
}

Color ShiftColor(Color colour, std::int32_t dRed, std::int32_t dGreen, std::int32_t dBlue, float factor)
{
    std::int16_t red = 0;
    std::int16_t green = 0;
    std::int16_t blue = 0;
    SplitRgb(colour, red, green, blue);
    std::array<double, 3> channels{static_cast<double>(red), static_cast<double>(green), static_cast<double>(blue)};
    const std::array<std::int32_t, 3> deltas{dRed, dGreen, dBlue};
    for (std::size_t i = 0; i < channels.size(); ++i) {
        channels[i] =
            factor == -1.0f ? channels[i] + deltas[i] : FourDecimals(channels[i] * static_cast<double>(factor));
        channels[i] = numeric::RoundHalfEven(std::clamp(channels[i], 0.0, 255.0));
    }
    return MakeRgb(static_cast<std::int32_t>(channels[0]), static_cast<std::int32_t>(channels[1]),
                   static_cast<std::int32_t>(channels[2]));
}

Color SysColor(int index)
{
    if (index < 0 || index >= static_cast<int>(shades.size())) {
        return 0;
    }
    Color& cached = sysShadeCache[static_cast<std::size_t>(index)];
    if (cached == 0) {
        const std::optional<Color> computed = ComputeShade(shades[static_cast<std::size_t>(index)]);
        if (!computed) {
            return 0;
        }
        cached = *computed == 0 ? 1 : *computed;
    }
    return cached;
}

std::optional<SchemeColors> ColorsOfScheme(int scheme, Color foreColour, Color backColour)
{
    static constexpr std::array<SchemeColors, 7> schemes{{
        {0x000000, platform::SystemColor(platform::ColorBtnFace)},
        {0xD5FFF1, 0x407060},
        {0xA6CAC5, 0x406057},
        {0x0000FF, 0xFFFFFF},
        {0xB0B0D0, 0x101060},
        {0x707090, 0x202060},
        {0x303030, 0xD0D0D0},
    }};
    if (scheme == -1) {
        return SchemeColors{backColour, foreColour};
    }
    if (scheme < 0 || scheme >= static_cast<int>(schemes.size())) {
        return std::nullopt;
    }
    return schemes[static_cast<std::size_t>(scheme)];
}

} // namespace basic
