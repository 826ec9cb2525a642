#include "ApplyFixture.h"

#include "audio/C_DShow.h"
#include "audio/C_DSound.h"
#include "audio/C_FGraph.h"
#include "audio/C_MCI.h"
#include "audio/C_WaveOut.h"
#include "audio/InertPlayer.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "mainwindow/ApplyRules.h"
#include "mainwindow/OutputPlayers.h"
#include "mainwindow/SettingReaders.h"

#include <QMenu>

#include <gmock/gmock.h>

#include <stdexcept>
#include <typeinfo>

namespace {

using shelltest::ApplyFixture;
using testing::ElementsAre;
using testing::HasSubstr;
using Outcome = FrmMain::StartOutcome;

TEST(ApplyRules, ClampsOfTheTickPagesAndPageButtons)
{
    EXPECT_EQ(ApplyRules::TimerInt(0), 1);
    EXPECT_EQ(ApplyRules::TimerInt(1000), 500);
    EXPECT_EQ(ApplyRules::TimerInt(50), 50);
    EXPECT_EQ(ApplyRules::PageNum(0), 1);
    EXPECT_EQ(ApplyRules::PageNum(25), 20);
    EXPECT_EQ(ApplyRules::PageButtonWidth(0), 15);
    EXPECT_EQ(ApplyRules::PageButtonWidth(9999), 500);
    EXPECT_EQ(ApplyRules::PageButtonWidth(31), 31);
}

TEST(ApplyRules, ThreeOutputsStayOnlyOnTheBackEndsWithOnePlayerPerOutput)
{
    const struct {
        int type, outputs, playersPerOutput, singlePlayer, useSamplePos, forcedUseVol, maxAtt;
    } rows[] = {
        {0, 1, 3, 0, 1, 1, 10000}, {1, 1, 3, 0, 0, 1, 10000}, {2, 1, 1, 1, 0, 0, 4000},
        {3, 3, 1, 1, 1, -1, 4000}, {4, 3, 1, 1, 0, 1, 10000}, {5, 1, 3, 0, 0, 1, 10000},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        const ApplyRules::BackEndValues values = ApplyRules::ForPlayerType(row.type);
        EXPECT_EQ(ApplyRules::NumOut(3, row.type), row.outputs);
        EXPECT_EQ(values.PlayersPerOutput, row.playersPerOutput);
        EXPECT_EQ(values.SinglePlayer, row.singlePlayer);
        EXPECT_EQ(values.UseSamplePos, row.useSamplePos);
        EXPECT_EQ(values.ForcedUseVol, row.forcedUseVol);
        EXPECT_EQ(values.MaxAtt, row.maxAtt);
    }
    EXPECT_EQ(ApplyRules::NumOut(9, 3), 4);
    EXPECT_EQ(ApplyRules::NumOut(0, 3), 1);
    EXPECT_EQ(ApplyRules::ValidPlayerType(7), 3);
    EXPECT_EQ(ApplyRules::ValidPlayerType(-1), 3);
}

TEST(ApplyRules, SyncDriveSplitsAtTheFirstSemicolonOnly)
{
    EXPECT_EQ(ApplyRules::SyncDrive("/media/a;/mnt/b"), (std::pair<std::string, std::string>{"/media/a", "/mnt/b"}));
    EXPECT_EQ(ApplyRules::SyncDrive("a;b;c"), (std::pair<std::string, std::string>{"a", "b;c"}));
    EXPECT_EQ(ApplyRules::SyncDrive("/media/a"), (std::pair<std::string, std::string>{}));
    EXPECT_EQ(ApplyRules::SyncDrive(""), (std::pair<std::string, std::string>{}));
}

TEST(ApplyRules, UnitHeightFallsOnWholePixels)
{
    // 90 twips: six pixels of 15 twips, or seven whole pixels of 12 (84).
    EXPECT_EQ(ApplyRules::UnitHeight(1.0F, 15), 90);
    EXPECT_EQ(ApplyRules::UnitHeight(1.0F, 12), 84);
    // 117 twips: 105 at 15, 108 at 12.
    EXPECT_EQ(ApplyRules::UnitHeight(1.3F, 15), 105);
    EXPECT_EQ(ApplyRules::UnitHeight(1.3F, 12), 108);
    // 90 x 1.25 = 112.5 rounds to 112 (half to even), 105 at 15 and 108 at 12.
    EXPECT_EQ(ApplyRules::UnitHeight(1.25F, 15), 105);
    EXPECT_EQ(ApplyRules::UnitHeight(1.25F, 12), 108);
}

class SettingsApplyTest : public ApplyFixture {};

TEST_F(SettingsApplyTest, StoredValuesAreClampedAndTextsThatAreNoNumbersTakeTheirDefaults)
{
    Store("TimerInt", "1000");
    Store("PageNum", "0");
    Store("PageButtonWidth", "3");
    Store("SizeRate_1", "0");
    Store("SizeRate_2", "big");
    Store("NoPlayMS", "soon");
    Store("SyncDrive", "/media/a;/media/b");
    Store("SoundDrive", "");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(parms::TimerInt, 500);
    EXPECT_EQ(window->State.PageNum, 1);
    EXPECT_EQ(window->State.PageButtonWidth, 15);
    EXPECT_FLOAT_EQ(parms::SizeRate[0], 1.0F);
    EXPECT_FLOAT_EQ(parms::SizeRate[1], 1.3F);
    EXPECT_EQ(window->State.NoPlayMS, 0);
    EXPECT_EQ(window->State.SyncDrive, (std::pair<std::string, std::string>{"/media/a", "/media/b"}));
    EXPECT_EQ(window->State.SoundDriveCount, 0);
    EXPECT_THAT(ErrorLog(), HasSubstr("NoPlayMS \"soon\""));
    EXPECT_THAT(ErrorLog(), HasSubstr("SizeRate_2 \"big\""));
}

// A size stored beyond what the window can be drawn at (an edited or older
// file) is read as the nearest one it can, with a line naming the stored text.
TEST_F(SettingsApplyTest, AWindowSizeStoredBeyondItsLimitsIsReadAsTheNearestWithALogLine)
{
    Store("SizeRate_1", "100000000.00");
    Store("SizeRate_2", "0.01");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_FLOAT_EQ(parms::SizeRate[0], MainSettings::LargestSizeFactor);
    EXPECT_FLOAT_EQ(parms::SizeRate[1], 0.01F) << "the smallest stored size is taken as it is";
    EXPECT_THAT(ErrorLog(), HasSubstr("SizeRate_1 \"100000000.00\""));
    EXPECT_THAT(ErrorLog(), testing::Not(HasSubstr("SizeRate_2")));
}

TEST_F(SettingsApplyTest, APlayerTypeOutsideTheBackEndsIsWaveOutWithALogLine)
{
    Store("PlayerType", "9");
    Store("NumOut", "2");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(parms::PlayerType, 3);
    ASSERT_EQ(window->State.PlayerCount, 2);
    EXPECT_NE(dynamic_cast<C_WaveOut*>(window->State.Players[1].get()), nullptr);
    EXPECT_THAT(ErrorLog(), HasSubstr("PlayerType 9 is not 0..5"));
}

TEST_F(SettingsApplyTest, EachBackEndMakesItsPlayersForItsOutputs)
{
    ASSERT_EQ(Start(), Outcome::Running);
    const struct {
        int type, outputs, players;
        const std::type_info& kind;
    } rows[] = {
        {0, 1, 3, typeid(C_DSound)}, {1, 1, 3, typeid(C_DShow)}, {2, 1, 1, typeid(C_MCI)},
        {3, 3, 3, typeid(C_WaveOut)}, {4, 3, 3, typeid(C_FGraph)}, {5, 1, 3, typeid(C_FGraph)},
    };
    Store("NumOut", "3");
    for (const auto& row : rows) {
        SCOPED_TRACE(row.type);
        Store("PlayerType", std::to_string(row.type));
        window->ApplySettings(0);
        EXPECT_EQ(window->State.NumOut, row.outputs);
        ASSERT_EQ(window->State.PlayerCount, row.players);
        ASSERT_EQ(window->State.Players.size(), static_cast<std::size_t>(row.players));
        for (const auto& player : window->State.Players) {
            const Player& held = *player;
            EXPECT_EQ(typeid(held), row.kind);
        }
    }
}

TEST_F(SettingsApplyTest, TheReducedFormKeepsPlayersOutputsAndPagesAndTheFullFormTakesTheNewOnes)
{
    Store("PlayerType", "3");
    Store("NumOut", "2");
    Store("PageNum", "10");
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(window->State.PlayerCount, 2);
    const Player* first = window->State.Players[0].get();
    const Player* second = window->State.Players[1].get();
    window->State.CurrentPage[1] = 4;
    Store("PlayerType", "4");
    Store("NumOut", "3");
    Store("IsList_2", "1");
    Store("PageNum", "5");
    ports.Log.Clear();

    window->ApplySettings(1);
    EXPECT_EQ(parms::PlayerType, 3);
    EXPECT_EQ(window->State.NumOut, 2);
    EXPECT_EQ(window->State.Players[0].get(), first);
    EXPECT_EQ(window->State.Players[1].get(), second);
    EXPECT_EQ(parms::IsList[1], 0);
    EXPECT_EQ(window->State.PageNum, 10);
    EXPECT_EQ(window->State.CurrentPage[1], 4);
    // No remote set-up, no status burst, no page change, counters redrawn.
    EXPECT_TRUE(ports.Log.Starting("InitRemoteDevices").empty());
    EXPECT_TRUE(ports.Log.Starting("SendRemoteCommand").empty());
    EXPECT_TRUE(ports.Log.Starting("ChangePage").empty());
    EXPECT_TRUE(ports.Log.Starting("MonitorWindow").empty()) << "the monitor window keeps its player";
    EXPECT_THAT(ports.Log.Starting("UpdateCounter"), ElementsAre("UpdateCounter 0 0", "UpdateCounter 1 0"));

    window->ApplySettings(0);
    EXPECT_EQ(parms::PlayerType, 4);
    EXPECT_EQ(window->State.NumOut, 3);
    ASSERT_EQ(window->State.Players.size(), 3u);
    for (const auto& player : window->State.Players) {
        EXPECT_NE(dynamic_cast<C_FGraph*>(player.get()), nullptr);
    }
    EXPECT_EQ(parms::IsList[1], 1);
    EXPECT_EQ(window->State.ListOutputCount, 1);
    EXPECT_EQ(window->State.PageNum, 5);
    EXPECT_EQ(window->State.CurrentPage[1], 0);
    EXPECT_THAT(ports.Log.Starting("ChangePage"), ElementsAre("ChangePage 0 0 1"));
}

TEST_F(SettingsApplyTest, FourWaveOutOutputsPlayEachOnItsOwnDevice)
{
    Store("PlayerType", "3");
    Store("NumOut", "4");
    for (int n = 1; n <= 4; ++n) {
        Store("DeviceWave_" + std::to_string(n), "Null " + std::to_string(n));
    }
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(window->State.PlayerCount, 4);
    for (int slot = 0; slot < 4; ++slot) {
        auto* player = dynamic_cast<C_WaveOut*>(window->State.Players[static_cast<std::size_t>(slot)].get());
        ASSERT_NE(player, nullptr);
        EXPECT_EQ(player->DeviceID(), slot + 1);
        EXPECT_EQ(player->VolMinLevel(), -4000);
    }

    const auto playAll = [this] {
        for (int slot = 0; slot < 4; ++slot) {
            Player& player = *window->State.Players[static_cast<std::size_t>(slot)];
            player.SetFileName(
                ConstantWave(program / ("out" + std::to_string(slot) + ".wav"), static_cast<std::int16_t>(1000 * (slot + 1))));
            ASSERT_EQ(player.Play(), 1);
        }
        RunPlayers(300);
    };
    const auto expectOwnSound = [this] {
        for (int device = 1; device <= 4; ++device) {
            SCOPED_TRACE(device);
            const float own = static_cast<float>(1000 * device) / 32768.0F;
            const std::vector<float> played = Played(device);
            int heard = 0;
            for (const float sample : played) {
                ASSERT_TRUE(sample == 0.0F || std::abs(sample - own) < 1e-4F) << sample;
                heard += sample != 0.0F ? 1 : 0;
            }
            EXPECT_GT(heard, 48000 / 10);
        }
    };
    playAll();
    expectOwnSound();

    window->ApplySettings(0);
    for (int device = 1; device <= 4; ++device) {
        EXPECT_EQ(OpenVoices(device), 0) << device;
    }
    // The sounds the rebuild closed fade out first.
    RunPlayers(10);
    for (int device = 1; device <= 4; ++device) {
        Played(device);
    }
    playAll();
    expectOwnSound();
    for (int device = 1; device <= 4; ++device) {
        EXPECT_EQ(OpenVoices(device), 1) << device;
    }
}

TEST_F(SettingsApplyTest, StartupWavBesideTheProgramSoundsOnEveryPlayer)
{
    Store("PlayerType", "3");
    Store("NumOut", "4");
    for (int n = 1; n <= 4; ++n) {
        Store("DeviceWave_" + std::to_string(n), "Null " + std::to_string(n));
    }
    ConstantWave(program / "startup.wav", 3000);
    ASSERT_EQ(Start(), Outcome::Running);
    RunPlayers(300);
    for (int device = 1; device <= 4; ++device) {
        const std::vector<float> played = Played(device);
        const auto heard =
            std::count_if(played.begin(), played.end(), [](float s) { return std::abs(s - 3000.0F / 32768.0F) < 1e-4F; });
        EXPECT_GT(heard, 48000 / 10) << device;
    }
}

// Records the set-up calls a player receives, in order.
class RecordingPlayer final : public Player {
public:
    explicit RecordingPlayer(std::vector<std::string>& calls) : calls_(calls) {}
    void SetUseMixer(std::int32_t on) override { Add("UseMixer", on); }
    void SetBufferPagemsec(std::int32_t ms) override { Add("BufferPagemsec", ms); }
    void SetNumBufferPages(std::int32_t pages) override { Add("NumBufferPages", pages); }
    void SetNumDiskBufferPages(std::int32_t pages) override { Add("NumDiskBufferPages", pages); }
    void SetNumBufferToPlay(std::int32_t pages) override { Add("NumBufferToPlay", pages); }
    void SetNoClose(std::int32_t on) override { Add("NoClose", on); }
    void SetMuteMS(std::int32_t ms) override { Add("MuteMS", ms); }
    void SetDelayMS(std::int32_t ms) override { Add("DelayMS", ms); }
    void SetUsePeakVol(std::int32_t on) override { Add("UsePeakVol", on); }
    void SetVolMinLevel(std::int32_t level) override { Add("VolMinLevel", level); }
    void SetDeviceID(std::int32_t id) override { Add("DeviceID", id); }
    void SetExtDeviceID(std::int32_t index, std::int32_t id) override
    {
        calls_.push_back("SetExtDeviceID " + std::to_string(index) + " " + std::to_string(id));
    }
    void SetUseExtensible(std::int32_t on) override { Add("UseExtensible", on); }
    void Init() override { calls_.emplace_back("Init"); }
    void SetAttenuation(std::int32_t level) override { Add("Attenuation", level); }
    std::int32_t InitDS(QWidget*, std::int32_t device) override
    {
        Add("InitDS", device);
        return initDSResult;
    }
    int initDSResult = 1;

private:
    void Add(const char* name, std::int32_t value) { calls_.push_back(std::string(name) + " " + std::to_string(value)); }
    std::vector<std::string>& calls_;
};

TEST_F(SettingsApplyTest, TheWaveOutPlayerIsSetUpInItsOrderWithTheExtraDevicesOfItsOutput)
{
    std::vector<std::string> calls;
    OutputPlayers::SetMaker([&calls](std::int32_t) { return std::make_unique<RecordingPlayer>(calls); });
    Store("PlayerType", "3");
    Store("NumOut", "2");
    Store("UseVol", "1");
    Store("UseMixer", "0");
    Store("MuteMS", "300");
    Store("DeviceWave_2", "Null 2");
    Store("DeviceWave_2_3", "Null 4");
    ASSERT_EQ(Start(), Outcome::Running);
    const std::vector<std::string> second(calls.begin() + static_cast<std::ptrdiff_t>(calls.size() / 2), calls.end());
    EXPECT_THAT(second, ElementsAre("BufferPagemsec 70", "NumBufferPages 3", "NumDiskBufferPages 50",
                                    "NumBufferToPlay 10", "NoClose 1", "MuteMS 300", "DelayMS 0", "UsePeakVol 1",
                                    "VolMinLevel -4000", "DeviceID 2", "SetExtDeviceID 1 -1", "SetExtDeviceID 2 4",
                                    "SetExtDeviceID 3 -1", "UseExtensible 0", "Init", "Attenuation 0"));

    calls.clear();
    Store("UseMixer", "1");
    window->ApplySettings(0);
    EXPECT_THAT(std::vector<std::string>(calls.begin(), calls.begin() + 4),
                ElementsAre("UseMixer 1", "BufferPagemsec 150", "NumBufferPages 60", "NumDiskBufferPages 20"));
}

TEST_F(SettingsApplyTest, APlayerThatFailsItsSetUpLeavesAnInertPlayerAndALogLine)
{
    std::vector<std::string> calls;
    OutputPlayers::SetMaker([&calls](std::int32_t type) -> std::unique_ptr<Player> {
        if (type == 4) {
            throw std::runtime_error("no graph");
        }
        auto player = std::make_unique<RecordingPlayer>(calls);
        player->initDSResult = 0;
        return player;
    });
    Store("PlayerType", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    ASSERT_EQ(window->State.Players.size(), 3u);
    for (const auto& player : window->State.Players) {
        ASSERT_NE(dynamic_cast<InertPlayer*>(player.get()), nullptr);
        EXPECT_EQ(player->Play(), 0);
    }
    EXPECT_THAT(ErrorLog(), HasSubstr("slot 2 (PlayerType 0): InitDS -1 failed"));

    Store("PlayerType", "4");
    window->ApplySettings(0);
    ASSERT_EQ(window->State.Players.size(), 1u);
    EXPECT_NE(dynamic_cast<InertPlayer*>(window->State.Players[0].get()), nullptr);
    EXPECT_THAT(ErrorLog(), HasSubstr("no graph"));
}

TEST_F(SettingsApplyTest, CounterModesAreReadOnceAndSurviveRebuilds)
{
    Store("NumOut", "2");
    Store("DispLap_2", "0");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_EQ(window->State.DispLap[0], 1);
    EXPECT_EQ(window->State.DispLap[1], 0);
    window->State.DispLap[1] = 1;
    Store("NumOut", "1");
    window->ApplySettings(0);
    Store("NumOut", "2");
    window->ApplySettings(0);
    EXPECT_EQ(window->State.DispLap[1], 1);
}

TEST_F(SettingsApplyTest, TheMuteTailRunsTheTickOnlyWhileTheWindowRuns)
{
    ASSERT_EQ(Start(), Outcome::Running);
    ports.Log.Clear();
    Player& player = *window->State.Players[0];
    ASSERT_TRUE(player.MutingProc);
    player.MutingProc();
    window->State.Running = 0;
    player.MutingProc();
    EXPECT_THAT(ports.Log.Starting("TimerUpdate_Timer"), ElementsAre("TimerUpdate_Timer"));
}

TEST_F(SettingsApplyTest, TheFullFormEndsWithTheMonitorRemoteDevicesStatusBurstAndFirstPages)
{
    Store("NumOut", "2");
    Store("IsList_2", "1");
    Store("ModuleX_1", "2");
    Store("ModuleY_1", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    ports.Log.Clear();
    window->ApplySettings(0);
    const auto& calls = ports.Log.Calls();
    const auto from = std::find(calls.begin(), calls.end(), "MonitorWindow.Unload");
    ASSERT_NE(from, calls.end());
    EXPECT_LT(ports.Log.IndexOf("DisarmTimer -1"), ports.Log.IndexOf("MonitorWindow.Unload"));
    EXPECT_LT(ports.Log.IndexOf("SetOutputLock 1"), ports.Log.IndexOf("MonitorWindow.LoadHidden"));
    const int init = ports.Log.IndexOf("InitRemoteDevices");
    ASSERT_GT(init, ports.Log.IndexOf("MonitorWindow.LoadHidden"));
    const std::vector<std::string> tail(calls.begin() + init, calls.end());
    EXPECT_THAT(tail, ElementsAre("InitRemoteDevices", "SendRemoteCommand 0 10 0", "SendRemoteCommand 0 7 0",
                                  "SendRemoteListStatus 0 1", "SendRemoteCommand 0 3 0", "SendRemoteCommand 0 4 0",
                                  "SendRemoteCommand 0 3 1", "SendRemoteCommand 0 4 1", "SendRemoteCommand 0 12 1",
                                  "SendRemoteCommand 1 10 0", "SendRemoteCommand 1 7 0", "SendRemoteListStatus 1 1",
                                  "SendRemoteCommand 1 12 1", "ChangePage 0 0 1", "DrawKeyAssign"));
}

TEST_F(SettingsApplyTest, MenuItemsFollowTheirSettings)
{
    Store("DispDispBig", "2");
    Store("SeqItemType", "2");
    Store("DispButtonOption", "1");
    ASSERT_EQ(Start(), Outcome::Running);
    EXPECT_FALSE(window->MenuDispBig->isVisible());
    EXPECT_FALSE(window->MenuCache->At(1)->isVisible());
    EXPECT_TRUE(window->MenuRCButtonModeP->menuAction()->isVisible());
    EXPECT_EQ(parms::SeqMarkText, basic::LangMode == 1 ? "S" : "▼");
    Store("DispDispBig", "1");
    Store("PlayerType", "4");
    window->ApplySettings(0);
    EXPECT_TRUE(window->MenuDispBig->isVisible());
    EXPECT_FALSE(window->MenuRCButtonModeP->menuAction()->isVisible());
}

} // namespace
