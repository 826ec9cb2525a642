#include "remote/HidBoxFixture.h"

namespace {

using hidtest::HidBoxFixture;
using hidtest::Report;

class HidBoxReports : public HidBoxFixture {};

Report Padded(Report head, std::size_t length)
{
    head.resize(length, 0);
    return head;
}

TEST_F(HidBoxReports, InquiryMaskAndLampReportsByteForByte)
{
    auto& device = hid.Plug(1, "1-1");
    device.inputLength = 9;
    device.outputLength = 9;
    C_HID box;
    Open(box, 0);

    box.QuorRead(0, 1, 0);
    box.QuorRead(1, 1, 0);
    box.QuorRead(0, 1, 3);
    EXPECT_EQ(box.QuorWrite(7), 1);
    EXPECT_EQ(box.QuorWrite(107), 1);
    EXPECT_EQ(box.QuorWrite(202), 1);
    EXPECT_EQ(box.QuorWrite(5, 9), 1);
    EXPECT_EQ(box.QuorWrite(0), 0);
    EXPECT_EQ(box.QuorWrite(255), 0);

    const std::vector<Report> expected{
        Padded({0, 0, 0}, 9),   Padded({0, 255, 0}, 9), Padded({0, 0, 3}, 9), Padded({0, 7, 0}, 9),
        Padded({0, 107, 0}, 9), Padded({0, 202, 0}, 9), Padded({0, 5, 9}, 9),
    };
    EXPECT_EQ(device.written, expected);
}

TEST_F(HidBoxReports, ReadResults)
{
    auto& device = hid.Plug(1, "1-1");
    device.codes = {12, 0, 255, 255};
    device.mask = 0xFD; // input 2 closed
    C_HID box;
    Open(box, 1);

    EXPECT_EQ(box.QuorRead(0, 1, 0), 12);
    EXPECT_EQ(box.QuorRead(0, 1, 0), 0);   // nothing pressed
    EXPECT_EQ(box.QuorRead(0, 1, 0), 255); // the release, asked with force
    EXPECT_EQ(box.QuorRead(0, 0, 0), 0);   // without force a release is no value
    EXPECT_EQ(box.QuorRead(1, 1, 0), 0xFD);
    EXPECT_TRUE(ErrorLines().empty());
}

TEST_F(HidBoxReports, AnAnswerForAnotherPortIsAFailure)
{
    auto& device = hid.Plug(1, "1-1");
    device.replies = {{0, 1, 12}};
    device.codes = {12};
    C_HID box;
    Open(box, 0);
    EXPECT_EQ(box.QuorRead(0, 1, 0), -1);
    EXPECT_EQ(Logged("HID Port Different"), 1);
    EXPECT_EQ(box.QuorRead(0, 1, 0), 12);
}

TEST_F(HidBoxReports, WhileALampIsWrittenAReadGivesTheLastValueAtOnce)
{
    auto& device = hid.Plug(1, "1-1");
    device.mask = 0xFE;
    C_HID box;
    Open(box, 1);
    ASSERT_EQ(box.QuorRead(1, 1, 0), 0xFE);

    device.writeMs = 10;
    const std::size_t before = device.written.size();
    std::vector<int> nested;
    onPump = [&] {
        if (nested.empty()) {
            EXPECT_EQ(box.WhileWriteFile(), 1);
            nested.push_back(box.QuorRead(1, 1, 0));
            nested.push_back(box.QuorRead(0, 1, 0));
        }
    };
    EXPECT_EQ(box.QuorWrite(7), 1);
    EXPECT_EQ(nested, (std::vector<int>{0xFE, 0}));
    ASSERT_EQ(device.written.size(), before + 1); // only the lamp
    EXPECT_EQ(device.written.back()[1], 7);
    EXPECT_EQ(box.WhileWriteFile(), 0);
}

TEST_F(HidBoxReports, ThePipelinedModeReadsEachAnswerOnTheNextPoll)
{
    auto& device = hid.Plug(1, "1-1");
    device.codes = {12, 13};
    device.answerMs = 5;
    C_HID box;
    Open(box, 2);

    EXPECT_EQ(box.QuorRead(0, 1, 0), 0); // asked; the answer is not there yet
    EXPECT_EQ(device.written.size(), 1u);
    clock.Advance(50);
    EXPECT_EQ(box.QuorRead(0, 1, 0), 12);
    EXPECT_EQ(device.written.size(), 2u); // the next inquiry went out at once
    clock.Advance(50);
    EXPECT_EQ(box.QuorRead(0, 1, 0), 13);
    clock.Advance(50);
    EXPECT_EQ(box.QuorRead(0, 1, 0), 0);
    EXPECT_TRUE(ErrorLines().empty());
}

} // namespace
