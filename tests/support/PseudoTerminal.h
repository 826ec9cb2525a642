#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace testsupport {

// A pseudo-terminal pair standing in for a serial line: the program opens the
// near end by its path, the test plays the remote box on the far end. Waits
// are bounded poll() calls, never sleeps.
class PseudoTerminal {
public:
    static constexpr int WaitMs = 5000;

    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The device path of the near end (/dev/pts/N).
    const std::string& PortPath() const { return portPath_; }
    int FarEnd() const { return farEnd_; }

    // Writes every byte from the far end.
    void Send(std::span<const std::uint8_t> bytes) const;
    void Send(const std::string& text) const;
    // Reads count bytes at the far end, waiting for each piece at most
    // WaitMs; returns fewer only when nothing more came in time.
    std::vector<std::uint8_t> Receive(std::size_t count) const;
    // Reads whatever the far end holds now, without waiting.
    std::vector<std::uint8_t> ReceiveWaiting() const;

private:
    int farEnd_ = -1;
    std::string portPath_;
};

// True when fd becomes readable within timeoutMs.
bool WaitReadable(int fd, int timeoutMs = PseudoTerminal::WaitMs);

} // namespace testsupport
