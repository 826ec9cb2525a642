#pragma once

#include "platform/audio/AudioSystem.h"
#include "platform/audio/MediaGraph.h"
#include "support/ClockFixture.h"
#include "support/NullOutputs.h"
#include "support/RealWait.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace audiotest {

// Two null output devices ("Null 1", "Null 2") on virtual time, 48 kHz stereo
// with 256-frame periods, installed as the audio system; a scratch folder for
// the sound files a test makes.
class MediaFixture : public testsupport::ClockFixture {
protected:
    static constexpr int Rate = 48000;

    void SetUp() override
    {
        testsupport::InstallNullOutputs(2, Rate, 30);
        // A graph prerolls on GStreamer's threads in real time, which a busy
        // machine may stretch past the program's limit: the tests that are
        // not about that limit wait as long as a test may.
        platform::audio::MediaGraph::SetPrerollLimitMs(testsupport::RealWaitMs);
    }
    void TearDown() override
    {
        platform::audio::MediaGraph::SetPrerollLimitMs(0);
        platform::audio::AudioSystem::Install(nullptr);
    }

    static platform::audio::AudioSystem& System() { return platform::audio::AudioSystem::Current(); }
    static std::vector<float> Played(int device) { return System().NullOutput(device)->TakePlayed(); }

    // Moves virtual time on by ms, in steps no longer than the sound the
    // graph has decoded ahead, so the devices never run dry for want of a
    // decoder that had no time to run.
    void PlayFor(platform::audio::MediaGraph& graph, int ms)
    {
        // Two mixer periods of margin: a step may mix one period more than its length.
        constexpr int margin = 12;
        int left = ms;
        while (left > 0) {
            ASSERT_TRUE(graph.WaitBuffered(testsupport::RealWaitMs))
                << "the decoder did not decode ahead within " << testsupport::RealWaitMs / 1000 << " s";
            const int ahead = graph.BufferedMs();
            // Little ahead while the pool is full means the stream has ended.
            const int step = ahead < 2 * margin ? left : std::min(left, ahead - margin);
            clock.Advance(step);
            System().Sync();
            left -= step;
        }
    }

    testsupport::ScratchFolder folder;
};

} // namespace audiotest
