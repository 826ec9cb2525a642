#pragma once

#include "PlaybackFixture.h"

#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "platform/DragData.h"
#include "platform/MessageBox.h"
#include "playback/PlayListControl.h"
#include "support/RiffFileBuilder.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace playbacktest {

// The main window with playback control and the play lists wired in as the
// program wires them; output 1 (or every output asked for) shows a play list.
// Message boxes are answered by Answer and their texts kept in Messages.
class PlayListFixture : public PlaybackFixture {
protected:
    void SetUp() override
    {
        PlaybackFixture::SetUp();
        // The messages are checked in English, whatever an earlier test chose.
        savedLanguage_ = basic::LangMode;
        basic::LangMode = 1;
        lists = std::make_unique<PlayListControl>(*window);
        lists->OtherPlayback = &ports.Playback;
        lists->OtherEvents = &ports.ControlEvents;
        lists->OtherItems = &ports.ItemCommands;
        control->OtherPlayback = lists.get();
        control->OtherEvents = lists.get();
        window->Ports.ItemCommands = lists.get();
        window->Ports.ListEvents = lists.get();
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            Messages.push_back(request.text);
            return Answer;
        });
    }
    void TearDown() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        control->OtherPlayback = &ports.Playback;
        control->OtherEvents = &ports.ControlEvents;
        window->Ports.ItemCommands = &ports.ItemCommands;
        window->Ports.ListEvents = nullptr;
        lists.reset();
        PlaybackFixture::TearDown();
        parms::MonitorExchange = {};
        basic::LangMode = savedLanguage_;
    }
    std::int32_t savedLanguage_ = 0;

    // The start-up with list outputs (1-based numbers) among numOut outputs.
    bool StartLists(std::vector<int> listOutputs = {1}, int numOut = 1)
    {
        for (const int n : listOutputs) {
            Store("IsList_" + std::to_string(n), "1");
        }
        return Start(numOut);
    }

    UC_ListView& View(int output = 0) { return *window->LV(output); }
    const ListPage& Stored(int output = 0)
    {
        return State().ListTable[static_cast<std::size_t>(ListTableIndex(output, State().CurrentPage[output]))];
    }

    // A wave file whose every sample is value (16 bits, stereo, 48 kHz).
    std::string ToneWave(const std::string& name, int frames, int value = 1000, std::uint32_t rate = Rate)
    {
        testsupport::Bytes samples;
        samples.reserve(static_cast<std::size_t>(frames) * 4);
        for (int f = 0; f < frames * 2; ++f) {
            testsupport::PutU16(samples, static_cast<std::uint32_t>(value) & 0xFFFF);
        }
        testsupport::RiffFileBuilder builder;
        builder.Format(1, 2, rate, 16).Data(samples);
        const std::string path = sounds / name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        builder.WriteTo(path);
        return path;
    }

    // Drops files on the list of output at row (the row's top edge).
    void Drop(const std::vector<std::string>& files, int row, int output = 0)
    {
        platform::DragData data;
        for (const std::string& file : files) {
            data.AddFile(file);
        }
        int effect = platform::DropEffectCopy;
        const double y = static_cast<double>(row) * View(output).OneHeight() + 1;
        lists->LV_OLEDragDrop(output, data, effect, 1, 0, 0, y);
    }
    // Appends short wave files named name.wav for every name.
    void DropTones(const std::vector<std::string>& names, int row = 1000, int output = 0)
    {
        std::vector<std::string> files;
        for (const std::string& name : names) {
            files.push_back(ToneWave(name + ".wav", Rate / 10));
        }
        Drop(files, row, output);
    }
    // Titles of the rows, in order.
    std::vector<std::string> Titles(int output = 0)
    {
        std::vector<std::string> titles;
        for (int r = 0; r < View(output).ItemCount(); ++r) {
            titles.push_back(View(output).Value(r, 1).Text());
        }
        return titles;
    }
    // Base names of the stored records, in order.
    std::vector<std::string> StoredTitles(int output = 0)
    {
        std::vector<std::string> titles;
        for (const AssignRecord& record : Stored(output).Items) {
            titles.push_back(std::filesystem::path(record.FileName).stem().string());
        }
        return titles;
    }
    // Makes row the one selected row.
    void Select(int row, int output = 0)
    {
        View(output).UnSelectAll();
        View(output).SetSelectedItem(row);
        View(output).SetIsSelected(row, 1);
    }

    std::unique_ptr<PlayListControl> lists;
    std::vector<std::string> Messages;
    int Answer = platform::IdYes;
};

} // namespace playbacktest
