#include "GridFixture.h"

#include "platform/MessageBox.h"

namespace playbacktest {

void GridFixture::SetUp()
{
    PlaybackFixture::SetUp();
    grid = std::make_unique<ButtonGridPorts>(*control);
    grid->NextPlayback = &ports.Playback;
    grid->NextEvents = &ports.ControlEvents;
    grid->NextCommands = &ports.ItemCommands;
    control->OtherPlayback = grid.get();
    control->OtherEvents = grid.get();
    window->Ports.ItemCommands = grid.get();
    grid->Attach();
    platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
        messages.push_back(request.text);
        return messageAnswer;
    });
}

void GridFixture::TearDown()
{
    if (window) {
        window->Keys = {};
        window->SetKeyPreview(false);
    }
    control->OtherPlayback = &ports.Playback;
    control->OtherEvents = &ports.ControlEvents;
    window->Ports.ItemCommands = &ports.ItemCommands;
    grid.reset();
    PlaybackFixture::TearDown();
}

platform::DragData GridFixture::Files(const std::vector<std::string>& paths)
{
    platform::DragData data;
    for (const std::string& path : paths) {
        data.AddFile(path);
    }
    return data;
}

} // namespace playbacktest
