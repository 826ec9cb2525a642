#pragma once

#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/SessionValues.h"
#include "mainwindow/MainState.h"
#include "mainwindow/ports/MainPorts.h"
#include "platform/MessageBox.h"
#include "playback/AssignFile.h"
#include "support/FakeNetwork.h"
#include "support/FakePorts.h"
#include "support/ScratchFolder.h"
#include "support/ScratchRegistry.h"

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace playbacktest {

// The assign table file service on a state of its own, with a program
// folder, a registry of its own, recording fakes and message boxes answered
// from a queue (Yes when empty) and recorded.
class AssignFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        basic::SetAppPath(scratch.Folder("program"));
        basic::SettingsStoreName = "tolv";
        basic::LangMode = 1;
        parms::PlayerType = 1;
        parms::IsList.fill(0);
        parms::PreReadSound = 1;
        basic::CueActive.fill(0);
        state.PageNum = 10;
        state.NumOut = 4;
        state.ButtonsPerPage.fill(20);
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            boxes.push_back(request.text);
            if (answers.empty()) {
                return platform::IdYes;
            }
            const int answer = answers.front();
            answers.pop_front();
            return answer;
        });
        ports.Playback = &playback;
        ports.Cache = &cache;
        ports.Remote = &remote;
        file = std::make_unique<AssignFile>(state, ports, nullptr);
    }
    void TearDown() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        basic::SetAppPath("");
        basic::LangMode = 0;
        basic::CurrentQuorUser.clear();
    }

    // The logged-on user as outside tools record it.
    void SetCurrentUser(const std::string& name) { registry.WriteCommon("CurrentQuorUser=" + name + "\n"); }
    AssignRecord& Button(int output, int page, int button)
    {
        return state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
    }
    ListPage& List(int output, int page)
    {
        return state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))];
    }
    std::string& BankName(int output, int page)
    {
        return state.BankName[static_cast<std::size_t>(PageNameIndex(output, page))];
    }
    std::string& ListName(int output, int page)
    {
        return state.ListName[static_cast<std::size_t>(PageNameIndex(output, page))];
    }

    int Open(const std::string& path)
    {
        int ok = -1;
        file->OpenSaveAssignFile(0, path, ok);
        return ok;
    }
    int Save(const std::string& path)
    {
        int ok = -1;
        file->OpenSaveAssignFile(1, path, ok);
        return ok;
    }

    // No server name resolves: server hosts count as absent at once.
    testsupport::FakeHostResolver resolver;
    testsupport::FakeEchoTransport echo;
    testsupport::ScratchFolder scratch;
    testsupport::ScratchRegistry registry;
    MainState state;
    testsupport::CallLog log;
    testsupport::FakePlayback playback{log};
    testsupport::FakeCache cache{log};
    testsupport::FakeRemote remote{log};
    MainPorts ports;
    std::unique_ptr<AssignFile> file;
    std::vector<std::string> boxes;
    std::deque<int> answers;
};

} // namespace playbacktest
