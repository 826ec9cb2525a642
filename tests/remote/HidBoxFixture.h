#pragma once

#include "foundation/DayLog.h"
#include "foundation/ModuleValues.h"
#include "platform/base/Hooks.h"
#include "remote/C_HID.h"
#include "support/ClockFixture.h"
#include "support/FakeHidBox.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace hidtest {

using Report = std::vector<std::uint8_t>;

// A box object and fake boxes on virtual time, with the error log in the
// test's folder and the pump and refill hooks counted.
class HidBoxFixture : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 3, 2), At(10, 0, 0));
        basic::LogError = 1;
        basic::DailyLogNames = 0;
        basic::LogFolder = logs.Path();
        basic::SettingsStoreName = "tolv";
        platform::SetPumpHook([this] {
            ++pumps;
            if (onPump) {
                onPump();
            }
        });
        platform::SetRefillHook([this] { refillTimes.push_back(clock.TotalMs()); });
    }
    void TearDown() override
    {
        platform::SetPumpHook({});
        platform::SetRefillHook({});
        basic::LogFolder.clear();
        basic::SettingsStoreName.clear();
    }

    // The texts of the error log's lines, without their date and time.
    std::vector<std::string> ErrorLines() const
    {
        std::vector<std::string> lines;
        std::istringstream text(testsupport::ReadText(logs.Path() + basic::ComputerName() + " - tolv.err"));
        for (std::string line; std::getline(text, line);) {
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(line.size() > 20 ? line.substr(20) : line);
        }
        return lines;
    }
    // How many lines of the error log begin with prefix.
    int Logged(const std::string& prefix) const
    {
        int count = 0;
        for (const std::string& line : ErrorLines()) {
            count += line.rfind(prefix, 0) == 0 ? 1 : 0;
        }
        return count;
    }

    // Opens the first box of product 1 as the remote set-up does.
    void Open(C_HID& box, int mode, int product = 1, int instance = 0)
    {
        ASSERT_EQ(box.HidInit(64, product, mode, instance), 1);
        box.SetLogError(1);
    }

    // The longest time between two refills from start on (ms).
    std::int64_t LongestRefillGap(std::int64_t start) const
    {
        std::int64_t last = start;
        std::int64_t longest = 0;
        for (const std::int64_t at : refillTimes) {
            if (at >= start) {
                longest = std::max(longest, at - last);
                last = at;
            }
        }
        return std::max(longest, clock.TotalMs() - last);
    }

    testsupport::FakeHidTransport hid{clock};
    testsupport::ScratchFolder logs;
    int pumps = 0;
    std::function<void()> onPump;
    std::vector<std::int64_t> refillTimes;
};

} // namespace hidtest
