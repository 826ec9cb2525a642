#include "remote/SerialPortSetup.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Settings.h"
#include "platform/ComboBox.h"
#include "platform/MessageBox.h"
#include "remote/SerialPortCombos.h"
#include "support/PseudoTerminal.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// Settings in an INI store of the test's own; message boxes recorded.
class OpenSerialPort : public testing::Test {
protected:
    void SetUp() override
    {
        basic::SetAppPath(folder.Path());
        basic::SettingsStoreName = "tolv";
        basic::SettingsIniPath = folder.Write("tolv.ini", "[conf]\r\n");
        basic::LangMode = 1;
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            shown.push_back(request);
            return platform::IdOk;
        });
        setenv("TOLV_COM7", box.PortPath().c_str(), 1);
        setenv("TOLV_COM9", "/dev/tolv-no-such-line", 1);
    }
    void TearDown() override
    {
        if (port) {
            port->CloseComm();
        }
        unsetenv("TOLV_COM7");
        unsetenv("TOLV_COM9");
        platform::SetMessageBoxAnswer(nullptr);
        basic::SettingsIniPath.clear();
        basic::SettingsStoreName.clear();
        basic::SetAppPath("");
        basic::LangMode = 0;
    }

    testsupport::ScratchFolder folder;
    testsupport::PseudoTerminal box;
    std::unique_ptr<C_Com> port;
    std::vector<platform::MessageBoxRequest> shown;
};

TEST_F(OpenSerialPort, PortZeroOpensNothingAndSaysNothing)
{
    EXPECT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_2", -1, -1, 1, 0, 0), 0);
    EXPECT_EQ(port, nullptr);
    basic::SaveSetting("ComNo_2", 0);
    EXPECT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_2", -1, -1, 1, 0, 0), 0);
    EXPECT_EQ(port, nullptr);
    EXPECT_TRUE(shown.empty());
}

TEST_F(OpenSerialPort, OpensTheStoredPortWithTheStoredRateAndTheProtocolsSizeAndParity)
{
    basic::SaveSetting("ComNo_1", 7);
    basic::SaveSetting("ComBaud_1", "14400");
    ASSERT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_1", -1, -1, 6, 2, 0), 1);
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->IsOpen());
    EXPECT_EQ(port->ComPort, "Com7");
    EXPECT_EQ(port->BaudRate, 14400);
    EXPECT_EQ(port->DataSize, 6);
    EXPECT_EQ(port->ParityBit, 2);
    // Opening again closes the port that is there first (it is exclusive).
    ASSERT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_1", -1, -1, 8, 0, 0), 1);
    EXPECT_EQ(port->DataSize, 8);
    EXPECT_TRUE(shown.empty());
}

TEST_F(OpenSerialPort, WithoutAStoredRateTheDefaultIs38400)
{
    basic::SaveSetting("ComNo_3", 7);
    ASSERT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_3", -1, -1, 4, 0, 0), 1);
    EXPECT_EQ(port->BaudRate, 38400);
    // Numbers given by the caller are taken as they are.
    ASSERT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_3", 7, 110, 4, 0, 0), 1);
    EXPECT_EQ(port->BaudRate, 110);
}

TEST_F(OpenSerialPort, AMissingDeviceShowsTheOpenFailure)
{
    basic::SaveSetting("ComNo_4", 9);
    EXPECT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_4", -1, -1, 1, 0, 0), 0);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Can not open Com9");
    EXPECT_EQ(shown[0].title, "tolv");
    EXPECT_EQ(shown[0].style, platform::IconStop);
    ASSERT_NE(port, nullptr);
    EXPECT_FALSE(port->IsOpen());

    basic::LangMode = 0;
    EXPECT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_4", -1, -1, 1, 0, 0), 0);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].text, "Com9が開けません");
}

TEST_F(OpenSerialPort, ANumberThatIsNotNumericEndsWithoutAMessage)
{
    basic::SaveSetting("ComNo_1", 7);
    basic::SaveSetting("ComBaud_1", "fast");
    EXPECT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_1", -1, -1, 4, 0, 0), 0);
    basic::SaveSetting("ComNo_2", "seven");
    EXPECT_EQ(FCT_Serial::OpenSerialPort(port, 0, "_2", -1, -1, 4, 0, 0), 0);
    EXPECT_EQ(port, nullptr);
    EXPECT_TRUE(shown.empty());
}

TEST(SerialPortCombos, ListTheRatesAndPortsOfTheRemotePage)
{
    platform::ComboBox combo;
    FCT_Serial::FillBaudRateCombo(combo, "38400");
    const std::vector<std::string> rates{"110",   "300",   "600",   "1200",  "2400",   "9600",  "14400",
                                         "19200", "28800", "38400", "56000", "128000", "256000"};
    ASSERT_EQ(combo.ListCount(), static_cast<int>(rates.size()));
    for (std::size_t i = 0; i < rates.size(); ++i) {
        EXPECT_EQ(combo.List(static_cast<int>(i)), rates[i]);
    }
    EXPECT_EQ(combo.ListIndex(), 9);
    FCT_Serial::FillBaudRateCombo(combo, "57600");
    EXPECT_EQ(combo.ListCount(), 13);
    EXPECT_EQ(combo.ListIndex(), -1);

    FCT_Serial::FillComPortCombo(combo, 3);
    ASSERT_EQ(combo.ListCount(), 7);
    EXPECT_EQ(combo.List(0), "NA");
    EXPECT_EQ(combo.List(6), "Com6");
    EXPECT_EQ(combo.Text(), "Com3");
    FCT_Serial::FillComPortCombo(combo, 7);
    EXPECT_EQ(combo.ListIndex(), 0);
    FCT_Serial::FillComPortCombo(combo, -1);
    EXPECT_EQ(combo.ListIndex(), 0);
}

} // namespace
