#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Random access to a sound file for the header readers. Opens the file itself
// when no handle is given and then closes it on every path; a caller's handle
// stays open. Every read is checked against the file size taken at the start,
// so a size or offset read from a damaged file can never make a reader touch
// bytes the file does not hold. Small reads come from a block kept in memory,
// so walking many small chunks costs few system calls.
namespace audiofile {

class SoundFileSource {
public:
    SoundFileSource(std::string_view fileName, int handle);
    ~SoundFileSource();
    SoundFileSource(const SoundFileSource&) = delete;
    SoundFileSource& operator=(const SoundFileSource&) = delete;

    bool IsOpen() const { return handle_ != 0; }
    // The name the source was made for (what log lines name).
    const std::string& Name() const { return name_; }
    // Size of the file in bytes, -1 when unknown (also when not open).
    std::int64_t Size() const { return size_; }
    // Fills out from position; false (out untouched or partly filled) when any
    // byte lies outside the file or the read fails.
    bool ReadAt(std::int64_t position, std::span<std::uint8_t> out);
    // Closes a handle opened here early (before another component opens the
    // file); a caller's handle is left alone.
    void Close();

private:
    static constexpr std::size_t BlockSize = 4096;

    bool ReadDirect(std::int64_t position, std::span<std::uint8_t> out);

    std::string name_;
    int handle_ = 0;
    bool ownsHandle_ = false;
    std::int64_t size_ = -1;
    std::array<std::uint8_t, BlockSize> block_{};
    std::int64_t blockStart_ = 0;
    std::size_t blockLength_ = 0;
};

// Little-endian fields of a byte buffer.
std::uint32_t ReadU32(std::span<const std::uint8_t> bytes, std::size_t at);
std::uint16_t ReadU16(std::span<const std::uint8_t> bytes, std::size_t at);
// A four-character code as RIFF stores it.
std::uint32_t FourCC(std::string_view id);

} // namespace audiofile
