#include "platform/HidPortPath.h"
#include "platform/HidTransport.h"
#include "support/ClockFixture.h"
#include "support/FakeHidBox.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

TEST(HidPortPath, TheUsbInterfaceOfASysfsDevice)
{
    EXPECT_EQ(platform::UsbInterfaceInSysfsPath(
                  "/sys/devices/pci0000:00/0000:00:14.0/usb1/1-1/1-1.2/1-1.2:1.0/0003:19AA:0001.0005"),
              "1-1.2:1.0");
    EXPECT_EQ(
        platform::UsbInterfaceInSysfsPath("/sys/devices/pci0000:00/0000:00:14.0/usb3/3-4/3-4:1.1/0003:19AA:0002.0009"),
        "3-4:1.1");
    // A Bluetooth box lies under the adapter's interface but is no USB interface of its own.
    EXPECT_EQ(platform::UsbInterfaceInSysfsPath("/sys/devices/pci0000:00/0000:00:14.0/usb1/1-9/1-9:1.0/bluetooth/"
                                                "hci0/hci0:256/0005:046D:B00D.0001"),
              "");
    EXPECT_EQ(platform::UsbInterfaceInSysfsPath("/sys/devices/virtual/misc/uhid/0003:19AA:0001.0001"), "");
    EXPECT_EQ(platform::UsbInterfaceInSysfsPath(""), "");
}

TEST(HidPortPath, PortsCompareAsNumbersAlongTheChainOfHubs)
{
    std::vector<std::string> paths{"2-1:1.0",   "1-10:1.0", "/dev/hidraw3", "1-9:1.0",     "1-1.10:1.0",
                                   "1-1.2:1.1", "1-2:1.0",  "1-1.2:1.0",    "/dev/hidraw1"};
    std::sort(paths.begin(), paths.end(), [](const auto& a, const auto& b) { return platform::PortPathBefore(a, b); });
    EXPECT_EQ(paths, (std::vector<std::string>{"1-1.2:1.0", "1-1.2:1.1", "1-1.10:1.0", "1-2:1.0", "1-9:1.0", "1-10:1.0",
                                               "2-1:1.0", "/dev/hidraw1", "/dev/hidraw3"}));
}

class HidBoxList : public testsupport::ClockFixture {};

TEST_F(HidBoxList, OneProductOfTheVendorInPortOrder)
{
    testsupport::FakeHidTransport hid(clock);
    hid.Plug(1, "1-3");
    hid.Plug(2, "1-1");
    hid.Plug(1, "1-2", 0x0001);
    hid.Plug(1, "1-1.4");
    hid.Plug(1, "1-1.1").present = false;
    std::vector<std::string> found;
    for (const auto& entry : platform::ListHidBoxes(0x19AA, 1)) {
        found.push_back(entry.path);
    }
    EXPECT_EQ(found, (std::vector<std::string>{"1-1.4:1.0", "1-3:1.0"}));
}

} // namespace
