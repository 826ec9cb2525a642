#include "audio/C_DSound5.h"

#include "audio/DSDeviceList.h"
#include "platform/audio/LoopingBuffer.h"

#include <algorithm>

C_DSound5::C_DSound5()
    : DirectSoundPlayer(Traits{.reuseBuffer = true,
                               .firstPlayedSegment = 0,
                               .readsVolumeBack = false,
                               .playFreqWhileLoaded = false,
                               .resetForgetsPlayStart = false,
                               .initFailsWithoutDevice = false})
{
}

std::shared_ptr<platform::audio::OutputDevice> C_DSound5::OpenDevice(std::int32_t device)
{
    const FCT_EnumDS::DSDeviceList& list = FCT_EnumDS::DeviceList();
    int output = -1;
    if (device >= 0 && device < list.count) {
        const auto entry = static_cast<std::size_t>(device);
        output = list.hasIdentifier[entry] ? list.identifiers[entry] : 0;
    }
    return OpenOutput("C_DSound5", device, output);
}

void C_DSound5::SizeSampleArrays()
{
    meterUnit_.assign(UnitBytes(), 0);
}

std::span<std::uint8_t> C_DSound5::SampleMemory(std::size_t offset, std::size_t bytes)
{
    if (Buffer() == nullptr) {
        return {};
    }
    // Segments never pass the end of the buffer, so the region is in one part.
    return Buffer()->Lock(offset, bytes).first;
}

std::span<const std::uint8_t> C_DSound5::MeterSamples(std::size_t offset, std::size_t bytes)
{
    const std::span<const std::uint8_t> region = SampleMemory(offset, bytes);
    const std::size_t count = std::min(region.size(), meterUnit_.size());
    std::copy_n(region.begin(), count, meterUnit_.begin());
    return std::span<const std::uint8_t>(meterUnit_).subspan(0, count);
}
