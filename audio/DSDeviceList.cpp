#include "audio/DSDeviceList.h"

#include "platform/AsciiCase.h"
#include "platform/ComboBox.h"
#include "platform/audio/AudioSystem.h"
#include "platform/audio/SoundDeviceEnumeration.h"
#include "platform/base/TextCodec.h"

namespace FCT_EnumDS {

namespace {

DSDeviceList list;

std::string_view TrimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

void EnumDSDevices()
{
    list.count = 0;
    platform::audio::EnumerateSoundDevices(platform::audio::AudioSystem::Current(), EnumCallback);
}

bool EnumCallback(const int* identifier, std::string_view description, std::string_view)
{
    if (list.count >= MaxDSDevices) {
        return false;
    }
    const auto index = static_cast<std::size_t>(list.count);
    list.hasIdentifier[index] = identifier != nullptr;
    list.identifiers[index] = identifier != nullptr ? *identifier : 0;
    const std::string_view beforeNul = description.substr(0, description.find('\0'));
    list.descriptions[index] = std::string(textcodec::Utf8Left(beforeNul, MaxDescriptionLength));
    ++list.count;
    return true;
}

const DSDeviceList& DeviceList()
{
    return list;
}

void FillDSDeviceCombo(platform::ComboBox& box, std::string_view savedName)
{
    box.Clear();
    for (int i = 0; i < list.count; ++i) {
        box.AddItem(list.descriptions[static_cast<std::size_t>(i)]);
    }
    const std::string wanted = platform::AsciiLower(TrimBlanks(savedName));
    for (int i = 0; i < box.ListCount(); ++i) {
        if (platform::AsciiLower(box.List(i)) == wanted) {
            box.SetListIndex(i);
            return;
        }
    }
    if (box.ListCount() > 0) {
        box.SetListIndex(0);
    }
}

std::string GetDSDeviceName(int index)
{
    return index >= 0 && index < list.count ? list.descriptions[static_cast<std::size_t>(index)] : std::string{};
}

int GetDSDeviceGUID(std::string_view name)
{
    const std::string wanted = platform::AsciiLower(name);
    for (int i = 0; i < list.count; ++i) {
        if (platform::AsciiLower(list.descriptions[static_cast<std::size_t>(i)]) == wanted) {
            return i;
        }
    }
    return -1;
}

} // namespace FCT_EnumDS
