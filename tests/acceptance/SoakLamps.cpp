#include "SoakLamps.h"

#include <cctype>

namespace acceptance {

void TextLampPanel::Receive(std::span<const std::uint8_t> bytes)
{
    pending_.append(bytes.begin(), bytes.end());
    std::size_t at = 0;
    while (pending_.size() - at >= 4) {
        const char letter = pending_[at];
        const std::string digits = pending_.substr(at + 1, 3);
        const bool number = std::isdigit(static_cast<unsigned char>(digits[0])) != 0 &&
                            std::isdigit(static_cast<unsigned char>(digits[1])) != 0 &&
                            std::isdigit(static_cast<unsigned char>(digits[2])) != 0;
        if ((letter == 'B' || letter == 'C') && number) {
            lamps_[std::stoi(digits)] = letter == 'B' ? 1 : 0;
            at += 4;
        } else {
            ++at; // out of step: find the next command
        }
    }
    pending_.erase(0, at);
}

int TextLampPanel::Lamp(int number) const
{
    const auto found = lamps_.find(number);
    return found == lamps_.end() ? -1 : found->second;
}

void HidLampPanel::Receive(const std::vector<std::vector<std::uint8_t>>& written)
{
    for (; seen_ < written.size(); ++seen_) {
        const auto& report = written[seen_];
        if (report.size() >= 3 && report[1] != 0 && report[1] != 255) {
            lamps_[report[1]] = static_cast<int>(seen_); // not an inquiry
        }
    }
}

int HidLampPanel::Lamp(int code) const
{
    const auto on = lamps_.find(code);
    const auto off = lamps_.find(code + 100);
    if (on == lamps_.end() && off == lamps_.end()) {
        return -1;
    }
    if (off == lamps_.end()) {
        return 1;
    }
    return on != lamps_.end() && on->second > off->second ? 1 : 0;
}

} // namespace acceptance
