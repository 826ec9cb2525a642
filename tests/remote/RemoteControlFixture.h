#pragma once

#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "mainwindow/FrmMain.h"
#include "platform/MessageBox.h"
#include "remote/RemoteControl.h"
#include "tests/remote/HidBoxFixture.h"
#include "tests/remote/RecordingTargets.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace remotetest {

using hidtest::Report;

// The remote devices of a main window on fake boxes and virtual time, with a
// recording playback behind the dispatcher.
class RemoteControlTest : public hidtest::HidBoxFixture {
protected:
    void SetUp() override
    {
        HidBoxFixture::SetUp();
        basic::SetAppPath(logs.Path());
        savedIsList_ = parms::IsList;
        parms::IsList = {0, 0, 0, 0};
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            messages.push_back(request.text);
            return platform::IdOk;
        });
        // The store lives as long as the test program: every key this
        // class reads starts from its default.
        for (int n = 1; n <= 4; ++n) {
            const std::string suffix = "_" + std::to_string(n);
            for (const char* key : {"USBHIDID", "ComNo", "HIDGetStatus", "HIDAsync"}) {
                basic::SaveSetting(key + suffix, "0");
            }
            basic::SaveSetting("HIDCh" + suffix, std::to_string(n - 1));
            basic::SaveSetting("ComCh" + suffix, std::to_string(n - 1));
            basic::SaveSetting("ComMode" + suffix, "2");
        }
        basic::SaveSetting("UseMIDIIn", "0");
        basic::SaveSetting("FSInt", "0");
        MainState& state = window.State;
        state.Running = 1;
        state.NumOut = 2;
        state.PageNum = 10;
        state.ButtonsPerPage = {32, 32, 0, 0};
        state.ButtonsPerOutput = 32;
        state.ButtonTable.resize(AssignOutputs * AssignPages * AssignButtons);
    }
    void TearDown() override
    {
        control.reset();
        platform::SetMessageBoxAnswer(nullptr);
        parms::IsList = savedIsList_;
        basic::SetAppPath("");
        HidBoxFixture::TearDown();
    }
    void Init()
    {
        control = std::make_unique<RemoteControl>(window, targets);
        control->InitRemoteDevices();
    }
    // The lamp codes the box got, without the polls' inquiries.
    static std::vector<int> Lamps(const testsupport::FakeHidBox& box)
    {
        std::vector<int> codes;
        for (const Report& report : box.written) {
            if (report.size() >= 3 && report[1] != 0 && report[1] != 255) {
                codes.push_back(report[1]);
            }
        }
        return codes;
    }

    // How many lines of the day's log begin with prefix.
    int DayLogged(const std::string& prefix) const
    {
        std::istringstream text(testsupport::ReadText(logs.Path() + basic::ComputerName() + " - tolv.log"));
        int count = 0;
        for (std::string line; std::getline(text, line);) {
            count += line.size() > 20 && line.compare(20, prefix.size(), prefix) == 0 ? 1 : 0;
        }
        return count;
    }

    FrmMain window;
    remotetest::RecordingTargets targets;
    std::unique_ptr<RemoteControl> control;
    std::vector<std::string> messages;
    std::array<std::int32_t, 4> savedIsList_{};
};

} // namespace remotetest
