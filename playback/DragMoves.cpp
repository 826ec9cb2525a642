#include "playback/DragMoves.h"

#include <utility>

namespace playback::dragmoves {

namespace {

struct Ledger {
    bool running = false;
    bool answered = false;
    std::vector<std::size_t> taken;
};

Ledger& Current()
{
    static Ledger ledger;
    return ledger;
}

} // namespace

void Begin()
{
    Current() = Ledger{true, false, {}};
}

void Answered()
{
    if (Current().running) {
        Current().answered = true;
    }
}

void Took(std::size_t index)
{
    if (Current().running) {
        Current().answered = true;
        Current().taken.push_back(index);
    }
}

std::optional<std::vector<bool>> End(std::size_t files)
{
    const Ledger ended = std::exchange(Current(), Ledger{});
    if (!ended.running || !ended.answered) {
        return std::nullopt;
    }
    std::vector<bool> taken(files, false);
    for (const std::size_t index : ended.taken) {
        if (index < files) {
            taken[index] = true;
        }
    }
    return taken;
}

} // namespace playback::dragmoves
