#pragma once

typedef struct _GstElement GstElement;

namespace platform::audio::media {

// Every wave parser that appears anywhere in pipeline (inside the automatic
// decoder or a parser bin too) reads its file as a stream pushed to it, never
// by pulling ranges. Pulling, the parser looks for chunks after the data
// chunk one byte early when the data has an odd length: it meets the pad
// byte that ends the file, takes that for a truncated chunk and ends the
// stream before its first sample, so the graph never prerolls. Pushed, it
// stops at the data chunk and hands over exactly its bytes.
void ParseWavesAsStreams(GstElement* pipeline);

} // namespace platform::audio::media
