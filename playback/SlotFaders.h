#pragma once

#include <cstdint>

// The volume level of each player slot as its fader holds it, in 1/100 dB
// (-MaxAtt silent .. Top full level). The fades move these levels one step per
// tick and set the player's Attenuation from them.
class SlotFaders {
public:
    virtual ~SlotFaders() = default;
    virtual std::int32_t Level(int slot) = 0;
    virtual void SetLevel(int slot, std::int32_t level) = 0;
    // The level at the top of the slot's fader (full level).
    virtual std::int32_t Top(int slot) = 0;
};
