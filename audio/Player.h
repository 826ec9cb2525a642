#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class QWidget;

// The one set of members that every player back-end answers to. The main
// window, the monitor window and the information text hold each player as a
// Player and call any member on any back-end; a member a back-end does not
// have keeps the default here, which does nothing and returns the neutral
// value (0, "", 1.0 for a speed), so a caller goes on as it would after a
// refused call.
//
// Units: times in milliseconds, points in sample frames, levels in 1/100 dB
// (0 full level, negative quieter), pan -10000 (left) .. 10000 (right). mode
// is a PlayerMode: 0 ended or nothing open (graph and MCI players), 1
// stopped, 2 paused, 3 playing, 4 recording.
//
// Reads are not const: some back-ends ask their device when read, and reading
// mode or Position is how a graph player notices its end.
class Player {
public:
    Player() = default;
    virtual ~Player() = default;
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    // The sound. Writing a name loads that file; reading gives the name
    // loaded, "" when none.
    virtual std::string FileName();
    virtual void SetFileName(std::string_view name);
    // Length of the loaded file in ms, 0 when none.
    virtual std::int32_t Length();
    // Sample rate of the loaded file in Hz.
    virtual std::int32_t Freq();

    // Transport. Play starts at the start point: 1 started, 0 not.
    virtual std::int32_t Play();
    // Pauses, and on the next call resumes.
    virtual void Pause();
    // Starts at the start point and pauses at once (cues the sound).
    virtual void PlayPause();
    // Stops; immediate 0 lets a back-end with a mute tail play it.
    virtual void StopIO(std::int32_t immediate = 0);
    // Stops and releases the file and the device resources.
    virtual void CloseWave();
    // The polled refill, position and meter update and end detection of the
    // sample-position back-ends; the owner calls it on every tick.
    virtual std::int32_t ProgressionPlay();
    // kind 0: ms from the start of the file; 1: Length minus that; 2: the end
    // point minus that (3 on the waveOut player: the start point plus it).
    virtual std::int32_t Position(std::int32_t kind = 0);
    virtual std::int32_t mode();

    // Start and end points.
    virtual std::int32_t FromMS();
    virtual void SetFromMS(std::int32_t ms);
    virtual std::int32_t ToMS();
    virtual void SetToMS(std::int32_t ms);
    virtual std::int32_t FromSample();
    virtual void SetFromSample(std::int32_t frame);
    virtual std::int32_t ToSample();
    virtual void SetToSample(std::int32_t frame);

    // Level, pan, speed and meters.
    virtual std::int32_t Attenuation();
    virtual void SetAttenuation(std::int32_t level);
    virtual std::int32_t VolMinLevel();
    virtual void SetVolMinLevel(std::int32_t level);
    virtual std::int32_t PanValue();
    virtual void SetPanValue(std::int32_t pan);
    virtual float PlaySpeed();
    virtual void SetPlaySpeed(float speed);
    virtual std::int32_t PlayFreq();
    virtual void SetPlayFreq(std::int32_t hz);
    // Level of channel ch of the block being heard, on the back-end's scale.
    virtual std::int32_t Peak(std::int32_t ch);
    virtual std::int32_t RMS(std::int32_t ch);

    // Set-up of particular back-ends.
    // DirectSound players: opens output device (an index of the list); 1/0.
    virtual std::int32_t InitDS(QWidget* hWnd, std::int32_t device);
    // Class-specific preparation (waveOut: page tables; filter graph: the graph).
    virtual void Init();
    // Filter-graph player: renderer kind (0 waveOut, 1 DirectSound) and device name.
    virtual void SetDevMode(std::int32_t kind);
    virtual void SetDevName(std::string_view name);

    // MCI player: device and recording.
    virtual std::int32_t DevID();
    virtual void SetDevID(std::int32_t id);
    virtual std::string RecFileName();
    virtual void SetRecFileName(std::string_view name);
    virtual std::int32_t Rec_Freqency();
    virtual void SetRec_Freqency(std::int32_t hz);
    virtual std::int16_t Rec_Bit();
    virtual void SetRec_Bit(std::int16_t bits);
    virtual std::int16_t RecCh();
    virtual void SetRecCh(std::int16_t channels);
    virtual void Record();
    virtual void Save();

    // waveOut player: output set-up (takes effect at the next Init, FileName
    // or Play), start delay, mute tail and loop.
    virtual void SetUseExtensible(std::int32_t on);
    virtual void SetUseMixer(std::int32_t on);
    virtual void SetUsePeakVol(std::int32_t on);
    virtual std::int32_t DeviceID();
    virtual void SetDeviceID(std::int32_t id);
    // Opens the sound card its sounds play on now, and makes ready what a
    // start needs, so that its first start does not wait for the card to
    // open or its memory to be faulted in (the other back-ends open theirs
    // when set up, or build it with each sound).
    virtual void OpenDeviceAhead();
    // Device of surround channel pair index (1..3).
    virtual void SetExtDeviceID(std::int32_t index, std::int32_t id);
    virtual void SetBufferPagemsec(std::int32_t ms);
    virtual void SetNumBufferPages(std::int32_t pages);
    virtual void SetNumDiskBufferPages(std::int32_t pages);
    virtual void SetNumBufferToPlay(std::int32_t pages);
    virtual void SetHaitahWave(std::int32_t handle);
    virtual void SetNoClose(std::int32_t on);
    virtual void SetMuteMS(std::int32_t ms);
    virtual void SetDelayMS(std::int32_t ms);
    // 1 ends a running mute tail at its next turn.
    virtual void SetCancelMute(std::int32_t on);
    // 1 while a mute tail runs.
    virtual std::int32_t WhileMute();
    // Reads the loaded file's header again and takes over its length.
    virtual void UpdateLength();
    // Handle of output device index, 0 when closed.
    virtual std::int32_t hWave(std::int32_t index);
    // Loop return point in frames, and the loop switch.
    virtual void SetStbyPoint(std::int32_t frame);
    virtual void SetLoopOn(std::int32_t on);

    // Raised about every 10 ms while a waveOut player's mute tail runs inside
    // StopIO, so the owner can run its tick. Other back-ends never raise it.
    std::function<void()> MutingProc;
};
