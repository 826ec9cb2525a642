#include "platform/audio/MciCommands.h"

#include "platform/base/LogSink.h"

#include <map>
#include <memory>
#include <sys/stat.h>

namespace platform::audio::mci {

namespace {

struct Devices {
    std::map<int, std::unique_ptr<MciDevice>> open;
    int last = 0;
};

Devices& Table()
{
    static Devices devices;
    return devices;
}

int Add(std::unique_ptr<MciDevice> device)
{
    Devices& table = Table();
    const int id = ++table.last;
    table.open.emplace(id, std::move(device));
    return id;
}

int Report(int* result, int value)
{
    if (result != nullptr) {
        *result = value;
    }
    return 0;
}

} // namespace

MciDevice* Device(int id)
{
    const auto found = Table().open.find(id);
    return found != Table().open.end() ? found->second.get() : nullptr;
}

int OpenCount()
{
    return static_cast<int>(Table().open.size());
}

int OpenFile(std::string_view path, int* result)
{
    struct stat status {};
    if (path.empty() || stat(std::string(path).c_str(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return Report(result, FileNotFound);
    }
    std::string error;
    std::unique_ptr<MciDevice> device = MciDevice::ForFile(path, 0, error);
    if (!device) {
        Log("MCI: " + std::string(path) + " does not open: " + error, 0);
        return Report(result, CannotLoadDriver);
    }
    if (result != nullptr) {
        *result = Ok;
    }
    return Add(std::move(device));
}

int OpenRecording(int* result)
{
    if (result != nullptr) {
        *result = Ok;
    }
    return Add(MciDevice::ForRecording(0));
}

int Close(int id)
{
    return Table().open.erase(id) > 0 ? Ok : InvalidDeviceId;
}

int Play(int id, std::optional<std::int64_t> fromMs, std::optional<std::int64_t> toMs)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    if (device->IsRecorder()) {
        return UnsupportedFunction;
    }
    if (device->Play(fromMs, toMs)) {
        return Ok;
    }
    return device->OutputLost() ? DeviceNotReady : OutOfRange;
}

int Pause(int id)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    return device->Pause() ? Ok : UnsupportedFunction;
}

int Stop(int id)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    return device->Stop() ? Ok : DeviceNotReady;
}

int Status(int id, StatusItem item, std::int64_t& value)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    switch (item) {
    case StatusItem::Length:
        value = device->LengthMs();
        break;
    case StatusItem::Position:
        value = device->PositionMs();
        break;
    case StatusItem::Mode:
        value = static_cast<std::int64_t>(device->Mode());
        break;
    }
    return Ok;
}

int SetWaveOutput(int id, int device)
{
    MciDevice* found = Device(id);
    if (found == nullptr) {
        return InvalidDeviceId;
    }
    return found->SetOutputDevice(device) ? Ok : OutOfRange;
}

int SetWaveInput(int id, int device)
{
    MciDevice* found = Device(id);
    if (found == nullptr) {
        return InvalidDeviceId;
    }
    return found->SetInputDevice(device) ? Ok : OutOfRange;
}

int SetWaveFormat(int id, int channels, int rate, int bytesPerSecond, int blockAlign, int bits)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    return device->SetRecordFormat(channels, rate, bytesPerSecond, blockAlign, bits) ? Ok : OutOfRange;
}

int Record(int id)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    if (!device->IsRecorder()) {
        return UnsupportedFunction;
    }
    return device->Record() ? Ok : CannotLoadDriver;
}

int Save(int id, const std::string& path)
{
    MciDevice* device = Device(id);
    if (device == nullptr) {
        return InvalidDeviceId;
    }
    std::string error;
    return device->Save(path, error) ? Ok : CannotSave;
}

} // namespace platform::audio::mci
