#include "platform/audio/DeviceNaming.h"

#include "platform/base/TextCodec.h"

#include <map>

namespace platform::audio {

namespace {

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::string Cut(std::string_view text)
{
    return std::string(Trim(textcodec::Utf8Left(Trim(text), MaxDeviceNameLength)));
}

} // namespace

std::string DeviceNameFromDescription(std::string_view description)
{
    return Cut(description.substr(0, description.find('\n')));
}

std::vector<std::string> NumberAlikeNames(const std::vector<std::string>& names)
{
    std::vector<std::string> numbered;
    numbered.reserve(names.size());
    std::map<std::string, int> seen;
    for (const std::string& name : names) {
        const int count = ++seen[name];
        numbered.push_back(count == 1 ? name : Cut(std::to_string(count) + "- " + name));
    }
    return numbered;
}

} // namespace platform::audio
