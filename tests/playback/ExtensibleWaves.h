#pragma once

#include "support/RiffFileBuilder.h"

#include <string>

namespace playbacktest {

// Extensible wave files for the back-end checks: 48 kHz stereo, a tenth of a
// second; A-law samples (8 bits) that no PCM player may sound, or PCM
// samples (16 bits) that only a player of extensible files takes.
inline void WriteALawExtensible(const std::string& path)
{
    testsupport::RiffFileBuilder()
        .FormatExtensibleOf(2, 48000, 8, 6)
        .Data(testsupport::Bytes(9600, 0xD5))
        .WriteTo(path);
}

inline void WritePcmExtensible(const std::string& path)
{
    testsupport::RiffFileBuilder().FormatExtensible(2, 48000, 16).Data(testsupport::Bytes(19200, 0)).WriteTo(path);
}

} // namespace playbacktest
