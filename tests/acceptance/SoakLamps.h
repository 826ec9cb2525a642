#pragma once

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <vector>

namespace acceptance {

// The lamps of a protocol-1 port set to "All", as its box shows them: four
// characters per command, "B" lights lamp NNN and "C" puts it out.
class TextLampPanel {
public:
    void Receive(std::span<const std::uint8_t> bytes);
    // 1 lit, 0 out, -1 never sent.
    int Lamp(int number) const;

private:
    std::string pending_;
    std::map<int, int> lamps_;
};

// The lamps of a one-output USB box: code c lights, c + 100 puts out; the
// later of the two counts.
class HidLampPanel {
public:
    void Receive(const std::vector<std::vector<std::uint8_t>>& written);
    // 1 lit, 0 out, -1 never sent.
    int Lamp(int code) const;

private:
    std::size_t seen_ = 0;
    std::map<int, int> lamps_; // code -> index of its last report
};

} // namespace acceptance
