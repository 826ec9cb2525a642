// A seeded corruption loop over what reaches the remote side from outside:
// ".rrs" lines with numbers at the ends of 32 bits, box channel settings and
// box codes at their extremes, status reports with any index. Nothing may
// reach playback for an output, button or page that does not exist, and the
// run must stay free of sanitizer reports.
#include "remote/RemoteAssignTable.h"
#include "tests/remote/RemoteControlFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using remotetest::RemoteControlTest;

constexpr std::int32_t Min32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t Max32 = std::numeric_limits<std::int32_t>::max();
constexpr int Cases = 400;

class RemoteCorruption : public RemoteControlTest {
protected:
    std::int32_t Extreme()
    {
        static constexpr std::int32_t values[] = {Min32, Max32, 0, -1, 1, 4, 5, 20, 21, 100, 101, 255, 256};
        std::uniform_int_distribution<std::size_t> pick(0, std::size(values));
        const std::size_t at = pick(random);
        if (at == std::size(values)) {
            return std::uniform_int_distribution<std::int32_t>(Min32, Max32)(random);
        }
        return values[at];
    }
    std::string Field()
    {
        switch (std::uniform_int_distribution<int>(0, 5)(random)) {
        case 0:
            return "ch" + std::to_string(Extreme());
        case 1:
            return "CH" + std::to_string(Extreme()) + ".5";
        case 2:
            return "9999999999";
        case 3:
            return "";
        default:
            return std::to_string(Extreme());
        }
    }
    std::string FunctionName()
    {
        static const char* names[] = {
            "PAGE_ON",  "page_off",      "BUTTON_ON", "BUTTON_STBY", "PLAY_ON", "STOP_OFF", "LINEOUTSTATUS_ON",
            "PAUSE_ON", "STBY_ACTIVATE", "PAGE_PLUS", "LIST_DOWN",   "FCTNA",   "other",    ""};
        return names[std::uniform_int_distribution<std::size_t>(0, std::size(names) - 1)(random)];
    }
    std::string RrsText()
    {
        std::string text;
        const int lines = std::uniform_int_distribution<int>(1, 6)(random);
        for (int n = 0; n < lines; ++n) {
            char key[32];
            std::snprintf(key, sizeof key, "Button_%02d-%03d", std::uniform_int_distribution<int>(0, 5)(random),
                          std::uniform_int_distribution<int>(0, 999)(random) % 300);
            text +=
                "\"" + std::string(key) + "\",\"" + Field() + "\",\"" + FunctionName() + "\",\"" + Field() + "\"\r\n";
        }
        return text;
    }
    // Every call playback received names an output that exists, and a
    // button of its page or one of the 20 pages.
    void ExpectOnlyExistingTargets(int caseNumber)
    {
        for (const std::string& call : targets.calls) {
            std::istringstream words(call);
            std::string name;
            char comma = 0;
            int output = -1;
            int second = 0;
            words >> name >> output;
            EXPECT_GE(output, 0) << caseNumber << ": " << call;
            EXPECT_LT(output, window.State.NumOut) << caseNumber << ": " << call;
            if (output < 0 || output >= window.State.NumOut) {
                continue;
            }
            if (name == "Pon" && words >> comma >> second) {
                EXPECT_GE(second, 0) << caseNumber << ": " << call;
                EXPECT_LT(second, window.State.ButtonsPerPage[static_cast<std::size_t>(output)])
                    << caseNumber << ": " << call;
            } else if (name == "ChangePage" && words >> comma >> second) {
                EXPECT_GE(second, 0) << caseNumber << ": " << call;
                // Pages 1..20 pass on unchanged; the page change itself
                // refuses those beyond PageNum.
                EXPECT_LT(second, 20) << caseNumber << ": " << call;
            }
        }
        targets.calls.clear();
    }
    // Every entry holds an output 0..3 and a page or button in range, or the
    // default its channel setting gives.
    void ExpectEntriesInRange(const std::array<std::int32_t, RemoteChannels>& channelOutputs, int caseNumber)
    {
        RemoteAssignTableData defaults{};
        remote::SetRemoteAssignDefaults(defaults, channelOutputs);
        for (std::size_t i = 0; i < defaults.size(); ++i) {
            const RemoteAssignEntry& entry = window.State.RemoteAssignTable[i];
            if (entry == defaults[i]) {
                continue;
            }
            EXPECT_GE(entry.Output, 0) << caseNumber << " entry " << i;
            EXPECT_LE(entry.Output, 3) << caseNumber << " entry " << i;
            if (entry.Function == RemoteFunction::PageOn) {
                EXPECT_TRUE(entry.Value >= 1 && entry.Value <= 20) << caseNumber << " entry " << i;
            } else if (entry.Function == RemoteFunction::ButtonOn) {
                EXPECT_TRUE(entry.Value >= 1 && entry.Value <= 100) << caseNumber << " entry " << i;
            }
        }
    }

    std::mt19937 random{20261207};
};

TEST_F(RemoteCorruption, ExtremeRrsValuesBoxSettingsAndCodesReachNothingThatDoesNotExist)
{
    Init();
    window.State.NumOut = 3;
    window.State.ButtonsPerPage = {100, 32, 16, 0};
    window.State.UseLineOutLock = 1;
    for (auto& record : window.State.ButtonTable) {
        record.FileName = "x.wav";
    }
    for (int caseNumber = 0; caseNumber < Cases; ++caseNumber) {
        logs.Write("tolv.rrs", RrsText());
        std::array<std::int32_t, RemoteChannels> channelOutputs{};
        for (int n = 1; n <= RemoteChannels; ++n) {
            const std::int32_t setting = Extreme();
            basic::SaveSetting("HIDCh_" + std::to_string(n), std::to_string(setting));
            channelOutputs[static_cast<std::size_t>(n - 1)] = std::max(0, setting);
        }
        control->InitRemoteDevices();
        ExpectEntriesInRange(channelOutputs, caseNumber);

        window.State.TallyInvert = Extreme();
        for (int channel = 0; channel < RemoteChannels; ++channel) {
            for (const int code : {Extreme(), Extreme(), std::uniform_int_distribution<int>(0, 255)(random)}) {
                control->CheckUSB2(channel, code);
            }
            control->Dispatcher().ContactInput(Extreme());
            control->Dispatcher().ExecRemoteCommand(Extreme(), Extreme(), Extreme());
        }
        control->SendRemoteCommand(Extreme(), Extreme(), Extreme());
        control->SendRemoteCommand(std::uniform_int_distribution<int>(0, 3)(random),
                                   std::uniform_int_distribution<int>(-1, 23)(random), Extreme());
        control->SendRemoteListStatus(Extreme(), Extreme());
        control->SetOutputLock(Extreme());
        control->Dispatcher().SetStartDelay(Extreme());
        control->Dispatcher().TickDelayedStarts();
        ExpectOnlyExistingTargets(caseNumber);
        if (HasFailure()) {
            break;
        }
    }
}

} // namespace
