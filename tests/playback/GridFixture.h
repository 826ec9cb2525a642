#pragma once

#include "PlaybackFixture.h"
#include "playback/ButtonGridPorts.h"

#include <memory>
#include <string>
#include <vector>

namespace playbacktest {

// The playback fixture with the grid's ports wired in as the program wires
// them: pages, keys, the grid's mouse and drag rules and the button commands.
// Message boxes are answered Yes and their texts kept.
class GridFixture : public PlaybackFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    AssignRecord& Record(int output, int page, int button)
    {
        return State().ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
    }
    static platform::DragData Files(const std::vector<std::string>& paths);

    std::unique_ptr<ButtonGridPorts> grid;
    std::vector<std::string> messages;
    int messageAnswer = 6; // Yes
};

} // namespace playbacktest
