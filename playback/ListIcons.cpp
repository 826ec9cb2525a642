#include "playback/ListIcons.h"

#include <array>
#include <utility>

namespace playback {

namespace {

constexpr std::int32_t TagPcm = 1;
constexpr std::int32_t TagExtensible = -2; // 0xFFFE, sign-extended
constexpr std::int32_t TagMpeg = 0x50;
constexpr std::int32_t TagMpegLayer3 = 0x55;
constexpr std::int32_t TagWma = 0x160;
constexpr std::int32_t TagWma2 = 0x161;

constexpr std::array<std::pair<std::string_view, int>, 22> ExtensionIcons{{
    {"wav", 1},  {"mp1", 2},  {"mp2", 3},  {"mp3", 4},  {"snd", 5},  {"asf", 5},  {"wma", 5},  {"m1v", 6},
    {"m2v", 6},  {"mpg", 6},  {"mpeg", 6}, {"avi", 7},  {"wmv", 7},  {"asx", 7},  {"m4a", 7},  {"aac", 7},
    {"mid", 8},  {"midi", 8}, {"smf", 8},  {"aif", 9},  {"aiff", 9}, {"", 0},
}};

} // namespace

int ListIconForExtension(std::string_view lowerExtension)
{
    if (lowerExtension.empty()) {
        return 0;
    }
    for (const auto& [extension, icon] : ExtensionIcons) {
        if (extension == lowerExtension) {
            return icon;
        }
    }
    return 0;
}

int ListIconForWaveHeader(const WaveInfoRecord& header)
{
    switch (header.FormatTag) {
    case TagPcm:
    case TagExtensible:
        if (header.FormatCode >= 0 && header.FormatCode <= 5) {
            return 1;
        }
        // 5.1 and 7.1 surround.
        return header.FormatCode >= 6 && header.FormatCode <= 9 ? 5 : 0;
    case TagMpeg:
        return 3;
    case TagMpegLayer3:
        return 4;
    case TagWma:
    case TagWma2:
        return 5;
    default:
        return 0;
    }
}

} // namespace playback
