#include "platform/HidReportLayout.h"

#include <algorithm>
#include <map>
#include <vector>

namespace platform {

namespace {

// Item types and tags of the short items that matter for report sizes.
constexpr unsigned TypeMain = 0;
constexpr unsigned TypeGlobal = 1;
constexpr unsigned TagInput = 0x8;
constexpr unsigned TagOutput = 0x9;
constexpr unsigned TagReportSize = 0x7;
constexpr unsigned TagReportId = 0x8;
constexpr unsigned TagReportCount = 0x9;
constexpr unsigned TagPush = 0xA;
constexpr unsigned TagPop = 0xB;
constexpr std::uint8_t LongItemPrefix = 0xFE;

// No report of a real device comes near this; it keeps sums from overflowing.
constexpr std::uint64_t MaxReportBits = 8u * 65536u;

struct Globals {
    std::uint64_t reportSize = 0;
    std::uint64_t reportCount = 0;
    unsigned reportId = 0;
};

std::size_t BytesWithId(const std::map<unsigned, std::uint64_t>& bitsById)
{
    std::uint64_t longest = 0;
    for (const auto& [id, bits] : bitsById) {
        longest = std::max(longest, bits);
    }
    return bitsById.empty() ? 0 : static_cast<std::size_t>((longest + 7) / 8 + 1);
}

} // namespace

std::optional<HidReportLayout> ParseHidReportDescriptor(std::span<const std::uint8_t> descriptor)
{
    Globals globals;
    std::vector<Globals> stack;
    std::map<unsigned, std::uint64_t> inputBits;
    std::map<unsigned, std::uint64_t> outputBits;
    bool numbered = false;

    std::size_t at = 0;
    while (at < descriptor.size()) {
        const std::uint8_t prefix = descriptor[at];
        if (prefix == LongItemPrefix) {
            if (at + 1 >= descriptor.size()) {
                return std::nullopt;
            }
            at += 3 + std::size_t{descriptor[at + 1]};
            if (at > descriptor.size()) {
                return std::nullopt;
            }
            continue;
        }
        const std::size_t size = (prefix & 3u) == 3u ? 4 : (prefix & 3u);
        const unsigned type = (prefix >> 2) & 3u;
        const unsigned tag = prefix >> 4;
        if (at + 1 + size > descriptor.size()) {
            return std::nullopt;
        }
        std::uint32_t data = 0;
        for (std::size_t i = 0; i < size; ++i) {
            data |= std::uint32_t{descriptor[at + 1 + i]} << (8 * i);
        }
        at += 1 + size;

        if (type == TypeGlobal) {
            switch (tag) {
            case TagReportSize:
                globals.reportSize = data;
                break;
            case TagReportCount:
                globals.reportCount = data;
                break;
            case TagReportId:
                globals.reportId = data;
                numbered = true;
                break;
            case TagPush:
                stack.push_back(globals);
                break;
            case TagPop:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        } else if (type == TypeMain && (tag == TagInput || tag == TagOutput)) {
            if (globals.reportSize > MaxReportBits || globals.reportCount > MaxReportBits) {
                return std::nullopt;
            }
            auto& table = tag == TagInput ? inputBits : outputBits;
            std::uint64_t& total = table[globals.reportId];
            total += globals.reportSize * globals.reportCount;
            if (total > MaxReportBits) {
                return std::nullopt;
            }
        }
    }

    HidReportLayout layout;
    layout.inputLength = BytesWithId(inputBits);
    layout.outputLength = BytesWithId(outputBits);
    layout.numberedReports = numbered;
    return layout;
}

} // namespace platform
