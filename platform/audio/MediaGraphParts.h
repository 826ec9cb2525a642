#pragma once

// What the source files of the media graph share: its filters and
// connections, and the walk over every renderer that has a voice.
#include "platform/audio/MediaGraph.h"
#include "platform/audio/RendererFeed.h"

#include <memory>
#include <string>

namespace platform::audio {

struct MediaGraph::Filter {
    std::string name;
    GstElement* element = nullptr; // owned by the pipeline; null once removed
    GstElement* appsink = nullptr;
    bool fileSource = false;
    bool fileSink = false;
    std::unique_ptr<RendererFeed> feed;
};

struct MediaGraph::Connection {
    int from = -1;
    int fromPin = -1;
    int to = -1;
    int input = -1;           // link id of the output into the next element
    int output = -1;          // link id out of the inserted decoder
    GstPad* source = nullptr; // the output pad when it existed (a reference)
    std::string templateName;
    GstElement* decoder = nullptr;
    GstElement* readAhead = nullptr; // between a file source and its taker
};

// Why a renderer has no voice: its device refused one.
inline std::string DeviceRefusal(AudioError error)
{
    return "the output device refused the sound: " + std::string(ErrorText(error));
}

template <typename Action> void MediaGraph::ForEachFeed(Action action)
{
    for (auto& filter : filters_) {
        if (filter->element != nullptr && filter->feed && filter->feed->HasVoice()) {
            action(*filter->feed);
        }
    }
}

} // namespace platform::audio
