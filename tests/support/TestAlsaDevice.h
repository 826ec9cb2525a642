#pragma once

// The tests' own ALSA device (tests/alsa_device): where the module is, and a
// configuration that knows its PCM type, for the tests that open it.
#include <filesystem>
#include <string>
#include <string_view>

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

} // namespace testsupport
