#pragma once

// What the window and play-list benchmarks set up alike: an offscreen Qt
// application with the usual twips per pixel, a temporary folder for their
// sound files, and the header of a 48 kHz stereo 16-bit wave file.
#include "platform/base/Twips.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace benchsetup {

// The one application of the process, made on first use on that call's
// window system platform.
inline QApplication& AppOn(const char* platform)
{
    static int argc = 1;
    static char name[] = "tolv_bench";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = [platform] {
        setenv("QT_QPA_PLATFORM", platform, 1);
        basic::TwipsPerPixel = 15;
        return std::make_unique<QApplication>(argc, argv);
    }();
    return *app;
}

// Offscreen, unless a benchmark made the application on another platform first.
inline QApplication& OffscreenApp()
{
    return AppOn("offscreen");
}

// A new folder below the system's temporary folder, named prefix + six
// characters; a benchmark without it cannot run.
inline std::string MakeTempFolder(const std::string& prefix)
{
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "XXXXXX")).string();
    if (mkdtemp(pattern.data()) == nullptr) {
        std::abort();
    }
    return pattern;
}

// value as count little-endian bytes.
inline void Put(std::vector<std::uint8_t>& bytes, std::uint32_t value, int count)
{
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF));
    }
}

// The 44 bytes before dataSize bytes of 48 kHz stereo 16-bit PCM samples.
inline std::vector<std::uint8_t> PcmWaveHeader(std::uint32_t dataSize)
{
    std::vector<std::uint8_t> bytes;
    const auto text = [&bytes](const char* t) {
        for (; *t != '\0'; ++t) {
            bytes.push_back(static_cast<std::uint8_t>(*t));
        }
    };
    text("RIFF");
    Put(bytes, dataSize + 36, 4);
    text("WAVEfmt ");
    Put(bytes, 16, 4);
    Put(bytes, 1, 2);
    Put(bytes, 2, 2);
    Put(bytes, 48000, 4);
    Put(bytes, 48000 * 4, 4);
    Put(bytes, 4, 2);
    Put(bytes, 16, 2);
    text("data");
    Put(bytes, dataSize, 4);
    return bytes;
}

} // namespace benchsetup
