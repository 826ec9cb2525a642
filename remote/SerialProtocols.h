#pragma once

#include "remote/SerialReceive.h"

// One parse step of each protocol; ParseSerialInput picks one by number.
namespace remote {

SerialStep ParseTextProtocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                             const SerialRemoteContext& context);
SerialStep ParseBinary1Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context);
SerialStep ParseBinary2Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context);
SerialStep ParseBinary3Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context);
SerialStep ParseBinary4Protocol(SerialReceiveState state, std::span<const std::uint8_t> received,
                                const SerialRemoteContext& context);

// Shared by the protocols.
inline bool IsDigitByte(std::uint8_t byte)
{
    return byte >= '0' && byte <= '9';
}
// An output the program has (0..numOut-1, at most MaxOutputs).
bool IsExistingOutput(int output, const SerialRemoteContext& context);
// Pages 1..20 that the program has: 1..pageNum.
bool IsExistingPage(int pageNumber, const SerialRemoteContext& context);

} // namespace remote
