#pragma once

#include "foundation/ServerFolders.h"
#include "foundation/SharedConf.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

// A test with its own server folder ("srv/", keeping tips), cache folder
// ("cache/") and a second server that does not keep tips ("quiet/"), three
// references and sixteen type names and colours; the shared values return to
// what they were afterwards.
class TipFixture : public testing::Test {
protected:
    TipFixture()
        : savedServers_(FCT_Quind::Servers), savedLocal_(FCT_Quind::LocalPath), savedNumRef_(FCT_Quind::NumRef),
          savedNames_(FCT_Quind::TypeNames), savedColors_(FCT_Quind::TypeColors), savedUseTime_(FCT_Quind::UseTime)
    {
        FCT_Quind::Servers = {};
        FCT_Quind::Servers[0].SrvPath = scratch.Folder("srv");
        FCT_Quind::Servers[0].SaveTip = 1;
        FCT_Quind::Servers[1].SrvPath = scratch.Folder("quiet");
        FCT_Quind::Servers[1].SaveTip = 0;
        FCT_Quind::LocalPath = scratch.Folder("cache");
        FCT_Quind::NumRef = 3;
        FCT_Quind::UseTime = 0;
        for (int i = 0; i < FCT_Quind::TypeCount; ++i) {
            FCT_Quind::TypeNames[static_cast<std::size_t>(i)] = "type" + std::to_string(i + 1);
            FCT_Quind::TypeColors[static_cast<std::size_t>(i)] = 0x010101 * (i + 1);
        }
    }
    ~TipFixture() override
    {
        FCT_Quind::Servers = savedServers_;
        FCT_Quind::LocalPath = savedLocal_;
        FCT_Quind::NumRef = savedNumRef_;
        FCT_Quind::TypeNames = savedNames_;
        FCT_Quind::TypeColors = savedColors_;
        FCT_Quind::UseTime = savedUseTime_;
    }

    // Writes the side file of a sound (the sound itself need not exist) with
    // exactly these bytes; returns the sound's path.
    std::string Tip(const std::string& sound, const std::string& bytes) const
    {
        scratch.Write(sound + ".tip", bytes);
        return scratch / sound;
    }

    testsupport::ScratchFolder scratch;

private:
    std::array<FCT_Quind::ServerFolder, FCT_Quind::ServerCount> savedServers_;
    std::string savedLocal_;
    std::int32_t savedNumRef_;
    std::array<std::string, FCT_Quind::TypeCount> savedNames_;
    std::array<basic::Color, FCT_Quind::TypeCount> savedColors_;
    std::int32_t savedUseTime_;
};
