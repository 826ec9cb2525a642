#include "CountingAllocator.h"
#include "NullDeviceFixture.h"
#include "support/AudioTestSignals.h"

#include "platform/audio/MixerThreadObserver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace {

using namespace platform::audio;
using audiotest::NoiseBytes;

class MixerAllocation : public audiotest::NullDeviceFixture {};

// Where the allocations below go: the compiler may drop a new whose result
// nobody can see, but never a store through a volatile pointer.
std::vector<int>* volatile escaped = nullptr;

TEST_F(MixerAllocation, TheCounterSeesAllocations)
{
    audiotest::ArmAllocationCounting();
    escaped = new std::vector<int>(100);
    delete escaped;
    escaped = nullptr;
    EXPECT_GE(audiotest::DisarmAllocationCounting(), 2);
}

// Everything a mixer period can meet: buffers ending and starting, done flags,
// volume ramps, pause and restart fades, resampling, a rate change, surround
// folding, a full record of played frames.
TEST_F(MixerAllocation, MixingPeriodsAllocatesNothing)
{
    platform::audio::DeviceOptions options;
    options.periodFrames = Period;
    system = AudioSystem::WithNullDevices(1, NullTiming::VirtualClock, options, 1);
    device = system->Output(1);
    auto stereo = OpenVoice(Rate, 16, 2);
    auto mono = OpenVoice(44100, 8, 1);
    auto surround = OpenVoice(Rate, 24, 8);
    std::vector<std::vector<std::uint8_t>> data;
    std::vector<VoiceBuffer> buffers(30);
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        Voice& voice = i % 3 == 0 ? *stereo : i % 3 == 1 ? *mono : *surround;
        data.push_back(NoiseBytes(voice.Format(), 700 + 13 * i, static_cast<std::uint32_t>(i)));
        buffers[i].data = data.back();
        ASSERT_EQ(voice.Write(buffers[i]), AudioError::None);
    }
    stereo->SetVolume(0.3f, 0.7f);
    mono->Pause();
    surround->SetRate(47000);

    audiotest::ArmAllocationCounting();
    device->RenderPeriods(20);
    EXPECT_EQ(audiotest::AllocationsCounted(), 0);
    mono->Restart();
    stereo->SetVolume(1.0f, 0.0f);
    device->RenderPeriods(300);
    const std::int64_t allocations = audiotest::DisarmAllocationCounting();
    EXPECT_EQ(allocations, 0);
    for (const auto& buffer : buffers) {
        EXPECT_TRUE(buffer.Done());
    }
}

std::atomic<std::int64_t> mixerThreadAllocations{0};
std::atomic<int> mixerPeriods{0};

void MixerThreadStarted()
{
    audiotest::ArmAllocationCounting();
}

void MixerThreadPeriod()
{
    mixerThreadAllocations.fetch_add(audiotest::AllocationsCounted(), std::memory_order_relaxed);
    audiotest::ArmAllocationCounting();
    mixerPeriods.fetch_add(1, std::memory_order_relaxed);
}

// The real threads, at the real rate, while the program's thread works the
// voices as a player would: no period of any mixer thread allocates.
TEST(MixerThreads, RunWithoutAllocatingWhileVoicesComeAndGo)
{
    static const MixerThreadObserver observer{MixerThreadStarted, MixerThreadPeriod};
    mixerThreadAllocations = 0;
    mixerPeriods = 0;
    SetMixerThreadObserver(&observer);
    {
        auto system = AudioSystem::WithNullDevices(2, NullTiming::RealTime, {}, 1);
        const StreamFormat format{48000, 16, 2};
        const auto bytes = NoiseBytes(format, 2000, 9);
        std::vector<VoiceBuffer> buffers(8);
        std::vector<std::unique_ptr<Voice>> voices;
        for (int i = 0; i < 4; ++i) {
            voices.push_back(system->OpenVoice(1 + i % 2, format));
            ASSERT_TRUE(voices.back());
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int round = 0;
        while (mixerPeriods.load() < 400 && std::chrono::steady_clock::now() < deadline) {
            for (std::size_t i = 0; i < buffers.size(); ++i) {
                Voice& voice = *voices[i % voices.size()];
                if (!buffers[i].Queued()) {
                    buffers[i].data = bytes;
                    voice.Write(buffers[i]);
                }
                voice.SetVolume(static_cast<float>(round % 10) / 10.0f, 1.0f);
                (void)voice.Position();
            }
            if (round % 50 == 10) {
                voices[0]->Pause();
            } else if (round % 50 == 20) {
                voices[0]->Restart();
            } else if (round % 50 == 30) {
                voices[1]->Reset();
            } else if (round % 50 == 40) {
                // A voice closes and another opens while the mixer runs.
                voices[3] = system->OpenVoice(2, StreamFormat{44100, 24, 1});
            }
            ++round;
            std::this_thread::yield();
        }
        EXPECT_GE(mixerPeriods.load(), 400);
        voices.clear();
    }
    SetMixerThreadObserver(nullptr);
    EXPECT_EQ(mixerThreadAllocations.load(), 0);
}

} // namespace
