#include "platform/audio/AudioSystem.h"

#include "platform/audio/AlsaCapture.h"
#include "platform/audio/AlsaDeviceList.h"
#include "platform/audio/AlsaPcmOpen.h"
#include "platform/audio/AlsaSink.h"
#include "platform/audio/DeviceNaming.h"
#include "platform/audio/NullCapture.h"
#include "platform/base/Clock.h"
#include "platform/base/LogSink.h"
#include "platform/base/Numbers.h"

#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>

namespace platform::audio {

namespace {

std::unique_ptr<AudioSystem>& Installed()
{
    static std::unique_ptr<AudioSystem> system;
    return system;
}

constexpr int maxNullDevices = 16;

} // namespace

AudioSystem& AudioSystem::Current()
{
    auto& system = Installed();
    if (!system) {
        system = FromEnvironment();
    }
    return *system;
}

AudioSystem* AudioSystem::Existing()
{
    return Installed().get();
}

void AudioSystem::Install(std::unique_ptr<AudioSystem> system)
{
    Installed() = std::move(system);
}

AudioSystem::~AudioSystem() = default;

std::unique_ptr<AudioSystem> AudioSystem::FromEnvironment()
{
    const char* value = std::getenv("TOLV_AUDIO");
    const std::string choice = value != nullptr ? value : "";
    if (choice.empty() || choice == "alsa") {
        const char* configFile = std::getenv("TOLV_ALSA_CONFIG");
        if (configFile != nullptr && *configFile != '\0') {
            std::string error;
            std::ifstream file(configFile, std::ios::binary);
            std::ostringstream text;
            text << file.rdbuf();
            auto system = file ? WithAlsaConfiguration(text.str(), error) : nullptr;
            if (system) {
                return system;
            }
            Log(std::string("TOLV_ALSA_CONFIG=") + configFile + ": " + (file ? error : "the file cannot be read") +
                "; using the sound cards");
        }
        return WithAlsa();
    }
    if (choice == "null") {
        return WithNullDevices(1, NullTiming::RealTime);
    }
    if (choice.rfind("null:", 0) == 0) {
        const std::string countText = choice.substr(5);
        const auto count = numeric::IsAllDigits(countText) ? numeric::ParseLong(countText) : std::nullopt;
        if (count && *count >= 1 && *count <= maxNullDevices) {
            return WithNullDevices(*count, NullTiming::RealTime);
        }
        Log("TOLV_AUDIO=" + choice + ": the count must be 1 to " + std::to_string(maxNullDevices) +
            "; using one null device");
        return WithNullDevices(1, NullTiming::RealTime);
    }
    Log("TOLV_AUDIO=" + choice + " is not understood (alsa, null or null:N); using the sound cards");
    return WithAlsa();
}

std::unique_ptr<AudioSystem> AudioSystem::WithAlsa(const DeviceOptions& options)
{
    const std::vector<AlsaPcm> outputs = ListCardPcms(false);
    if (outputs.empty() && !PcmOpens("default", false)) {
        Log("No ALSA output device: the sound goes to one null device", 0);
        return WithNullDevices(1, NullTiming::RealTime, options, 1);
    }
    auto system = std::make_unique<AudioSystem>(Key{});
    system->options_ = options;
    const auto makeList = [](const std::vector<AlsaPcm>& pcms, bool capture) {
        std::vector<std::string> names;
        std::string defaultName = DeviceNameFromDescription(DefaultPcmDescription(capture));
        names.push_back(defaultName.empty() ? "Default" : defaultName);
        for (const AlsaPcm& pcm : pcms) {
            names.push_back(DeviceNameFromDescription(pcm.description));
        }
        names = NumberAlikeNames(names);
        std::vector<Entry> entries;
        for (std::size_t i = 0; i < names.size(); ++i) {
            entries.push_back(Entry{names[i], i == 0 ? "default" : pcms[i - 1].pcm, static_cast<int>(i)});
        }
        return entries;
    };
    system->outputs_ = makeList(outputs, false);
    system->inputs_ = makeList(ListCardPcms(true), true);
    system->opened_.resize(system->outputs_.size());
    return system;
}

std::unique_ptr<AudioSystem> AudioSystem::WithAlsaConfiguration(const std::string& configText, std::string& error,
                                                                const DeviceOptions& options)
{
    std::vector<std::string> pcms;
    if (!PcmsDefinedIn(configText, pcms, error)) {
        return nullptr;
    }
    if (pcms.empty()) {
        error = "it defines no PCM";
        return nullptr;
    }
    auto system = std::make_unique<AudioSystem>(Key{});
    system->options_ = options;
    system->alsaConfig_ = configText;
    std::vector<Entry> entries{Entry{"Default", "default", 0}};
    for (const std::string& pcm : pcms) {
        if (pcm != "default") {
            entries.push_back(Entry{pcm, pcm, static_cast<int>(entries.size())});
        }
    }
    system->outputs_ = entries;
    system->inputs_ = entries;
    system->opened_.resize(system->outputs_.size());
    return system;
}

std::unique_ptr<AudioSystem> AudioSystem::WithNullDevices(int count, NullTiming timing, const DeviceOptions& options,
                                                          int keepSeconds)
{
    auto system = std::make_unique<AudioSystem>(Key{});
    system->null_ = true;
    system->timing_ = timing;
    system->options_ = options;
    system->keepFrames_ =
        static_cast<std::size_t>(keepSeconds < 0 ? 0 : keepSeconds) * static_cast<std::size_t>(options.rate);
    count = count < 1 ? 1 : count;
    system->outputs_.push_back(Entry{"Null default", {}, 1});
    system->inputs_.push_back(Entry{"Null default", {}, 1});
    system->nullInputs_.push_back(nullptr);
    for (int i = 1; i <= count; ++i) {
        const std::string name = "Null " + std::to_string(i);
        system->outputs_.push_back(Entry{name, {}, i});
        system->inputs_.push_back(Entry{name, {}, i});
        system->nullInputs_.push_back(std::make_unique<NullInput>(name, options, system->keepFrames_));
    }
    system->opened_.resize(system->outputs_.size());
    return system;
}

std::string AudioSystem::OutputName(int index) const
{
    return index >= 0 && index < OutputCount() ? outputs_[static_cast<std::size_t>(index)].name : std::string{};
}

std::string AudioSystem::InputName(int index) const
{
    return index >= 0 && index < InputCount() ? inputs_[static_cast<std::size_t>(index)].name : std::string{};
}

int AudioSystem::Target(int index) const
{
    if (index == -1) {
        index = 0;
    }
    if (index < 0 || index >= OutputCount()) {
        return -1;
    }
    return outputs_[static_cast<std::size_t>(index)].target;
}

std::shared_ptr<OutputDevice> AudioSystem::Output(int index, AudioError* error)
{
    const int target = Target(index);
    if (target < 0) {
        if (error != nullptr) {
            *error = AudioError::BadDevice;
        }
        return nullptr;
    }
    Opened& opened = opened_[static_cast<std::size_t>(target)];
    const bool wasLost = opened.device && opened.device->Lost();
    const bool opens = !opened.device ? OpenTarget(target, false) : !wasLost || Reopen(target);
    if (!opens) {
        if (error != nullptr) {
            *error = wasLost ? AudioError::DeviceLost : AudioError::DeviceFailed;
        }
        return nullptr;
    }
    if (error != nullptr) {
        *error = AudioError::None;
    }
    return opened.device;
}

bool AudioSystem::OpenTarget(int target, bool quiet)
{
    Opened& opened = opened_[static_cast<std::size_t>(target)];
    const Entry& entry = outputs_[static_cast<std::size_t>(target)];
    if (null_) {
        if (nullUnplugged_.size() > static_cast<std::size_t>(target) &&
            nullUnplugged_[static_cast<std::size_t>(target)] != 0) {
            if (!quiet) {
                Log("Audio device \"" + entry.name + "\": unplugged");
            }
            return false;
        }
        auto sink = std::make_unique<NullSink>(options_, keepFrames_);
        opened.nullSink = sink.get();
        opened.device = OutputDevice::Start(entry.name, std::move(sink),
                                            timing_ == NullTiming::VirtualClock ? Pacing::Manual : Pacing::RealTime);
        return true;
    }
    AlsaOptions alsa;
    alsa.pcm = entry.pcm;
    alsa.configText = alsaConfig_;
    alsa.device = options_;
    std::string failure;
    auto sink = AlsaSink::Open(alsa, failure);
    if (!sink) {
        if (!quiet) {
            Log("Audio device \"" + entry.name + "\" (" + entry.pcm + "): " + failure);
        }
        return false;
    }
    Log("Audio device \"" + entry.name + "\" (" + entry.pcm + "): " + sink->Description() +
            (sink->TakesFramesBack() ? "" : "; it cannot take queued frames back, so sounds start behind them"),
        0);
    opened.device = OutputDevice::Start(entry.name, std::move(sink), Pacing::Device);
    return true;
}

bool AudioSystem::Reopen(int target)
{
    Opened& opened = opened_[static_cast<std::size_t>(target)];
    std::shared_ptr<OutputDevice> lost = std::move(opened.device);
    NullSink* lostSink = opened.nullSink;
    // Its loss is logged before anything said of the device opened again.
    lost->Sync();
    lost->ReleaseLostSink();
    // The loss was logged once; a device still missing is not logged again.
    if (!OpenTarget(target, true)) {
        opened.device = std::move(lost);
        opened.nullSink = lostSink;
        return false;
    }
    Log("Audio device \"" + lost->Name() + "\": opened again", 0);
    // Voices still on the lost owner keep it alive until their sounds end.
    return true;
}

void AudioSystem::CheckLostDevicesOfInstalled()
{
    if (AudioSystem* system = Existing()) {
        system->CheckLostDevices();
    }
}

void AudioSystem::CheckLostDevices()
{
    const std::int64_t now = ClockMs();
    if (lostChecked_ && now >= lastLostCheckMs_ && now - lastLostCheckMs_ < 1000) {
        return;
    }
    lostChecked_ = true;
    lastLostCheckMs_ = now;
    for (std::size_t target = 0; target < opened_.size(); ++target) {
        if (opened_[target].device && opened_[target].device->Lost()) {
            Reopen(static_cast<int>(target));
        }
    }
}

bool AudioSystem::SetNullOutputUnplugged(int index, bool unplugged)
{
    const int target = Target(index);
    if (!null_ || target < 1) {
        return false;
    }
    nullUnplugged_.resize(outputs_.size(), 0);
    nullUnplugged_[static_cast<std::size_t>(target)] = unplugged ? 1 : 0;
    NullSink* sink = opened_[static_cast<std::size_t>(target)].nullSink;
    if (unplugged && sink != nullptr) {
        sink->Unplug();
    }
    return true;
}

void AudioSystem::OpenAhead(int index)
{
    const int target = Target(index);
    if (!null_ && target >= 0 && !opened_[static_cast<std::size_t>(target)].device) {
        OpenTarget(target, false);
    }
}

std::unique_ptr<Voice> AudioSystem::OpenVoice(int index, const StreamFormat& format, AudioError* error)
{
    const std::shared_ptr<OutputDevice> device = Output(index, error);
    if (!device) {
        return nullptr;
    }
    return device->OpenVoice(format, error);
}

NullSink* AudioSystem::NullOutput(int index)
{
    if (!null_ || !Output(index)) {
        return nullptr;
    }
    return opened_[static_cast<std::size_t>(Target(index))].nullSink;
}

NullInput* AudioSystem::NullInputDevice(int index)
{
    if (!null_ || index < 0 || index >= InputCount()) {
        return nullptr;
    }
    return nullInputs_[static_cast<std::size_t>(inputs_[static_cast<std::size_t>(index)].target)].get();
}

std::unique_ptr<CaptureSource> AudioSystem::OpenCapture(int index, AudioError* error)
{
    const auto fail = [error](AudioError reason) {
        if (error != nullptr) {
            *error = reason;
        }
        return std::unique_ptr<CaptureSource>{};
    };
    if (index == -1) {
        index = 0;
    }
    if (index < 0 || index >= InputCount()) {
        return fail(AudioError::BadDevice);
    }
    if (error != nullptr) {
        *error = AudioError::None;
    }
    if (null_) {
        return std::make_unique<NullCapture>(*NullInputDevice(index));
    }
    const Entry& entry = inputs_[static_cast<std::size_t>(index)];
    AlsaOptions alsa;
    alsa.pcm = entry.pcm;
    alsa.configText = alsaConfig_;
    alsa.device = options_;
    std::string failure;
    auto capture = AlsaCapture::Open(alsa, failure);
    if (!capture) {
        Log("Audio input \"" + entry.name + "\" (" + entry.pcm + "): " + failure);
        return fail(AudioError::DeviceFailed);
    }
    return capture;
}

void AudioSystem::Sync()
{
    for (const Opened& opened : opened_) {
        if (opened.device) {
            opened.device->Sync();
        }
    }
    CheckLostDevices();
}

} // namespace platform::audio
