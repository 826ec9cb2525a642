#include "RemoteInputFixture.h"

#include "AssembledInput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace apptest {

namespace {

// The port name Com11 reaches the line through TOLV_COM11.
constexpr int LinePortNumber = 11;
const char* const LineVariable = "TOLV_COM11";

} // namespace

void RemoteInputFixture::TearDown()
{
    AssembledFixture::TearDown();
    unsetenv(LineVariable);
}

void RemoteInputFixture::PlugSerial(int protocol, int outputSetting)
{
    setenv(LineVariable, line.PortPath().c_str(), 1);
    Store("ComNo_1", std::to_string(LinePortNumber));
    Store("ComMode_1", std::to_string(protocol));
    Store("ComCh_1", std::to_string(outputSetting));
}

std::int64_t RemoteInputFixture::FirstFrameOf(int output, int page, int button)
{
    // Distinct below the ramp's 30000 for every output 1..2, page 1..2 and
    // button 1..9.
    return 1000 + 7000 * (output - 1) + 3000 * (page - 1) + 250 * button;
}

void RemoteInputFixture::AssignSound(int output, int page, int button)
{
    const std::string path =
        sounds / ("o" + std::to_string(output) + "p" + std::to_string(page) + "b" + std::to_string(button) + ".wav");
    testsupport::WriteRampExcerpt(path, Rate, FirstFrameOf(output, page, button), 2 * Rate);
    ASSERT_TRUE(program->Grid.Grid.AssignButtonOnPage(output - 1, page - 1, button - 1, path));
}

std::int64_t RemoteInputFixture::FirstFrameOfRow(int row)
{
    return 20000 + 2000 * row;
}

void RemoteInputFixture::FillListAndChooseRow(int row)
{
    std::vector<std::string> files;
    for (int r = 1; r <= 3; ++r) {
        files.push_back(sounds / ("row" + std::to_string(r) + ".wav"));
        testsupport::WriteRampExcerpt(files.back(), Rate, FirstFrameOfRow(r), 2 * Rate);
    }
    UC_ListView& list = *Window().LV(0);
    ASSERT_NE(DropFiles(list.ListArea(), files, QPoint(10, 5)), platform::DropEffectNone);
    ASSERT_EQ(list.ItemCount(), 3);
    Click(list.ListArea(), Qt::LeftButton, QPoint(20, YOfRow(list, row - 1)));
}

std::int64_t RemoteInputFixture::SoundStarted(int device)
{
    const std::vector<float> played = Played(device);
    const auto start = std::find_if(played.begin(), played.end(), [](float sample) { return sample != 0.0F; });
    if (start == played.end()) {
        return -1;
    }
    const auto end = std::find(start, played.end(), 0.0F);
    testsupport::ExpectRampUnbroken(std::vector<float>(start, end), device);
    return RampFrame(*start);
}

bool RemoteInputFixture::PlaysOn(int device)
{
    const std::vector<float> played = Played(device);
    if (played.empty() || std::find(played.begin(), played.end(), 0.0F) != played.end()) {
        return false;
    }
    testsupport::ExpectRampUnbroken(played, device);
    return true;
}

bool RemoteInputFixture::Silent(int device)
{
    const std::vector<float> played = Played(device);
    return std::all_of(played.begin(), played.end(), [](float sample) { return sample == 0.0F; });
}

} // namespace apptest
