#include "audio/WaveDeviceList.h"

#include "foundation/DayLog.h"
#include "foundation/Paths.h"
#include "platform/ComboBox.h"
#include "platform/MessageBox.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Numbers.h"

#include <vector>

namespace WaveMMIO {

namespace {

constexpr std::string_view notFoundText = "この名前のデバイスを検出できませんでした";

std::string TrimBlanks(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::string Comparable(std::string_view name)
{
    return TrimBlanks(basic::LowerAscii(name));
}

void RemoveAll(std::string& text, std::string_view part)
{
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) {
        text.erase(at, part.size());
    }
}

std::string Numbering(int k)
{
    return std::to_string(k) + "- ";
}

// The numbering of identical devices inside a bracket: "Speakers (2- USB Audio)".
void DropBracketNumbering(std::string& name)
{
    for (int k = 1; k <= 4; ++k) {
        if (name.find("(" + Numbering(k)) != std::string::npos) {
            RemoveAll(name, Numbering(k));
        }
    }
}

// The numbering in front of a name: "2- USB Audio".
void DropLeadingNumbering(std::string& name)
{
    if (name.size() <= 4) {
        return;
    }
    for (int k = 1; k <= 4; ++k) {
        if (name.rfind(Numbering(k), 0) == 0) {
            RemoveAll(name, Numbering(k));
        }
    }
    name = TrimBlanks(name);
}

std::vector<std::string> DeviceNames(int input)
{
    platform::audio::AudioSystem& system = platform::audio::AudioSystem::Current();
    const int count = input != 0 ? system.InputCount() : system.OutputCount();
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i) {
        names.push_back(input != 0 ? system.InputName(i) : system.OutputName(i));
    }
    return names;
}

} // namespace

void FillWaveDeviceCombo(platform::ComboBox& box, int input, std::string_view savedName, int selectFirst)
{
    box.Clear();
    const std::vector<std::string> names = DeviceNames(input);
    if (names.empty()) {
        return;
    }
    for (const std::string& name : names) {
        box.AddItem(name);
    }
    // A box chooses its first item by itself when filled; choose only as asked.
    box.SetListIndex(-1);
    const std::string saved = Comparable(savedName);
    if (saved.empty()) {
        if (selectFirst != 0) {
            box.SetListIndex(0);
        }
        return;
    }
    for (int i = 0; i < box.ListCount(); ++i) {
        if (basic::LowerAscii(box.List(i)) == saved) {
            box.SetListIndex(i);
            return;
        }
    }
    for (int i = 0; i < box.ListCount(); ++i) {
        if (DeviceNameMatches(box.List(i), saved) == 1) {
            box.SetListIndex(i);
            return;
        }
    }
    if (selectFirst != 0) {
        box.SetListIndex(0);
    }
}

std::string GetWaveDeviceName(int input, int id)
{
    platform::audio::AudioSystem& system = platform::audio::AudioSystem::Current();
    return input != 0 ? system.InputName(id) : system.OutputName(id);
}

std::int32_t GetWaveDeviceID(int input, std::string_view savedName, int showMessage)
{
    const std::string saved = Comparable(savedName);
    if (saved.empty()) {
        return 0;
    }
    if (const auto number = numeric::ParseLong(saved)) {
        return *number;
    }
    const std::vector<std::string> names = DeviceNames(input);
    if (names.empty()) {
        return 0;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (Comparable(names[i]) == saved) {
            return static_cast<std::int32_t>(i);
        }
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (DeviceNameMatches(names[i], saved) == 1) {
            return static_cast<std::int32_t>(i);
        }
    }
    if (showMessage == 1) {
        platform::MessageBoxRequest request;
        request.text = std::string(notFoundText) + "\n" + std::string(savedName);
        request.title = App::Title;
        request.style = platform::BoxOk + platform::IconStop;
        platform::ShowMessageBox(request);
    }
    basic::WriteLog(std::string(notFoundText) + " " + std::string(savedName), 0, 0);
    return -1;
}

int DeviceNameMatches(std::string_view a, std::string_view b)
{
    std::string first = basic::LowerAscii(a);
    std::string second = basic::LowerAscii(b);
    DropBracketNumbering(first);
    DropBracketNumbering(second);
    if (first == second) {
        return 1;
    }
    DropLeadingNumbering(first);
    DropLeadingNumbering(second);
    return first == second ? 1 : 0;
}

int CheckWaveError(std::int32_t code, int output, int log)
{
    if (code == 0) {
        return 0;
    }
    // Input and output share one set of result codes and texts.
    (void)output;
    const std::string text(platform::audio::ErrorText(static_cast<platform::audio::AudioError>(code)));
    if (log != 0) {
        basic::WriteLog(text, 1, 0);
    } else {
        platform::MessageBoxRequest request;
        request.text = text;
        request.title = App::Title;
        platform::ShowMessageBox(request);
    }
    return 1;
}

} // namespace WaveMMIO
