#pragma once

#include "audio/DirectSoundPlayer.h"

#include <cstdint>
#include <vector>

// The other buffer player of back-end 0. It reads the file straight into its
// buffer's memory, opens the device of the start-up's device list
// (FCT_EnumDS), keeps a buffer of the same format for the next file, stays one
// segment ahead of the play cursor, gives back the attenuation as written and
// answers PlayFreq only while playing. InitDS gives 1 even when the device
// did not open.
class C_DSound5 final : public DirectSoundPlayer {
public:
    C_DSound5();

protected:
    std::shared_ptr<platform::audio::OutputDevice> OpenDevice(std::int32_t device) override;
    void SizeSampleArrays() override;
    std::span<std::uint8_t> SampleMemory(std::size_t offset, std::size_t bytes) override;
    void Commit(std::size_t, std::size_t) override {}
    std::span<const std::uint8_t> MeterSamples(std::size_t offset, std::size_t bytes) override;

private:
    // One unit of samples, copied out of the buffer for the meters.
    std::vector<std::uint8_t> meterUnit_;
};
