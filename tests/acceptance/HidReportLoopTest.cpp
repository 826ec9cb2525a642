// Damaged input reports from a USB box of the maker: short, long, for other
// ports, with any bytes. The box object never crashes and every read gives
// a value a caller can act on (-1 failure, else 0..255).
#include "CorruptionLoop.h"

#include "foundation/ModuleValues.h"
#include "remote/C_HID.h"
#include "support/ClockFixture.h"
#include "support/FakeHidBox.h"

#include <gtest/gtest.h>

namespace {

using namespace acceptance;

// Bytes of a case: the box's input report length, the access mode, then the
// answers, each a length byte and that many bytes.
Bytes Case(std::uint8_t inputLength, std::uint8_t mode, std::initializer_list<Bytes> answers)
{
    Bytes bytes{inputLength, mode};
    for (const Bytes& answer : answers) {
        bytes.push_back(static_cast<std::uint8_t>(answer.size()));
        bytes.insert(bytes.end(), answer.begin(), answer.end());
    }
    return bytes;
}

class HidReports : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        SetNow(Date(2026, 3, 2), At(10, 0, 0));
        savedLogError_ = basic::LogError;
        basic::LogError = 0;
    }
    void TearDown() override { basic::LogError = savedLogError_; }

    void Check(std::span<const std::uint8_t> input)
    {
        testsupport::FakeHidTransport hid(clock);
        auto& device = hid.Plug(1, "1-1");
        device.inputLength = 3 + (input.size() > 0 ? input[0] % 62 : 0);
        device.padReplies = false;
        const int mode = input.size() > 1 ? input[1] % 3 : 0;
        std::size_t at = 2;
        while (at < input.size()) {
            const std::size_t length = std::min<std::size_t>(input[at], input.size() - at - 1);
            device.replies.emplace_back(input.begin() + static_cast<std::ptrdiff_t>(at + 1),
                                        input.begin() + static_cast<std::ptrdiff_t>(at + 1 + length));
            at += 1 + length;
        }
        device.codes = {12, 255, 0};
        const std::size_t answers = device.replies.size() + 2;

        C_HID box;
        ASSERT_EQ(box.HidInit(64, 1, mode, 0), 1);
        box.SetTimeoutMS(50);
        for (std::size_t i = 0; i < answers; ++i) {
            const int statusRequest = static_cast<int>(i % 4 == 3);
            const int result = box.QuorRead(statusRequest, static_cast<int>(i % 2), static_cast<int>(i % 8));
            EXPECT_GE(result, -1);
            EXPECT_LE(result, 255);
            // A box that has failed too often may refuse lamps; it never fails otherwise.
            const int written = box.QuorWrite(static_cast<int>(1 + i % 250), static_cast<int>(i));
            EXPECT_TRUE(written == 0 || written == 1);
        }
        // Closed, it answers nothing.
        box.HidClose();
        EXPECT_EQ(box.QuorRead(0, 1, 0), 0);
    }

    static const CorruptionKind& Kind()
    {
        static const CorruptionKind kind{"hid",
                                         {Case(0, 0, {{0, 0, 12}, {0, 1, 0}, {0, 3, 255}, {0, 0, 0}}),
                                          Case(6, 1, {{0, 0, 7, 0, 0, 0, 0, 0, 0}, {0, 2, 0xFD}}),
                                          Case(61, 2, {{0, 0, 12}, {0, 0, 13}, {1, 7, 200}, {0, 0, 255}})},
                                         2048};
        return kind;
    }

private:
    int savedLogError_ = 0;
};

TEST_F(HidReports, CorruptionLoop)
{
    RunCorruptionLoop(Kind(), [this](std::span<const std::uint8_t> input) { Check(input); });
}

TEST_F(HidReports, RegressCases)
{
    ReplayRegressCases(Kind().name, [this](std::span<const std::uint8_t> input) { Check(input); });
}

} // namespace
