#pragma once

#include "audio/DirectSoundPlayer.h"

#include <cstdint>
#include <vector>

// The buffer player of back-end 0. It keeps a mirror of everything written to
// its buffer (the meters read from it), enumerates the output devices afresh
// when it opens one, stays two segments ahead of the play cursor, reads the
// buffer's volume back while playing and answers PlayFreq while a file is loaded.
class C_DSound final : public DirectSoundPlayer {
public:
    C_DSound();

protected:
    std::shared_ptr<platform::audio::OutputDevice> OpenDevice(std::int32_t device) override;
    void SizeSampleArrays() override;
    std::span<std::uint8_t> SampleMemory(std::size_t offset, std::size_t bytes) override;
    void Commit(std::size_t offset, std::size_t bytes) override;
    std::span<const std::uint8_t> MeterSamples(std::size_t offset, std::size_t bytes) override;

private:
    std::vector<std::uint8_t> mirror_;
};
