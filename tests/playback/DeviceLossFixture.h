#pragma once

// What the play-function tests of a failing output device share: output 1
// with 32 buttons a page and its counter showing the play messages, and the
// day log's lines that hold a text.
#include "PlaybackFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace playbacktest {

class DeviceLossFixture : public PlaybackFixture {
protected:
    // Output 1's counter, with room for the messages a press shows ("Play Failed.").
    controls::UC_TextPicture& ButtonsAndCounter()
    {
        State().ButtonsPerOutput = 32;
        State().ButtonsPerPage[0] = 32;
        State().CounterTitle[0] = 1;
        controls::UC_TextPicture& counter = *window->PicCounter(0);
        for (int i = 0; i < 3; ++i) {
            counter.AddTextSpace(9, false, false, "", 0, 0);
        }
        return counter;
    }
    int LogLinesWith(const std::string& part) const
    {
        const std::vector<std::string> log = DayLogEntries();
        return static_cast<int>(std::count_if(
            log.begin(), log.end(), [&](const std::string& line) { return line.find(part) != std::string::npos; }));
    }
};

} // namespace playbacktest
