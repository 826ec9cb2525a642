#pragma once

// The tests' own ALSA device (tests/alsa_device): where the module is, and a
// configuration that knows its PCM type, for the tests that open it.
#include "platform/audio/AlsaSink.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/OutputDevice.h"
#include "support/RealWait.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace testsupport {

#ifdef TOLV_ALSA_TEST_DEVICE
inline constexpr const char* TestAlsaDevice = TOLV_ALSA_TEST_DEVICE;
#else
inline constexpr const char* TestAlsaDevice = "";
#endif

inline bool TestAlsaDeviceBuilt()
{
    return std::filesystem::exists(TestAlsaDevice);
}

// An ALSA configuration text: the test device's type, then definitions.
inline std::string TestAlsaConfig(std::string_view definitions)
{
    return std::string("pcm_type.tolvtest { lib \"") + TestAlsaDevice + "\" }\n" + std::string(definitions);
}

// A paced test device at 48 kHz, its mixer on the device's clock as a sound
// card's is; settings are the PCM's further settings ("rewind 0", ...). Null
// with the reason in error when it does not open.
inline std::shared_ptr<platform::audio::OutputDevice> OpenPacedTestCard(std::string_view settings, std::string& error)
{
    platform::audio::AlsaOptions options;
    options.pcm = "dut";
    options.configText = TestAlsaConfig("pcm.dut { type tolvtest paced 1 rate 48000 " + std::string(settings) + " }\n");
    auto sink = platform::audio::AlsaSink::Open(options, error);
    if (!sink) {
        return nullptr;
    }
    return platform::audio::OutputDevice::Start("Card", std::move(sink), platform::audio::Pacing::Device);
}

// An audio system whose default output is a paced test device at 48 kHz that
// takes 16-bit samples; null with the reason in error when it does not open.
inline std::unique_ptr<platform::audio::AudioSystem> PacedTestCardSystem(std::string& error)
{
    return platform::audio::AudioSystem::WithAlsaConfiguration(
        TestAlsaConfig("pcm.default { type tolvtest paced 1 formats \"S16_LE\" rate 48000 }\n"), error);
}

// Installs PacedTestCardSystem as the program's audio system, from a test's
// SetUp: skips the test when the device was not built and fails it when the
// card does not open; the caller returns when IsSkipped() or HasFatalFailure().
inline void InstallPacedTestCardSystem()
{
    if (!TestAlsaDeviceBuilt()) {
        GTEST_SKIP() << "the test ALSA device was not built (" << TestAlsaDevice << ")";
    }
    std::string error;
    auto system = PacedTestCardSystem(error);
    ASSERT_TRUE(system) << error;
    platform::audio::AudioSystem::Install(std::move(system));
}

// The controls of the loaded test device: unplug(1) fails it as an unplugged
// card, unplug(0) plugs it back; arm() and played() watch for the first loud
// frame played, and loudFrame() for its frame since the device was last
// prepared. Find looks them up once a device of the module is open.
struct TestAlsaControls {
    void (*unplug)(int) = nullptr;
    void (*arm)() = nullptr;
    long long (*played)() = nullptr;
    long long (*loudFrame)() = nullptr;
    void (*runDry)(int) = nullptr;
    long long (*ranDryCount)() = nullptr;

    bool Find()
    {
        void* module = dlopen(TestAlsaDevice, RTLD_NOW | RTLD_NOLOAD);
        if (module == nullptr) {
            return false;
        }
        unplug = reinterpret_cast<void (*)(int)>(dlsym(module, "tolvtest_unplug"));
        arm = reinterpret_cast<void (*)()>(dlsym(module, "tolvtest_arm"));
        played = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_loud_played_ns"));
        loudFrame = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_loud_frame"));
        runDry = reinterpret_cast<void (*)(int)>(dlsym(module, "tolvtest_run_dry"));
        ranDryCount = reinterpret_cast<long long (*)()>(dlsym(module, "tolvtest_ran_dry_count"));
        dlclose(module);
        return unplug != nullptr && arm != nullptr && played != nullptr && loudFrame != nullptr && runDry != nullptr &&
               ranDryCount != nullptr;
    }
};

// Holds the clock of every paced test device still while it lives (see
// tolvtest_hold), once a device of the module is open: a test that drives the
// mixer itself and looks at what it queues is not at the mercy of a machine
// that holds its thread up while the card plays on and runs dry. A held card
// never finishes draining, so it must end before the card closes: it is
// declared after the device.
class HeldTestCardClock {
public:
    HeldTestCardClock()
    {
        void* module = dlopen(TestAlsaDevice, RTLD_NOW | RTLD_NOLOAD);
        if (module != nullptr) {
            hold_ = reinterpret_cast<void (*)(int)>(dlsym(module, "tolvtest_hold"));
            dlclose(module);
        }
        if (hold_ != nullptr) {
            hold_(1);
        }
    }
    ~HeldTestCardClock()
    {
        if (hold_ != nullptr) {
            hold_(0);
        }
    }
    HeldTestCardClock(const HeldTestCardClock&) = delete;
    HeldTestCardClock& operator=(const HeldTestCardClock&) = delete;

    bool Held() const { return hold_ != nullptr; }

private:
    void (*hold_)(int) = nullptr;
};

// A paced test device works on its own thread at the card's pace: what it
// does is waited for, as long as a wait on real time may take.
inline bool WithinRealWait(const std::function<bool()>& done)
{
    return PollUntil(done);
}

// A test on a paced test card: OpenCard in SetUp skips the test when the
// device was not built, and fails it when the card does not open; the caller
// returns when IsSkipped() or HasFatalFailure().
class PacedTestCardTest : public testing::Test {
protected:
    void OpenCard(std::string_view settings)
    {
        if (!TestAlsaDeviceBuilt()) {
            GTEST_SKIP() << "the test ALSA device was not built (" << TestAlsaDevice << ")";
        }
        std::string error;
        device = OpenPacedTestCard(settings, error);
        ASSERT_TRUE(device) << error;
        ASSERT_TRUE(card.Find());
    }

    std::shared_ptr<platform::audio::OutputDevice> device;
    TestAlsaControls card;
};

} // namespace testsupport
