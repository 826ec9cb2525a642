#pragma once

#include "remote/SerialReceive.h"

#include <array>
#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

// A small stand-in for the program behind the serial protocols: the values
// they read, what their actions do to those values (a page select shows that
// page, so the list view then holds that page's rows), and a record of every
// action carried out, answers included.
namespace remotetest {

using Bytes = std::vector<std::uint8_t>;

inline Bytes B(std::initializer_list<int> values)
{
    Bytes bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}
inline Bytes T(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}
inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline remote::SerialAction Cmd(int output, int code)
{
    return remote::RemoteCommand{output, code};
}
inline remote::SerialAction Contact(int number)
{
    return remote::ContactClosure{number};
}
inline remote::SerialAction Cue(int output, int row)
{
    return remote::ListRowCue{output, row};
}
inline remote::SerialAction Ack(int output)
{
    return remote::PortAnswer{{0x02, 0x06, static_cast<std::uint8_t>(0x30 + output), 0x03}};
}
inline remote::SerialAction Ok()
{
    return remote::PortAnswer{T("OK\r\n")};
}
inline remote::SerialAction Ng()
{
    return remote::PortAnswer{T("NG\r\n")};
}
using Actions = std::vector<remote::SerialAction>;

struct RemoteModel {
    RemoteModel()
    {
        context.numOut = 4;
        context.pageNum = 10;
        context.buttonsPerPage = {8, 8, 8, 8};
    }

    remote::SerialRemoteContext Read() const
    {
        remote::SerialRemoteContext now = context;
        for (std::size_t output = 0; output < now.listItemCount.size(); ++output) {
            now.listItemCount[output] = listRows[output][static_cast<std::size_t>(now.currentPage[output])];
        }
        return now;
    }

    void CarryOut(const remote::SerialAction& action)
    {
        done.push_back(action);
        if (const auto* command = std::get_if<remote::RemoteCommand>(&action)) {
            const int page = command->code - 201;
            if (page >= 0 && page < 20 && page < context.pageNum) {
                context.currentPage[static_cast<std::size_t>(command->output)] = page;
            }
        }
        if (const auto* answer = std::get_if<remote::PortAnswer>(&action); answer != nullptr && answered) {
            answered(answer->bytes);
        }
    }

    // One poll's bytes.
    bool Feed(int protocol, const Bytes& bytes)
    {
        return remote::FeedSerialInput(
                   protocol, state, bytes, [this] { return Read(); },
                   [this](const remote::SerialAction& action) { CarryOut(action); }) > 0;
    }

    remote::SerialRemoteContext context;
    // Rows of each output's list on each page.
    std::array<std::array<int, 20>, remote::MaxOutputs> listRows{};
    remote::SerialReceiveState state;
    Actions done;
    std::function<void(const Bytes&)> answered;
};

} // namespace remotetest

namespace remote {

inline void PrintTo(const RemoteCommand& command, std::ostream* out)
{
    *out << "Cmd(" << command.output << ", " << command.code << ")";
}
inline void PrintTo(const ContactClosure& contact, std::ostream* out)
{
    *out << "Contact(" << contact.number << ")";
}
inline void PrintTo(const ListRowCue& cue, std::ostream* out)
{
    *out << "Cue(" << cue.output << ", " << cue.row << ")";
}
inline void PrintTo(const PortAnswer& answer, std::ostream* out)
{
    *out << "Answer(";
    for (const std::uint8_t byte : answer.bytes) {
        *out << ' ' << std::hex << static_cast<int>(byte) << std::dec;
    }
    *out << " )";
}

} // namespace remote
