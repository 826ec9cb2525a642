#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <variant>
#include <vector>

// The five receive protocols of the remote serial ports, as parsers of bytes
// into the commands they ask for. They hold no program state: the caller
// passes the few values they read and carries out what they return.
namespace remote {

// The protocol of a port (setting ComMode_<n>).
inline constexpr int ProtocolText = 1;
inline constexpr int ProtocolBinary1 = 2;
inline constexpr int ProtocolBinary2 = 3;
inline constexpr int ProtocolBinary3 = 4;
inline constexpr int ProtocolBinary4 = 5;

inline constexpr int MaxOutputs = 4;

// Bytes per read (C_Com::DataSize) and parity of a protocol's port: 4, 1, 3,
// 6 (even parity) and 8; 0 and no parity for any other protocol.
int SerialReadSize(int protocol);
int SerialParity(int protocol);

// The program state the protocols read, taken fresh before every parse step.
struct SerialRemoteContext {
    // The port's output setting ComCh_<n>: 0..3 output 1..4; 4 "All"
    // (protocol 3) or contact mode (protocols 1 and 2); 5..7 "All+" 1..3;
    // 8..10 "All-" 1..3.
    int outputSetting = 0;
    int numOut = 1;
    int pageNum = 10;
    // Per output 0..MaxOutputs-1:
    std::array<int, MaxOutputs> buttonsPerPage{};
    std::array<int, MaxOutputs> currentPage{};
    std::array<bool, MaxOutputs> isList{};
    // Rows of the output's list view now (ItemCount).
    std::array<int, MaxOutputs> listItemCount{};
};

// ExecRemoteCommand (output, code, -1).
struct RemoteCommand {
    int output = 0;
    int code = 0;
    bool operator==(const RemoteCommand&) const = default;
};
// ContactInput (number).
struct ContactClosure {
    int number = 0;
    bool operator==(const ContactClosure&) const = default;
};
// On the output's list view: UnSelectAll, SetSelectedItem (row), ShowSelected.
struct ListRowCue {
    int output = 0;
    int row = 0;
    bool operator==(const ListRowCue&) const = default;
};
// Bytes to send back on the receiving port (SendDataB).
struct PortAnswer {
    std::vector<std::uint8_t> bytes;
    bool operator==(const PortAnswer&) const = default;
};
using SerialAction = std::variant<RemoteCommand, ContactClosure, ListRowCue, PortAnswer>;

// A "D" or "Q" frame of protocol 4 whose page has just been selected: the
// next step finishes it with the state that page select left.
struct PendingButtonFrame {
    int output = 0;
    int code = 0;
    bool listCue = false;
    bool operator==(const PendingButtonFrame&) const = default;
};

// What a channel keeps between polls (its receive buffer). The buffer holds
// the received bytes themselves, whatever the protocol; after a finished parse it holds only the start of a command
// that may still complete: at most 3 bytes (protocol 1), 2 (protocol 3), 5 (protocol 4) or 7 (protocol 5). Protocol 2
// keeps nothing.
struct SerialReceiveState {
    std::vector<std::uint8_t> buffer;
    std::optional<PendingButtonFrame> pending;
    bool operator==(const SerialReceiveState&) const = default;
};

struct SerialStep {
    // In the order to carry them out.
    std::vector<SerialAction> actions;
    SerialReceiveState state;
    // Call again (with no new bytes and a fresh context) once the actions are
    // carried out: protocol 4 stops after every frame that acts, so the next
    // frame reads the page and list its predecessor left.
    bool more = false;
};

// One parse step: appends the received bytes to the channel's state and cuts
// out what the protocol makes of them. An unknown protocol does nothing.
SerialStep ParseSerialInput(int protocol, SerialReceiveState state, std::span<const std::uint8_t> received,
                            const SerialRemoteContext& context);

// One read's bytes through the protocol: every step's actions are carried out
// before the next step reads the context again; state is updated before the
// actions run. Returns how many commands and contact inputs were carried out.
int FeedSerialInput(int protocol, SerialReceiveState& state, std::span<const std::uint8_t> received,
                    const std::function<SerialRemoteContext()>& readContext,
                    const std::function<void(const SerialAction&)>& carryOut);

} // namespace remote
