// The icon of a play-list row by the file's extension and wave format.
#include "playback/ListIcons.h"

#include <gtest/gtest.h>

namespace {

WaveInfoRecord Header(std::int32_t tag, std::int32_t code)
{
    WaveInfoRecord header;
    header.Valid = 1;
    header.FormatTag = tag;
    header.FormatCode = code;
    return header;
}

TEST(ListIcons, ExtensionsAndWaveFormatsGiveTheirKinds)
{
    EXPECT_EQ(playback::ListIconForExtension("mp3"), 4);
    EXPECT_EQ(playback::ListIconForExtension("mpeg"), 6);
    EXPECT_EQ(playback::ListIconForExtension("aac"), 7);
    EXPECT_EQ(playback::ListIconForExtension("midi"), 8);
    EXPECT_EQ(playback::ListIconForExtension("aiff"), 9);
    EXPECT_EQ(playback::ListIconForExtension("wav"), 1) << "a wave row made without its header";
    EXPECT_EQ(playback::ListIconForExtension("flac"), 0);
    EXPECT_EQ(playback::ListIconForExtension(""), 0);

    EXPECT_EQ(playback::ListIconForWaveHeader(Header(1, 3)), 1);
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(-2, 5)), 1) << "extensible, 24-bit stereo";
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(-2, 8)), 5) << "surround";
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(1, 12)), 0);
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(0x50, 0)), 3);
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(0x55, 0)), 4);
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(0x161, 0)), 5);
    EXPECT_EQ(playback::ListIconForWaveHeader(Header(2, 3)), 0) << "ADPCM is none of the kinds";
}

} // namespace
