#include "remote/C_Com.h"

#include "platform/ComPortNames.h"
#include "platform/base/Hooks.h"
#include "platform/base/LogSink.h"
#include "platform/base/TextCodec.h"

#include <algorithm>
#include <vector>

namespace {

// The code of the UTF-8 character at the start of text (a stray byte stands
// for itself) and its length in bytes.
std::pair<std::uint32_t, std::size_t> FirstCharacter(std::string_view text)
{
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = textcodec::Utf8CharLength(lead);
    if (length < 2 || length > text.size() || !textcodec::IsValidUtf8(text.substr(0, length))) {
        return {lead, 1};
    }
    std::uint32_t code = lead & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        code = (code << 6) | (static_cast<unsigned char>(text[i]) & 0x3Fu);
    }
    return {code, length};
}

} // namespace

int C_Com::OpenComm()
{
    port_.Close();
    ForgetReadAhead();
    const std::optional<std::string> device = platform::ComDevicePath(ComPort);
    if (!device) {
        platform::Log("OpenComm: no serial device is named \"" + ComPort + "\"");
        return 0;
    }
    const platform::SerialLineSettings settings{BaudRate, ParityBit, StopBit};
    return port_.Open(ComPort, *device, settings) ? 1 : 0;
}

void C_Com::CloseComm()
{
    port_.Close();
    ForgetReadAhead();
}

void C_Com::SendText(std::string_view text)
{
    if (text.empty() || !port_.IsOpen()) {
        return;
    }
    std::vector<std::uint8_t> bytes;
    bytes.reserve(text.size());
    while (!text.empty()) {
        const auto [code, length] = FirstCharacter(text);
        bytes.push_back(static_cast<std::uint8_t>(code & 0xFFu));
        text.remove_prefix(length);
    }
    port_.Write(bytes);
}

void C_Com::SendDataB(std::span<const std::uint8_t> bytes, int count)
{
    if (count <= 0) {
        return;
    }
    port_.Write(bytes.first(std::min(bytes.size(), static_cast<std::size_t>(count))));
}

void C_Com::SendDatalp(std::span<const std::uint8_t> bytes)
{
    port_.Write(bytes);
}

// One read never takes more than the driver gives in one call, whatever
// DataSize says.
std::size_t C_Com::ReadSize() const
{
    return DataSize > 0 ? std::min(static_cast<std::size_t>(DataSize), ReadAheadSize) : 0;
}

std::size_t C_Com::Take(std::span<std::uint8_t> into)
{
    std::size_t given = 0;
    while (given < into.size()) {
        if (aheadFrom_ == aheadTo_) {
            aheadFrom_ = 0;
            aheadTo_ = port_.Read(ahead_);
            if (aheadTo_ == 0) {
                break;
            }
        }
        const std::size_t count = std::min(into.size() - given, aheadTo_ - aheadFrom_);
        std::copy_n(ahead_.begin() + static_cast<std::ptrdiff_t>(aheadFrom_), count,
                    into.begin() + static_cast<std::ptrdiff_t>(given));
        aheadFrom_ += count;
        given += count;
    }
    return given;
}

void C_Com::ForgetReadAhead()
{
    aheadFrom_ = 0;
    aheadTo_ = 0;
}

std::string C_Com::RecvData()
{
    if (!port_.IsOpen()) {
        return {};
    }
    platform::Pump();
    // Bytes read ahead may leave the driver untouched: the output queue moves
    // on with every poll all the same.
    port_.Drain();
    std::string text(ReadSize(), '\0');
    const std::size_t count = Take(std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    text.resize(count);
    return text;
}

int C_Com::RecvDataB(std::span<std::uint8_t> bytes)
{
    platform::Pump();
    port_.Drain();
    return RecvMoreB(bytes);
}

int C_Com::RecvMoreB(std::span<std::uint8_t> bytes)
{
    if (bytes.empty()) {
        return 0;
    }
    const std::size_t room = std::min(ReadSize(), bytes.size() - 1);
    const std::size_t count = Take(bytes.subspan(1, room));
    if (count < 256) {
        bytes[0] = static_cast<std::uint8_t>(count);
    }
    return static_cast<int>(count);
}
