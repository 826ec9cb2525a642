#include "platform/IcmpEcho.h"

#include "platform/PumpingWait.h"
#include "platform/SocketHandle.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <poll.h>
#include <span>
#include <sys/socket.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::uint8_t EchoReply = 0;
constexpr std::uint8_t DestinationUnreachable = 3;
constexpr std::uint8_t EchoRequest = 8;
constexpr std::size_t IcmpHeaderSize = 8;
constexpr std::size_t MinIpHeaderSize = 20;

// Every request of the process has its own sequence number, so a late reply
// to an earlier request is never taken for the answer to this one.
std::atomic<std::uint16_t> nextSequence{1};

enum class SocketKind { Datagram, Raw };

struct EchoIds {
    std::uint16_t identifier;
    std::uint16_t sequence;
};

std::uint16_t Read16(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void Write16(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value >> 8);
    bytes[at + 1] = static_cast<std::uint8_t>(value);
}

// The Internet checksum: the ones' complement of the ones' complement sum of
// the 16-bit words.
std::uint16_t Checksum(std::span<const std::uint8_t> bytes)
{
    std::uint32_t sum = 0;
    for (std::size_t at = 0; at + 1 < bytes.size(); at += 2) {
        sum += Read16(bytes, at);
    }
    if (bytes.size() % 2 != 0) {
        sum += static_cast<std::uint32_t>(bytes.back()) << 8;
    }
    while ((sum >> 16) != 0) {
        sum = (sum & 0xFFFF) + (sum >> 16);
    }
    return static_cast<std::uint16_t>(~sum);
}

std::array<std::uint8_t, IcmpHeaderSize> EchoRequestPacket(const EchoIds& ids)
{
    std::array<std::uint8_t, IcmpHeaderSize> packet{};
    packet[0] = EchoRequest;
    Write16(packet, 4, ids.identifier);
    Write16(packet, 6, ids.sequence);
    Write16(packet, 2, Checksum(packet));
    return packet;
}

bool IsPermissionError(int error)
{
    return error == EPERM || error == EACCES || error == EPROTONOSUPPORT || error == ESOCKTNOSUPPORT ||
           error == EAFNOSUPPORT;
}

enum class Verdict { Ours, Unreachable, Other };

// A datagram socket delivers the ICMP message alone, and only replies to its
// own identifier (the kernel filters them).
Verdict JudgeDatagram(std::span<const std::uint8_t> message, const EchoIds& ids)
{
    if (message.size() < IcmpHeaderSize) {
        return Verdict::Other;
    }
    return message[0] == EchoReply && Read16(message, 6) == ids.sequence ? Verdict::Ours : Verdict::Other;
}

// A raw socket delivers every ICMP message of the machine with its IP header:
// our own request on the loopback, other programs' replies, errors.
Verdict JudgeRaw(std::span<const std::uint8_t> packet, const EchoIds& ids)
{
    if (packet.size() < MinIpHeaderSize) {
        return Verdict::Other;
    }
    const std::size_t ipHeader = static_cast<std::size_t>(packet[0] & 0x0F) * 4;
    if (ipHeader < MinIpHeaderSize || packet.size() < ipHeader + IcmpHeaderSize) {
        return Verdict::Other;
    }
    const std::span<const std::uint8_t> icmp = packet.subspan(ipHeader);
    if (icmp[0] == EchoReply) {
        return Read16(icmp, 4) == ids.identifier && Read16(icmp, 6) == ids.sequence ? Verdict::Ours : Verdict::Other;
    }
    if (icmp[0] != DestinationUnreachable || icmp.size() < IcmpHeaderSize + MinIpHeaderSize) {
        return Verdict::Other;
    }
    // The error quotes the IP header and the first 8 bytes of our request.
    const std::span<const std::uint8_t> quoted = icmp.subspan(IcmpHeaderSize);
    const std::size_t quotedHeader = static_cast<std::size_t>(quoted[0] & 0x0F) * 4;
    if (quotedHeader < MinIpHeaderSize || quoted.size() < quotedHeader + IcmpHeaderSize) {
        return Verdict::Other;
    }
    const std::span<const std::uint8_t> request = quoted.subspan(quotedHeader);
    const bool ours =
        request[0] == EchoRequest && Read16(request, 4) == ids.identifier && Read16(request, 6) == ids.sequence;
    return ours ? Verdict::Unreachable : Verdict::Other;
}

ProbeOutcome Exchange(const SocketHandle& socket, SocketKind kind, const Ipv4Address& address, int timeoutMs)
{
    const EchoIds ids{static_cast<std::uint16_t>(getpid()), nextSequence.fetch_add(1)};
    const auto request = EchoRequestPacket(ids);
    const sockaddr_in target = SocketAddressOf(address, 0);
    if (sendto(socket.Get(), request.data(), request.size(), 0, reinterpret_cast<const sockaddr*>(&target),
               sizeof target) < 0) {
        return ProbeOutcome::NoAnswer; // no route, unreachable, a broadcast address
    }
    const SteadyTime deadline = DeadlineAfter(timeoutMs);
    std::array<std::uint8_t, 1500> received{};
    while (true) {
        const int events = PollPumping(socket.Get(), POLLIN, deadline);
        if (events <= 0) {
            return ProbeOutcome::NoAnswer;
        }
        sockaddr_in from{};
        socklen_t fromSize = sizeof from;
        const ssize_t size =
            recvfrom(socket.Get(), received.data(), received.size(), 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) {
                continue;
            }
            return ProbeOutcome::NoAnswer; // a datagram socket reports "unreachable" here
        }
        const std::span<const std::uint8_t> message(received.data(), static_cast<std::size_t>(size));
        const Verdict verdict = kind == SocketKind::Datagram ? JudgeDatagram(message, ids) : JudgeRaw(message, ids);
        if (verdict == Verdict::Unreachable) {
            return ProbeOutcome::NoAnswer;
        }
        if (verdict == Verdict::Ours && from.sin_addr.s_addr == target.sin_addr.s_addr) {
            return ProbeOutcome::Answered;
        }
    }
}

} // namespace

ProbeOutcome IcmpEcho(const SocketOpener& open, const Ipv4Address& address, int timeoutMs)
{
    constexpr int flags = SOCK_NONBLOCK | SOCK_CLOEXEC;
    bool permitted = false;
    for (const SocketKind kind : {SocketKind::Datagram, SocketKind::Raw}) {
        const SocketHandle socket(
            open(AF_INET, (kind == SocketKind::Datagram ? SOCK_DGRAM : SOCK_RAW) | flags, IPPROTO_ICMP));
        if (socket.IsOpen()) {
            return Exchange(socket, kind, address, timeoutMs);
        }
        permitted = permitted || !IsPermissionError(errno);
    }
    // A socket refused for want of descriptors or memory is a failure, not a
    // prohibition: another way of asking would fail alike.
    return permitted ? ProbeOutcome::NoAnswer : ProbeOutcome::NotPermitted;
}

} // namespace platform
