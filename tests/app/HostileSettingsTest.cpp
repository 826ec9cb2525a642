// A settings file edited by hand: every number the program reads from it,
// stored as a value no dialog writes, through the program's start and the
// window's set-up. The window comes up on two outputs, the first a play list
// that shows tips, with a column per tip field ticked and no more, and each
// stored check box that is not 0 or 1 is named in the log with what is used.
#include "AssembledFixture.h"

#include "controls/UC_ListView.h"
#include "foundation/Parms.h"
#include "foundation/SharedConf.h"
#include "mainwindow/FrmMain.h"
#include "platform/base/Numbers.h"
#include "support/ScratchFolder.h"

#include <gmock/gmock.h>

#include <algorithm>
#include <map>
#include <sstream>

namespace {

using apptest::AssembledFixture;

// Output 1 a play list showing tips, output 2 a grid; and the log on.
const std::map<std::string, std::string> Base{
    {"PlayerType", "3"},        {"NumOut", "2"},   {"IsList_1", "1"}, {"DispTip_1", "1"},
    {"DeviceWave_1", "Null 1"}, {"DeviceWave_2", "Null 2"}, {"DeviceWaveMon", "Null 4"}, {"LogError", "1"},
};
// The log-on request and the open dialog at the start ask the operator.
const std::vector<std::string> Asking{"NeedLogOn", "ShowDlg"};
// "1" follows the largest Long: two check boxes whose sum would overflow.
const std::vector<std::string> Hostile{"99999999", "2147483647", "1",   "2147483648",       "-1",
                                       "0",        "1e9",        "abc", std::string(300, '9')};

class HostileSettings : public AssembledFixture {
protected:
    void WriteSettings(const std::map<std::string, std::string>& values)
    {
        std::string text = "[conf]\r\n";
        for (const auto& [key, value] : values) {
            text += key + "=" + value + "\r\n";
        }
        folder.Write("tolv.ini", text);
    }

    // The program as a new start finds it.
    bool Restart()
    {
        TearDown();
        SetUp();
        return Start();
    }

    // Every key the first start read and wrote back with a number.
    std::vector<std::string> NumericKeys() const
    {
        std::vector<std::string> keys;
        std::istringstream lines(testsupport::ReadText(folder / "tolv.ini"));
        for (std::string line; std::getline(lines, line);) {
            if (line.ends_with('\r')) {
                line.pop_back();
            }
            const std::size_t equals = line.find('=');
            const std::string key = line.substr(0, equals);
            if (equals != std::string::npos && numeric::IsNumeric(line.substr(equals + 1)) && !Base.contains(key) &&
                std::find(Asking.begin(), Asking.end(), key) == Asking.end()) {
                keys.push_back(key);
            }
        }
        return keys;
    }

    bool Logged(const std::string& key, const std::string& value) const
    {
        const std::vector<std::string> log = DayLogEntries();
        return std::any_of(log.begin(), log.end(), [&](const std::string& line) {
            return line.find(key + " \"" + value + "\"") != std::string::npos &&
                   line.find(" is used") != std::string::npos;
        });
    }
};

// Round r gives key k the value r + k further on, so over the rounds each key
// takes each value once, and neighbouring tip fields hold neighbouring values.
// A round a test of its own: each starts the program twice.
class HostileSettingsRound : public HostileSettings, public testing::WithParamInterface<std::size_t> {};

TEST_P(HostileSettingsRound, EveryNumberStoredIsReadAsTheWindowCanUseIt)
{
    WriteSettings(Base);
    ASSERT_TRUE(Start());
    const std::vector<std::string> keys = NumericKeys();
    ASSERT_GT(keys.size(), 100U);
    for (const std::string key : {"DispIt_1", "DispIt_5", "DispItRef_1", "TabWidth_LV1_1", "ModuleX_2"}) {
        ASSERT_THAT(keys, testing::Contains(key));
    }
    const std::size_t round = GetParam();
    std::map<std::string, std::string> values = Base;
    for (std::size_t k = 0; k < keys.size(); ++k) {
        values[keys[k]] = Hostile[(round + k) % Hostile.size()];
    }
    WriteSettings(values);
    ASSERT_TRUE(Restart());
    // A tip field is a check box: ticked unless stored as 0 (a text
    // that is no Long leaves it at its default, ticked).
    int ticked = 0;
    std::vector<std::string> tipKeys;
    for (int n = 1; n <= 5; ++n) {
        tipKeys.push_back("DispIt_" + std::to_string(n));
    }
    for (int n = 1; n <= FCT_Quind::NumRef; ++n) {
        tipKeys.push_back("DispItRef_" + std::to_string(n));
    }
    for (const std::string& key : tipKeys) {
        ticked += values[key] != "0" ? 1 : 0;
        if (values[key] != "0" && values[key] != "1") {
            // The settings store reads at most 254 characters of a value.
            EXPECT_TRUE(Logged(key, values[key].substr(0, 254))) << key << "=" << values[key].substr(0, 20);
        }
    }
    const UC_ListView& list = *Window().LV(0);
    EXPECT_EQ(list.NumData(), 4 + ticked);
    EXPECT_TRUE(list.isVisible());
    EXPECT_EQ(parms::TipFieldCount, ticked);
}

INSTANTIATE_TEST_SUITE_P(EveryValue, HostileSettingsRound, testing::Range<std::size_t>(0, Hostile.size()));

} // namespace
