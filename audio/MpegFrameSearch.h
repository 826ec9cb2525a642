#pragma once

#include "audio/SoundFileSource.h"

#include <cstdint>
#include <optional>
#include <span>

// Finding the first real frame of an MPEG audio stream. Tags, tag padding and
// junk ahead of the audio hold bytes that look like frame headers; a header
// counts only when the next one follows where its frame ends, or its frame
// ends exactly where the audio does.
namespace FCT_mpeg {

// Where the search for the first frame begins, from the first bytes of the
// file: after a leading "TAG" block, after every leading ID3v2 tag (a file may
// carry several one after the other), else at 0.
std::int64_t FirstFrameSearchStart(audiofile::SoundFileSource& file, std::span<const std::uint8_t> head);

// Offset of the first confirmed frame header at or after from, within the
// bounded search; audioEnd is where the audio stops (a trailing "TAG" block or
// the end of the file). A file named ".mp3" never takes 0xFF as a second
// header byte (it is fill there). After a look-alike whose third byte is 0xFF
// a header of its second byte is preferred; without one the first confirmed
// header is taken.
std::optional<std::int64_t> FindFirstFrame(audiofile::SoundFileSource& file, std::int64_t from, std::int64_t audioEnd,
                                           bool namedMp3);

} // namespace FCT_mpeg
