#pragma once

#include <string>

typedef struct _GstElement GstElement;
typedef struct _GstCaps GstCaps;
typedef struct _GstPad GstPad;
typedef struct _GstQuery GstQuery;

// Small pieces of GStreamer that the media graph is built from.
namespace platform::audio::media {

// The renderer's elements in a bin with one input pin "sink": conversion to
// packed 24-bit samples of 1, 2, 6 or 8 channels at any rate, into an appsink
// whose blocks a RendererFeed hands to a voice. With a synthesizer factory
// ("fluiddec") the bin plays MIDI events instead. Null when an element is
// missing. appsink receives the sink element.
GstElement* MakeRendererBin(const std::string& synthesizer, GstElement** appsink);

// The factory of the automatic decoder.
inline constexpr const char* autoDecoderFactory = "decodebin3";

// The automatic decoder: finds and links the parsers and decoders a stream
// needs; only the sound is decoded (a video stream is left alone).
GstElement* MakeAutoDecoder();
// True for the automatic decoder and the automatic parser, whose output is
// known only once they read.
bool IsAutomatic(GstElement* element);

// True when every format the caps allow is raw audio, so that a coded stream
// cannot enter (a renderer's input).
bool AcceptsOnlyRawAudio(GstCaps* caps);
// True when the pad carries (or will carry) raw audio.
bool CarriesRawAudio(GstPad* pad);
// The factory that made the element ("" for a bin of our own).
std::string FactoryName(GstElement* element);

// Answers a scheduling query in place of the element upstream: seekable,
// pushed, and pulled too when pull is true. False for any other query, which
// goes on as usual.
bool AnswerScheduling(GstQuery* query, bool pull);

} // namespace platform::audio::media
