#pragma once

#include "platform/audio/AudioError.h"
#include "platform/audio/DeviceSink.h"
#include "platform/audio/NullInput.h"
#include "platform/audio/NullSink.h"
#include "platform/audio/OutputDevice.h"
#include "platform/audio/StreamFormat.h"
#include "platform/audio/Voice.h"

#include <memory>
#include <string>
#include <vector>

namespace platform::audio {

class CaptureSource;

// How null devices keep time: at the real rate on their own threads, or on
// the installed clock (virtual time in tests), mixing when a caller syncs.
enum class NullTiming { RealTime, VirtualClock };

// The program's output and input devices. Device 0 of each list is the
// system's default device; the real devices follow in a stable order. Each
// output device is opened at its first use and then kept open by its one
// owner, however many voices play on it; -1 (the old wave mapper) and 0 both
// reach the default device.
class AudioSystem {
    struct Key {};

public:
    explicit AudioSystem(Key) {}
    // The system in force: the installed one, else one built from TOLV_AUDIO.
    static AudioSystem& Current();
    // The system in force, or null while none was installed or built yet.
    static AudioSystem* Existing();
    // Installs a system (null: the next Current() builds one from TOLV_AUDIO
    // again). The devices of the system replaced are closed.
    static void Install(std::unique_ptr<AudioSystem> system);

    // TOLV_AUDIO: unset or "alsa" the sound cards, "null" one null device,
    // "null:N" N of them. With the sound cards, TOLV_ALSA_CONFIG names an
    // ALSA configuration file whose PCMs are used instead of the system's
    // (see WithAlsaConfiguration).
    static std::unique_ptr<AudioSystem> FromEnvironment();
    // The PCMs that an ALSA configuration text defines, looked up in it alone:
    // output 0 (and -1) is its "default", then each other PCM it defines, in
    // its order, by its name; the same for the inputs. Null with the reason in
    // error when the text does not load or defines no PCM.
    static std::unique_ptr<AudioSystem> WithAlsaConfiguration(const std::string& configText, std::string& error,
                                                              const DeviceOptions& options = {});
    // The ALSA devices; without any output device one null device, with a log line.
    static std::unique_ptr<AudioSystem> WithAlsa(const DeviceOptions& options = {});
    // count null devices "Null 1" .. "Null <count>", each with a capture twin
    // of the same name, keeping up to keepSeconds of what they played.
    static std::unique_ptr<AudioSystem> WithNullDevices(int count, NullTiming timing, const DeviceOptions& options = {},
                                                        int keepSeconds = 10);

    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;
    ~AudioSystem();

    bool IsNull() const { return null_; }
    int OutputCount() const { return static_cast<int>(outputs_.size()); }
    // "" for a number that is not in the list.
    std::string OutputName(int index) const;
    int InputCount() const { return static_cast<int>(inputs_.size()); }
    std::string InputName(int index) const;

    // The owner of output device index, opened now if it is not open yet;
    // null (with the reason in error) for a number not in the list or a
    // device that does not open.
    std::shared_ptr<OutputDevice> Output(int index, AudioError* error = nullptr);
    // Opens sound card index now if it is not open yet, so that the first
    // sound on it does not wait for its opening (tens of milliseconds); it
    // stops again once it has played its silence. One that does not open is
    // logged and tried again at its first sound. Null devices open at no
    // cost, and keep time from their opening: they open at their first use.
    void OpenAhead(int index);
    // A new voice on output device index.
    std::unique_ptr<Voice> OpenVoice(int index, const StreamFormat& format, AudioError* error = nullptr);
    // Null systems: what output device index played (0 reaches device 1), and
    // the capture twin a test supplies input to; null otherwise.
    NullSink* NullOutput(int index);
    NullInput* NullInputDevice(int index);
    // A capture source on input device index (-1 and 0: the default device),
    // opened now; null (with the reason in error) when it does not open.
    std::unique_ptr<CaptureSource> OpenCapture(int index, AudioError* error = nullptr);
    // Syncs every open device (see OutputDevice::Sync), and reopens lost ones
    // that are back (see CheckLostDevices).
    void Sync();
    // A device that failed (see OutputDevice::Lost) is opened afresh when a
    // sound is next started on it (Output), or here, which tries at most once
    // a second on the installed clock. Program side only, never the mixer's.
    void CheckLostDevices();
    // The same on the installed system, if one is (the players' polls).
    static void CheckLostDevicesOfInstalled();
    // Null systems: output device index fails at its next period as an
    // unplugged card does, and cannot be opened again until it is plugged
    // back in; false when there is no such null device.
    bool SetNullOutputUnplugged(int index, bool unplugged);

private:
    struct Entry {
        std::string name;
        std::string pcm;
        int target = 0; // the entry whose owner this entry reaches
    };
    struct Opened {
        std::shared_ptr<OutputDevice> device;
        NullSink* nullSink = nullptr;
    };

    int Target(int index) const;
    // Opens entry target; false (logged unless quiet) when it does not open.
    bool OpenTarget(int target, bool quiet);
    // Replaces the lost owner of entry target by a newly opened one.
    bool Reopen(int target);

    bool null_ = false;
    NullTiming timing_ = NullTiming::RealTime;
    DeviceOptions options_;
    std::string alsaConfig_; // empty: the system's ALSA configuration
    std::size_t keepFrames_ = 0;
    std::vector<Entry> outputs_;
    std::vector<Entry> inputs_;
    std::vector<Opened> opened_;
    std::vector<std::unique_ptr<NullInput>> nullInputs_;
    std::vector<char> nullUnplugged_;  // per entry
    std::int64_t lastLostCheckMs_ = 0; // on the installed clock
    bool lostChecked_ = false;
};

} // namespace platform::audio
