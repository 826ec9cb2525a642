#pragma once

#include "platform/audio/MciDevice.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The Media Control Interface of the program: devices opened by identifier
// and commanded by it, each command answering 0 for success or an error code.
// Identifiers count up from 1 for the life of the process and are never
// given again. All of it belongs to the program's thread.
namespace platform::audio::mci {

enum Result : int {
    Ok = 0,
    InvalidDeviceId = 257,
    UnsupportedFunction = 274,
    FileNotFound = 275,
    OutOfRange = 282,
    CannotLoadDriver = 266,
    CannotSave = 286,
    DeviceNotReady = 276,
};

enum class StatusItem { Length = 1, Position = 2, Mode = 4 };

// Opens a device for a sound file on output device 0; the identifier, or 0
// with the reason in result.
int OpenFile(std::string_view path, int* result = nullptr);
// Opens a device for a new, empty recording from input device 0.
int OpenRecording(int* result = nullptr);
int Close(int id);

// DeviceNotReady while the output device it plays on is lost (unplugged).
int Play(int id, std::optional<std::int64_t> fromMs, std::optional<std::int64_t> toMs);
int Pause(int id);
int Stop(int id);
int Status(int id, StatusItem item, std::int64_t& value);
int SetWaveOutput(int id, int device);
int SetWaveInput(int id, int device);
int SetWaveFormat(int id, int channels, int rate, int bytesPerSecond, int blockAlign, int bits);
int Record(int id);
int Save(int id, const std::string& path);

// The device itself (tests), null for an identifier not open.
MciDevice* Device(int id);
// Devices open now.
int OpenCount();

} // namespace platform::audio::mci
