#include "remote/HidBoxFixture.h"

namespace {

using hidtest::HidBoxFixture;

class HidBoxTimeout : public HidBoxFixture {};

TEST_F(HidBoxTimeout, ASilentBoxCostsTheTimeOutInTheWaitingModesAndNeverStopsTheProgram)
{
    for (const int mode : {0, 1}) {
        SCOPED_TRACE(mode);
        auto& device = hid.Plug(1, "1-" + std::to_string(mode + 1));
        device.silent = true;
        C_HID box;
        ASSERT_EQ(box.HidInit(64, 1, mode, mode), 1);
        box.SetLogError(1);
        refillTimes.clear();
        pumps = 0;

        const std::int64_t start = clock.TotalMs();
        EXPECT_EQ(box.QuorRead(0, 1, 0), -1);
        const std::int64_t took = clock.TotalMs() - start;
        EXPECT_GT(took, 500);
        EXPECT_LE(took, 520);
        // The wait let events run and fed the players all along.
        EXPECT_GT(pumps, 100);
        EXPECT_GE(refillTimes.size(), 25u);
        EXPECT_LE(LongestRefillGap(start), 20);
        EXPECT_EQ(box.WhileReadFile(), 0);
        EXPECT_GE(device.cancelCount, 1);

        // Once the box answers again, so does the read.
        device.silent = false;
        device.codes = {9};
        EXPECT_EQ(box.QuorRead(0, 1, 0), 9);
    }
    EXPECT_EQ(Logged("HIDIO GetOverlappedResult TimeOut pIsRead=1 pOl=1 tTakes="), 2);
    EXPECT_EQ(Logged("HID ReadRequest err1"), 2);
}

TEST_F(HidBoxTimeout, TheTimeOutIsAtLeastFiftyMilliseconds)
{
    hid.Plug(1, "1-1").silent = true;
    C_HID box;
    Open(box, 1);
    box.SetTimeoutMS(10);
    const std::int64_t start = clock.TotalMs();
    EXPECT_EQ(box.QuorRead(0, 1, 0), -1);
    EXPECT_GT(clock.TotalMs() - start, 50);
    EXPECT_LE(clock.TotalMs() - start, 70);
}

TEST_F(HidBoxTimeout, ThePipelinedModeGivesUpAfterThreeRoundsOfReadTries)
{
    auto& device = hid.Plug(1, "1-1");
    device.silent = true;
    C_HID box;
    Open(box, 2);
    box.SetReadRetrialCount(4); // 200 ms of 50 ms ticks

    // Each round asks once and tries the read on five polls; the third round
    // that runs out fails. No poll waits for the box.
    for (int poll = 1; poll <= 15; ++poll) {
        const std::int64_t start = clock.TotalMs();
        const int result = box.QuorRead(0, 1, 0);
        EXPECT_EQ(clock.TotalMs(), start) << poll;
        EXPECT_EQ(result, poll == 15 ? -1 : 0) << poll;
        clock.Advance(50);
    }
    EXPECT_EQ(device.written.size(), 3u);
    EXPECT_EQ(ErrorLines(), std::vector<std::string>{"HID ReadTried Over c_ErrorLoop=3 ReadTried=5"});
}

TEST_F(HidBoxTimeout, ThePipelinedModeFailsAfterThreeInquiriesThatNeverWentOut)
{
    hid.Plug(1, "1-1").writesHang = true;
    C_HID box;
    Open(box, 2);
    for (int poll = 1; poll <= 3; ++poll) {
        const std::int64_t start = clock.TotalMs();
        EXPECT_EQ(box.QuorRead(0, 1, 0), poll == 3 ? -1 : 0) << poll;
        EXPECT_GT(clock.TotalMs() - start, 500);
        EXPECT_LE(clock.TotalMs() - start, 520);
    }
    EXPECT_EQ(Logged("HID QuorRead InquirySent TimeOut tTakes="), 3);
    EXPECT_EQ(Logged("HID QuorRead InquirySent c_ErrorLoop=3 c_TimeoutMS=500"), 1);
}

TEST_F(HidBoxTimeout, ALampWriteThatNeverCompletesGivesUpAfterTheTimeOut)
{
    auto& device = hid.Plug(1, "1-1");
    C_HID box;
    Open(box, 1);
    device.writesHang = true;
    const std::int64_t start = clock.TotalMs();
    EXPECT_EQ(box.QuorWrite(7), 0);
    EXPECT_GT(clock.TotalMs() - start, 500);
    EXPECT_LE(LongestRefillGap(start), 20);
    EXPECT_EQ(box.WhileWriteFile(), 0);
    EXPECT_EQ(Logged("HIDIO GetOverlappedResult TimeOut pIsRead=0 pOl=2"), 1);
}

TEST_F(HidBoxTimeout, SlowLampWritesTakeTheirTimeAndKeepThePlayersFed)
{
    auto& device = hid.Plug(1, "1-1");
    device.writeMs = 10;
    C_HID box;
    Open(box, 0);
    const std::int64_t start = clock.TotalMs();
    for (int lamp = 1; lamp <= 100; ++lamp) {
        EXPECT_EQ(box.QuorWrite(lamp), 1);
    }
    EXPECT_GE(clock.TotalMs() - start, 1000);
    EXPECT_LT(clock.TotalMs() - start, 1200);
    EXPECT_LE(LongestRefillGap(start), 20);
    EXPECT_EQ(device.Lamps().size(), 100u);
}

TEST_F(HidBoxTimeout, APipelinedLampWaitsForTheOutstandingReadUpToTwoSeconds)
{
    auto& device = hid.Plug(1, "1-1");
    device.silent = true;
    C_HID box;
    Open(box, 2);
    ASSERT_EQ(box.QuorRead(0, 1, 0), 0); // the read stays outstanding

    std::int64_t start = clock.TotalMs();
    EXPECT_EQ(box.QuorWrite(7), 0);
    EXPECT_GT(clock.TotalMs() - start, 2000);
    EXPECT_LE(clock.TotalMs() - start, 2020);
    EXPECT_LE(LongestRefillGap(start), 20);
    EXPECT_TRUE(device.Lamps().empty());
    EXPECT_EQ(Logged("QuorWrite wait for ReadRequested Err"), 1);

    // A box that answers within the wait gets its lamp right after.
    auto& slow = hid.Plug(2, "1-2");
    slow.answerMs = 30;
    slow.codes = {4};
    C_HID other;
    Open(other, 2, 2);
    ASSERT_EQ(other.QuorRead(0, 1, 0), 0);
    start = clock.TotalMs();
    EXPECT_EQ(other.QuorWrite(7), 1);
    EXPECT_GE(clock.TotalMs() - start, 30);
    EXPECT_LT(clock.TotalMs() - start, 40);
    EXPECT_EQ(slow.Lamps().size(), 1u);
    // The answer that came meanwhile is the next poll's.
    EXPECT_EQ(other.QuorRead(0, 1, 0), 4);
}

TEST_F(HidBoxTimeout, AfterAPipelinedLampGaveUpTheNextLampsGoOutAtOnce)
{
    auto& device = hid.Plug(1, "1-1");
    device.silent = true;
    C_HID box;
    Open(box, 2);
    box.SetReadRetrialCount(4);
    ASSERT_EQ(box.QuorRead(0, 1, 0), 0);
    std::int64_t start = clock.TotalMs();
    EXPECT_EQ(box.QuorWrite(7), 0);
    EXPECT_GT(clock.TotalMs() - start, 2000);

    // The unanswered inquiry costs its two seconds once, not once per lamp.
    start = clock.TotalMs();
    for (int lamp = 8; lamp < 28; ++lamp) {
        EXPECT_EQ(box.QuorWrite(lamp), 1) << lamp;
    }
    EXPECT_LT(clock.TotalMs() - start, 100);
    EXPECT_EQ(device.Lamps().size(), 20u);
    EXPECT_EQ(Logged("QuorWrite wait for ReadRequested Err"), 1);

    // The read notices its cancelled transfer, asks again and, the box
    // staying silent, still ends in a failure that arms the reset.
    int result = 0;
    int polls = 0;
    while (result == 0 && polls < 40) {
        result = box.QuorRead(0, 1, 0);
        ++polls;
        clock.Advance(50);
    }
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Logged("HID Inquiry Not Requsted"), 1);
}

TEST_F(HidBoxTimeout, NotificationsOnlyWhenAskedFor)
{
    hid.Plug(1, "1-1").silent = true;
    C_HID box;
    Open(box, 1);
    std::vector<int> codes;
    box.NotifyProc = [&](std::int32_t code) { codes.push_back(code); };
    box.QuorRead(0, 1, 0);
    EXPECT_TRUE(codes.empty());

    box.SetRaiseNotify(1);
    box.QuorRead(0, 1, 0);
    // The inquiry is written, the read starts, waits and times out.
    EXPECT_EQ(codes, (std::vector<int>{C_HID::NotifyWriteStarts, C_HID::NotifyReadStarts, C_HID::NotifyWaiting,
                                       C_HID::NotifyTimedOut}));
}

TEST_F(HidBoxTimeout, AnUnpluggedBoxFailsAtOnceInEveryMode)
{
    for (const int mode : {0, 1, 2}) {
        SCOPED_TRACE(mode);
        auto& device = hid.Plug(1, "2-" + std::to_string(mode + 1));
        C_HID box;
        ASSERT_EQ(box.HidInit(64, 1, mode, mode), 1);
        box.SetLogError(1);
        device.gone = true;
        const std::int64_t start = clock.TotalMs();
        EXPECT_EQ(box.QuorRead(0, 1, 0), -1);
        EXPECT_EQ(box.QuorWrite(7), 0);
        EXPECT_LT(clock.TotalMs() - start, 50);
    }
    EXPECT_EQ(Logged("HID InquiryRequst err"), 3);
}

TEST_F(HidBoxTimeout, ABoxClosedInsideAWaitEndsTheWait)
{
    hid.Plug(1, "1-1").silent = true;
    C_HID box;
    Open(box, 1);
    int pumpsSeen = 0;
    onPump = [&] {
        if (++pumpsSeen == 5) {
            box.HidClose();
        }
    };
    const std::int64_t start = clock.TotalMs();
    EXPECT_EQ(box.QuorRead(0, 1, 0), 0);
    EXPECT_LT(clock.TotalMs() - start, 50);
    EXPECT_EQ(box.HIDFilename(), "");
    EXPECT_EQ(box.WhileReadFile(), 0);
    EXPECT_EQ(Logged("HID ReadRequest err1"), 0);
}

} // namespace
