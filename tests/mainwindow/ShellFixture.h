#pragma once

#include "mainwindow/FrmMain.h"
#include "platform/MessageBox.h"
#include "support/ClockFixture.h"
#include "support/FakePorts.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <deque>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace shelltest {

// The main window on virtual time, with a program folder, a registry and a
// log folder of its own, recording fakes of every service, and message boxes
// answered from a queue (Yes when it is empty) and recorded.
class ShellFixture : public testsupport::ClockFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Values of the registry section that outside tools write ("common").
    void SetCommon(const std::map<std::string, std::string>& values);
    // A value in a registry section of the program ("tolv" is session 0's
    // own store and the store all sessions share).
    void Store(const std::string& key, const std::string& value, const std::string& section = "tolv");
    std::string Stored(const std::string& key, const std::string& section = "tolv");

    // Runs the start-up with this command line.
    FrmMain::StartOutcome Start(const std::string& commandLine = "");

    // Every day log (".log") written so far, joined; and the error lines.
    std::string DayLog() const;
    std::string ErrorLog() const;
    // The lines of the day log without their time stamps.
    std::vector<std::string> DayLogEntries() const;

    testsupport::ScratchFolder program;
    testsupport::ScratchFolder logs;
    testsupport::ScratchRegistry registry;
    testsupport::FakePorts ports;
    std::unique_ptr<FrmMain> window;
    std::deque<int> answers;
    std::vector<platform::MessageBoxRequest> boxes;

private:
    std::filesystem::path previousFolder_;
};

} // namespace shelltest
