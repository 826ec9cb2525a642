// The players are made ready for their first start (their sound cards
// opened, their buffers faulted in) once the window is up, so that the first
// press is as quick as the next; and again when the configuration dialog's
// OK rebuilds them, so that the first press after it is too.
#include "AssembledFixture.h"

#include "audio/Player.h"
#include "mainwindow/OutputPlayers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

using apptest::AssembledFixture;

// A player that notes each time it is made ready, and whether the window
// showed then.
class ReadiedPlayer final : public Player {
public:
    explicit ReadiedPlayer(const QWidget& window) : window_(window) {}
    void OpenDeviceAhead() override
    {
        ++readied;
        windowShown = window_.isVisible();
    }
    int readied = 0;
    bool windowShown = false;

private:
    const QWidget& window_;
};

class PlayersReady : public AssembledFixture {
protected:
    void SetUp() override
    {
        AssembledFixture::SetUp();
        OutputPlayers::SetMaker([this](std::int32_t) { return std::make_unique<ReadiedPlayer>(Window()); });
    }
    // Each player of the window, made ready exactly once with the window shown.
    void ExpectEachReadiedOnceWithTheWindowUp()
    {
        ASSERT_FALSE(State().Players.empty());
        for (const auto& player : State().Players) {
            const auto* readied = dynamic_cast<const ReadiedPlayer*>(player.get());
            ASSERT_NE(readied, nullptr);
            EXPECT_EQ(readied->readied, 1);
            EXPECT_TRUE(readied->windowShown);
        }
    }
};

TEST_F(PlayersReady, AtTheStartOnceTheWindowIsUpAndAgainAfterTheConfigurationRebuildsThem)
{
    ASSERT_TRUE(Start(2));
    ExpectEachReadiedOnceWithTheWindowUp();
    const std::vector<const Player*> before = {State().Players[0].get(), State().Players[1].get()};

    // The configuration dialog's OK with a third output.
    Store("NumOut", "3");
    Window().ReapplyConfiguration();
    ASSERT_EQ(State().Players.size(), 3U);
    EXPECT_NE(State().Players[0].get(), before[0]) << "rebuilt";
    ExpectEachReadiedOnceWithTheWindowUp();
}

} // namespace
