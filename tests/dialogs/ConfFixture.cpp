#include "ConfFixture.h"

#include "audio/DSDeviceList.h"
#include "foundation/ColumnNames.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Registry.h"
#include "foundation/SessionValues.h"
#include "foundation/SharedConf.h"
#include "platform/audio/AudioSystem.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace conftest {

namespace fs = std::filesystem;
using namespace platform::audio;

ConfFixture::ConfFixture()
{
    basic::SetAppPath(program.Path());
    basic::SettingsIniPath.clear();
    RunAsSession(0);
    basic::LangMode = 0;
    parms::PlayerType = 3;
    parms::ConfigConfirmed = 0;
    FCT_Quind::NumRef = 0;
    FCT_Quind::RefNames.clear();
    FCT_Quind::InitDefaultColumnNames();
    AudioSystem::Install(AudioSystem::WithNullDevices(4, NullTiming::VirtualClock, {}, 1));
    FCT_EnumDS::EnumDSDevices();
}

ConfFixture::~ConfFixture()
{
    dialog.reset();
    AudioSystem::Install(nullptr);
    FCT_EnumDS::EnumDSDevices();
    basic::SetAppPath("");
    basic::SettingsStoreName.clear();
    basic::SessionIndex = 0;
    basic::LangMode = 0;
    FCT_Quind::NumRef = 0;
    FCT_Quind::RefNames.clear();
}

void ConfFixture::RunAsSession(int index)
{
    basic::SessionIndex = index;
    basic::SettingsStoreName = index == 0 ? "tolv" : std::string("tolv") + static_cast<char>('A' + index);
}

void ConfFixture::Store(const std::string& key, const std::string& value, const std::string& section)
{
    basic::RegWrite(key, value, section);
}

std::string ConfFixture::Stored(const std::string& key, const std::string& section)
{
    return basic::RegRead(key, "(missing)", section);
}

std::map<std::string, std::string> ConfFixture::StoreFiles() const
{
    std::map<std::string, std::string> files;
    const fs::path root = registry.ConfigHome();
    std::error_code error;
    if (!fs::exists(root, error)) {
        return files;
    }
    for (const auto& entry : fs::recursive_directory_iterator(root, error)) {
        if (entry.is_regular_file()) {
            files[entry.path().string()] = testsupport::ReadText(entry.path().string());
        }
    }
    return files;
}

std::map<std::string, std::string> ConfFixture::Section(const std::string& section)
{
    std::map<std::string, std::string> keys;
    for (const auto& [path, text] : StoreFiles()) {
        if (fs::path(path).stem().string() != section) {
            continue;
        }
        std::istringstream lines(text);
        std::string line;
        while (std::getline(lines, line)) {
            const std::size_t equals = line.find('=');
            if (equals != std::string::npos && line.front() != '[') {
                const std::string key = line.substr(0, equals);
                keys[key] = Stored(key, section);
            }
        }
    }
    return keys;
}

FrmConf& ConfFixture::Open()
{
    dialog = std::make_unique<FrmConf>(nullptr);
    dialog->Form_Load();
    dialog->Timer1_Timer();
    return *dialog;
}

} // namespace conftest
