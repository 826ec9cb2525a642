#pragma once

typedef struct _GstElement GstElement;

namespace platform::audio::media {

// A file is read in blocks this large, on a thread of its own, and kept this
// far ahead of what is decoded: a share whose every read takes tens of
// milliseconds still keeps up with the sound, and the decoder's small pulls
// are never reads of the share on the thread that feeds the voice. A read
// waits for its whole block, so a block is small enough that a share which
// stalls holds back little of what it gave.
inline constexpr unsigned ReadBlockBytes = 64 * 1024;
inline constexpr unsigned ReadAheadBytes = 8 * 1024 * 1024;

// The read-ahead between a file source and what decodes it: it serves pulls
// anywhere in the file, each with the file's own bytes at the offset asked
// (from memory when it holds them, else the file is read from there on), or
// pushes the file to a reader that takes it so, from where it seeks. Null
// when the source cannot be read ahead; the caller adds it to its bin.
GstElement* MakeReadAhead(GstElement* fileSource);

} // namespace platform::audio::media
