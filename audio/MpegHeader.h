#pragma once

#include "audio/MpegInfo.h"
#include "audio/SoundFileSource.h"

#include <cstdint>
#include <string_view>

// Sample rate, bit rate, channel mode and playing length of an MPEG audio file
// (layers I to III, MPEG-1 and MPEG-2) from its first frame header and a Xing
// header, with plain file reads and no decoder.
namespace FCT_mpeg {

// Fills info (cleared first) and returns 1, or 0 when no usable frame header
// was found (info then holds what was read so far). With handle 0 the file is
// opened here and closed before returning.
std::int32_t GetMpegInfo(std::string_view fileName, MpegInfo& info, int handle);
std::int32_t GetMpegInfo(audiofile::SoundFileSource& file, std::string_view fileName, MpegInfo& info);

// The value of a text of the digits 0 and 1, the last character the lowest
// bit; any character other than "1" counts as 0.
std::int32_t BinStrToLong(std::string_view text);

} // namespace FCT_mpeg
