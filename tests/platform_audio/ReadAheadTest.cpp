// The read-ahead between a file and its decoder hands every reader the file's
// own bytes at the offset it asked for, wherever that is and whatever the
// file's size.
#include "platform/audio/MediaFramework.h"
#include "platform/audio/ReadAhead.h"
#include "support/ScratchFolder.h"

#include <gst/gst.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using platform::audio::media::ReadAheadBytes;

// Each 4-byte word of the file holds its own offset: bytes from another place
// show which place.
std::uint32_t WordAt(const std::uint8_t* bytes)
{
    std::uint32_t word = 0;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The read calls the process made so far.
long long ReadCalls()
{
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value) {
        if (name == "syscr:") {
            return value;
        }
    }
    return 0;
}

TEST(ReadAheadElement, EveryReadGivesTheFileBytesAtItsOffset)
{
    testsupport::ScratchFolder folder;
    const std::string path = folder / "big.bin";
    constexpr std::uint32_t size = ReadAheadBytes + ReadAheadBytes / 2;
    {
        std::vector<std::uint32_t> words(size / 4);
        for (std::uint32_t i = 0; i < words.size(); ++i) {
            words[i] = i * 4;
        }
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(words.data()), size);
    }
    platform::audio::StartMediaFramework();
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    g_object_set(source, "location", path.c_str(), nullptr);
    GstElement* readAhead = platform::audio::media::MakeReadAhead(source);
    ASSERT_NE(readAhead, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), source, readAhead, nullptr);
    ASSERT_TRUE(gst_element_link(source, readAhead));
    // A reader of our own, as a parser pulls.
    GstPad* reader = gst_pad_new("reader", GST_PAD_SINK);
    GstPad* output = gst_element_get_static_pad(readAhead, "src");
    ASSERT_EQ(gst_pad_link(output, reader), GST_PAD_LINK_OK);
    // As a decoder does, on its way to pausing.
    gst_element_set_state(pipeline, GST_STATE_READY);
    ASSERT_TRUE(gst_pad_activate_mode(reader, GST_PAD_MODE_PULL, TRUE));
    gst_element_set_state(pipeline, GST_STATE_PAUSED);

    // Through the file once, as a decoder does, then back to its header (a
    // replay), to either side of what it holds, and anywhere.
    std::vector<std::uint32_t> offsets;
    for (std::uint32_t at = 0; at < size; at += 4096) {
        offsets.push_back(at);
    }
    offsets.insert(offsets.end(), {0, 44, size - 128, 12, ReadAheadBytes - 4, ReadAheadBytes + 4096, 0});
    std::mt19937 random(97);
    for (int i = 0; i < 300; ++i) {
        offsets.push_back(static_cast<std::uint32_t>(random() % (size / 4)) * 4);
    }
    const long long readsBefore = ReadCalls();
    bool readThrough = false;
    int wrong = 0;
    for (const std::uint32_t at : offsets) {
        GstBuffer* buffer = nullptr;
        ASSERT_EQ(gst_pad_pull_range(reader, at, 4096, &buffer), GST_FLOW_OK) << "at " << at;
        GstMapInfo map;
        ASSERT_TRUE(gst_buffer_map(buffer, &map, GST_MAP_READ));
        EXPECT_EQ(map.size, std::min<std::size_t>(4096, size - at)) << "at " << at;
        for (std::size_t word = 0; word + 4 <= map.size; word += 4) {
            if (WordAt(map.data + word) != at + word) {
                ++wrong;
                ADD_FAILURE() << "at " << at + word << " the bytes of " << WordAt(map.data + word);
                break;
            }
        }
        gst_buffer_unmap(buffer, &map);
        gst_buffer_unref(buffer);
        if (wrong > 3) {
            break;
        }
        if (at + 4096 >= size && !readThrough) {
            // Read through once: in large blocks, so that a share whose
            // every read takes 50 ms keeps up with a 48 kHz stereo sound
            // (192 KB a second) with room to spare.
            EXPECT_LT(ReadCalls() - readsBefore, size / (16 * 1024));
            readThrough = true;
        }
    }
    GstBuffer* beyond = nullptr;
    EXPECT_EQ(gst_pad_pull_range(reader, size, 4096, &beyond), GST_FLOW_EOS);

    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_pad_activate_mode(reader, GST_PAD_MODE_PULL, FALSE);
    gst_pad_unlink(output, reader);
    gst_object_unref(output);
    gst_object_unref(reader);
    gst_object_unref(pipeline);
}

} // namespace
