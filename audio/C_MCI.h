#pragma once

#include "audio/FileVersion.h"
#include "audio/Player.h"

#include <cstdint>
#include <optional>
#include <string>

// The MCI player (back-end 2): plays a file through an MCI device opened for
// it, in milliseconds, and records from the wave input into a new recording
// device that Save writes to RecFileName. No volume, pan or speed. Commands
// are sent without waiting for their end; only Play reports a failure.
class C_MCI final : public Player {
public:
    C_MCI();
    ~C_MCI() override;

    std::string FileName() override { return FileName_; }
    void SetFileName(std::string_view name) override;
    std::int32_t Length() override { return Length_; }
    std::int32_t FromMS() override { return FromMS_; }
    void SetFromMS(std::int32_t ms) override { FromMS_ = ms; }
    std::int32_t ToMS() override { return ToMS_; }
    void SetToMS(std::int32_t ms) override { ToMS_ = ms; }

    std::int32_t Play() override;
    void Pause() override;
    void PlayPause() override;
    void StopIO(std::int32_t immediate = 0) override;
    void CloseWave() override;
    std::int32_t Position(std::int32_t kind = 0) override;
    std::int32_t mode() override;

    // The MCI device identifier; writing a wave device number sends the open
    // device's sound to and from that device.
    std::int32_t DevID() override { return DevID_; }
    void SetDevID(std::int32_t id) override;
    std::string RecFileName() override { return RecFileName_; }
    void SetRecFileName(std::string_view name) override { RecFileName_ = std::string(name); }
    std::int32_t Rec_Freqency() override { return Rec_Freqency_; }
    void SetRec_Freqency(std::int32_t hz) override { Rec_Freqency_ = hz; }
    std::int16_t Rec_Bit() override { return Rec_Bit_; }
    void SetRec_Bit(std::int16_t bits) override { Rec_Bit_ = bits; }
    std::int16_t RecCh() override { return RecCh_; }
    void SetRecCh(std::int16_t channels) override { RecCh_ = channels; }
    void Record() override;
    void Save() override;

private:
    std::int32_t FromMS_ = 0;
    std::int32_t ToMS_ = 0;
    std::int32_t DevID_ = 0;
    std::string FileName_;
    // The file as it was when its load began: the same name loads again once it changed.
    std::optional<FileVersion> loadedVersion_;
    std::int32_t Length_ = 0;
    std::string RecFileName_;
    std::int32_t Rec_Freqency_ = 0;
    std::int16_t Rec_Bit_ = 0;
    std::int16_t RecCh_ = 0;
    std::int32_t Opened_ = 0;
    bool Opening_ = false;
};
