#include "audio/InertPlayer.h"

#include <gtest/gtest.h>

namespace {

// A slot whose player failed or was released: every caller's "not playing"
// path must simply run.
TEST(InertPlayer, NeverStartsAndReadsAsStoppedWithNothingLoaded)
{
    const auto player = InertPlayer::Make();
    player->SetFileName("/no/such/file.wav");
    player->SetFromMS(1000);
    player->SetAttenuation(-1200);
    EXPECT_EQ(player->Play(), 0);
    EXPECT_EQ(player->mode(), 1);
    EXPECT_EQ(player->Length(), 0);
    EXPECT_EQ(player->FileName(), "");
    EXPECT_EQ(player->Position(), 0);
    EXPECT_EQ(player->Position(2), 0);
    EXPECT_EQ(player->WhileMute(), 0);
    EXPECT_EQ(player->Peak(0), 0);
    EXPECT_EQ(player->RMS(1), 0);
    EXPECT_EQ(player->ProgressionPlay(), 0);
    EXPECT_FLOAT_EQ(player->PlaySpeed(), 1.0f);
    player->Pause();
    EXPECT_EQ(player->mode(), 1);
    player->StopIO();
    player->CloseWave();
    EXPECT_EQ(player->mode(), 1);
}

} // namespace
