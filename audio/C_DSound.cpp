#include "audio/C_DSound.h"

#include "platform/audio/AudioSystem.h"
#include "platform/audio/LoopingBuffer.h"
#include "platform/audio/SoundDeviceEnumeration.h"

#include <vector>

C_DSound::C_DSound()
    : DirectSoundPlayer(Traits{.reuseBuffer = false,
                               .firstPlayedSegment = -1,
                               .readsVolumeBack = true,
                               .playFreqWhileLoaded = true,
                               .resetForgetsPlayStart = true,
                               .initFailsWithoutDevice = true})
{
}

std::shared_ptr<platform::audio::OutputDevice> C_DSound::OpenDevice(std::int32_t device)
{
    // This player takes the enumeration at the moment it opens its device.
    std::vector<int> outputs;
    platform::audio::EnumerateSoundDevices(platform::audio::AudioSystem::Current(),
                                           [&outputs](const int* identifier, std::string_view, std::string_view) {
                                               outputs.push_back(identifier != nullptr ? *identifier : 0);
                                               return true;
                                           });
    const bool listed = device >= 0 && device < static_cast<std::int32_t>(outputs.size());
    return OpenOutput("C_DSound", device, listed ? outputs[static_cast<std::size_t>(device)] : -1);
}

void C_DSound::SizeSampleArrays()
{
    mirror_.assign(BufferBytes(), 0);
}

std::span<std::uint8_t> C_DSound::SampleMemory(std::size_t offset, std::size_t bytes)
{
    return std::span<std::uint8_t>(mirror_).subspan(offset, bytes);
}

void C_DSound::Commit(std::size_t offset, std::size_t bytes)
{
    if (Buffer() != nullptr) {
        Buffer()->Write(offset, std::span<const std::uint8_t>(mirror_).subspan(offset, bytes));
    }
}

std::span<const std::uint8_t> C_DSound::MeterSamples(std::size_t offset, std::size_t bytes)
{
    return std::span<const std::uint8_t>(mirror_).subspan(offset, bytes);
}
