#pragma once

#include "remote/RemoteTargets.h"

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace remotetest {

// Records what the dispatcher asks of playback, one text per call.
class RecordingTargets final : public RemoteTargets {
public:
    std::vector<std::string> calls;
    std::array<bool, 4> armed{};
    int itemCount = 0;
    int selected = -1;

    void Pon(int output, int button, int fromStandby, std::int32_t startMs, int noTick) override
    {
        Add("Pon " + Args({output, button, fromStandby, startMs, noTick}));
    }
    void StopOutput(int output) override { Add("StopOutput " + Args({output})); }
    void PlayButtonsClicked(int output, int button) override { Add("PlayButtons " + Args({output, button})); }
    void PlayStandby(int output, int fromTimer) override { Add("PlayStandby " + Args({output, fromTimer})); }
    void ChangePage(int output, int page, int all) override { Add("ChangePage " + Args({output, page, all})); }
    void StbyLabelClicked(int output) override { Add("StbyLabel " + Args({output})); }
    void SetOutputLock(int output) override { Add("SetOutputLock " + Args({output})); }
    bool TimerArmed(int output) override { return armed[static_cast<std::size_t>(output)]; }
    int ListItemCount(int) override { return itemCount; }
    int ListSelectedItem(int) override { return selected; }
    void ListSelectAndClick(int output, int row) override
    {
        selected = row;
        Add("ListClick " + Args({output, row}));
    }

    void ListSelect(int output, int row) override { Add("ListSelect " + Args({output, row})); }
    void RefreshButtons(int output, int all) override { Add("RefreshButtons " + Args({output, all})); }

    std::string Take()
    {
        std::string all;
        for (const std::string& call : calls) {
            all += (all.empty() ? "" : "; ") + call;
        }
        calls.clear();
        return all;
    }

private:
    void Add(std::string text) { calls.push_back(std::move(text)); }
    static std::string Args(std::initializer_list<int> values)
    {
        std::string text;
        for (const int value : values) {
            text += (text.empty() ? "" : ",") + std::to_string(value);
        }
        return text;
    }
};

} // namespace remotetest
