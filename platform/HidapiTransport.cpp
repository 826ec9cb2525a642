#include "platform/HidapiTransport.h"

#include "platform/ErrorText.h"
#include "platform/HidPortPath.h"
#include "platform/HidReportLayout.h"
#include "platform/HidTransferThread.h"
#include "platform/HidapiChannel.h"
#include "platform/base/LogSink.h"

#include <hidapi.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <linux/hidraw.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace platform {

namespace {

// The USB interface of a hidraw node, from its sysfs device link.
std::string PortPathOfNode(const std::string& node)
{
    const std::size_t slash = node.rfind('/');
    const std::string link = "/sys/class/hidraw/" + node.substr(slash == std::string::npos ? 0 : slash + 1) + "/device";
    char resolved[PATH_MAX];
    if (realpath(link.c_str(), resolved) == nullptr) {
        return {};
    }
    return UsbInterfaceInSysfsPath(resolved);
}

// The report layout from the node's report descriptor.
std::optional<HidReportLayout> ReadLayout(const std::string& node)
{
    const int fd = open(node.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        Log("HID box " + node + " cannot be opened: " + ErrorText(errno) +
            " (the user needs read and write access to the box; see the udev rule in the README)");
        return std::nullopt;
    }
    int size = 0;
    hidraw_report_descriptor descriptor{};
    std::optional<HidReportLayout> layout;
    if (ioctl(fd, HIDIOCGRDESCSIZE, &size) < 0 || size < 0 || size > HID_MAX_DESCRIPTOR_SIZE) {
        Log("HID box " + node + ": report descriptor size unreadable: " + ErrorText(errno));
    } else {
        descriptor.size = static_cast<std::uint32_t>(size);
        if (ioctl(fd, HIDIOCGRDESC, &descriptor) < 0) {
            Log("HID box " + node + ": report descriptor unreadable: " + ErrorText(errno));
        } else {
            layout = ParseHidReportDescriptor(std::span(descriptor.value, descriptor.size));
            if (!layout) {
                Log("HID box " + node + ": malformed report descriptor");
            }
        }
    }
    close(fd);
    return layout;
}

} // namespace

bool HidapiTransport::Initialise()
{
    if (!initialised_) {
        if (hid_init() != 0) {
            Log("hid_init failed");
            return false;
        }
        initialised_ = true;
    }
    return true;
}

std::vector<HidDeviceEntry> HidapiTransport::Enumerate(std::uint16_t vendorId)
{
    std::vector<HidDeviceEntry> entries;
    if (!Initialise()) {
        return entries;
    }
    hid_device_info* const all = hid_enumerate(vendorId, 0);
    for (const hid_device_info* info = all; info != nullptr; info = info->next) {
        if (info->path == nullptr) {
            continue;
        }
        HidDeviceEntry entry;
        entry.node = info->path;
        entry.path = PortPathOfNode(entry.node);
        if (entry.path.empty()) {
            entry.path = entry.node;
        }
        entry.vendorId = info->vendor_id;
        entry.productId = info->product_id;
        entries.push_back(std::move(entry));
    }
    hid_free_enumeration(all);
    return entries;
}

std::unique_ptr<HidDevice> HidapiTransport::Open(const HidDeviceEntry& entry)
{
    if (!Initialise()) {
        return nullptr;
    }
    const auto layout = ReadLayout(entry.node);
    if (!layout) {
        return nullptr;
    }
    errno = 0;
    hid_device* const device = hid_open_path(entry.node.c_str());
    if (device == nullptr) {
        Log("HID box " + entry.node + " cannot be opened for reading and writing: " + ErrorText(errno) +
            " (see the udev rule in the README)");
        return nullptr;
    }
    return std::make_unique<HidTransferThread>(std::make_unique<HidapiChannel>(device), *layout, entry.node);
}

} // namespace platform
