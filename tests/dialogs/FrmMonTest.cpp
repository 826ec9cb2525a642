// The monitor window on a null device, on virtual time: a wave of 12 s with
// the standby mark at 2 s and the end mark at 10 s plays its 8 s range.
#include "dialogs/FrmMon.h"

#include "DialogInput.h"
#include "audio/C_MCI.h"
#include "audio/C_WaveOut.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "controls/UC_TextPicture.h"
#include "dialogs/MonitorWindow.h"
#include "dialogs/MonitorWindowHost.h"
#include "foundation/Language.h"
#include "foundation/ModuleValues.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "platform/TextBox.h"
#include "platform/audio/AudioSystem.h"
#include "support/AudioTestSignals.h"
#include "support/ClockFixture.h"
#include "support/Gallery.h"
#include "support/ImageInk.h"
#include "support/NullOutputs.h"
#include "support/RiffFileBuilder.h"
#include "support/ScratchFolder.h"

#include <QApplication>

#include <gmock/gmock.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace platform::audio;
using testing::HasSubstr;
using testsupport::Bytes;
using testsupport::RiffFileBuilder;

constexpr int Rate = 48000;

// Records what the window hands to the main window.
class RecordingHost final : public MonitorWindowHost {
public:
    std::string GetLocalFilename(std::string_view) override { return localName; }
    void EditSound(const MonitorItem& item) override { edited.push_back(item.File); }
    void TakeBack(const MonitorItem& item, QWidget*) override
    {
        takenBack.push_back(item);
        exchanges.push_back(parms::MonitorExchange);
    }
    std::string localName;
    std::vector<std::string> edited;
    std::vector<MonitorItem> takenBack;
    std::vector<parms::MonitorExchangeValues> exchanges;
};

class MonitorWindowTest : public testsupport::ClockFixture {
protected:
    void SetUp() override
    {
        savedTwips_ = basic::TwipsPerPixel;
        basic::TwipsPerPixel = 15;
        basic::LangMode = 1;
        basic::CueActive = {1, 1, 1};
        parms::PlayerType = 3;
        parms::UsePause = 1;
        parms::DispBarTime = 1;
        parms::DispButtonOption = 1;
        parms::UseListSeq = 1;
        parms::UseListStartMS = 1;
        parms::EditApp.clear();
        parms::MonitorExchange = {};
        parms::SeqMarkText = "S";
        parms::ModeCaption = {{{"", "Normal"}, {"M", "Momentary"}, {"L", "Latch"}, {"T", "Toggle"}}};
        basic::SaveSetting("DispLapMon", 1);
        basic::SaveSetting("DeviceWaveMon", "");
        basic::SaveSetting("SelDir", "");
        testsupport::InstallNullOutputs(2, Rate, 2);
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            messages.push_back(request.text);
            EXPECT_EQ(request.title, "");
            EXPECT_EQ(request.style & 0x70, platform::IconStop);
            return platform::IdOk;
        });
        cued = Sound("cued.wav");
    }
    void TearDown() override
    {
        monitor.Unload();
        QApplication::processEvents();
        platform::SetMessageBoxAnswer(nullptr);
        platform::SetFileDialogAnswer(nullptr);
        platform::SetColourDialogAnswer(nullptr);
        AudioSystem::Install(nullptr);
        basic::CueActive = {0, 0, 0};
        basic::TwipsPerPixel = savedTwips_;
    }

    // 12 s of 16-bit stereo (silence, or noise), standby mark at 2 s, end
    // mark at 10 s.
    std::string Sound(const std::string& name, bool noise = false)
    {
        RiffFileBuilder builder;
        builder.Format(1, 2, Rate, 16)
            .Data(noise ? audiotest::NoiseBytes(StreamFormat{Rate, 16, 2}, static_cast<std::size_t>(Rate * 12), 7)
                        : Bytes(static_cast<std::size_t>(4 * Rate * 12)))
            .Cues({{1, 2 * Rate}, {2, 10 * Rate}})
            .List("adtl", {RiffFileBuilder::Label(1, "BC$STANDBY"), RiffFileBuilder::Label(2, "BC$END")});
        const std::string path = folder / name;
        builder.WriteTo(path);
        return path;
    }

    // Opens the window for button 5 of page 2 of output 1 holding file.
    FrmMon& OpenButton(const std::string& file, int autoPlay = 0, std::int32_t startMS = 0)
    {
        parms::MonitorExchange.MonitorOutput = 0;
        parms::MonitorExchange.MonitorFile = file;
        parms::MonitorExchange.MonitorStartMS = startMS;
        parms::MonitorExchange.MonitorPlayMode = 2;
        parms::MonitorExchange.MonitorColors = {0x0000FF, 0x00FF00};
        MonitorItem item;
        item.Output = 0;
        item.Page = 2;
        item.Button = 5;
        item.File = file;
        monitor.StartMon(owner, item, autoPlay);
        return *monitor.Window();
    }
    FrmMon& OpenRow(const std::string& file, int seq)
    {
        parms::IsList[1] = 1;
        parms::MonitorExchange.MonitorOutput = 1;
        parms::MonitorExchange.MonitorFile = file;
        parms::MonitorExchange.MonitorStartMS = 0;
        parms::MonitorExchange.MonitorSeq = seq;
        MonitorItem item;
        item.IsList = true;
        item.Output = 1;
        item.Page = 3;
        item.Row = 1;
        item.File = file;
        monitor.StartMon(owner, item, 0);
        return *monitor.Window();
    }

    // Moves virtual time on; the window's timer fires every 100 ms.
    void Run(int ms)
    {
        for (int t = 0; t < ms; t += 10) {
            clock.Advance(10);
            AudioSystem::Current().Sync();
        }
    }

    static QWidget& Face(QWidget& control) { return *control.findChild<controls::SurfaceBox*>(); }

    testsupport::ScratchFolder folder;
    std::string cued;
    RecordingHost host;
    MonitorWindow monitor{host};
    platform::Form owner;
    std::vector<std::string> messages;

private:
    int savedTwips_ = 15;
};

TEST_F(MonitorWindowTest, ShowsTheFileAndItsPlayRange)
{
    FrmMon& window = OpenButton(cued);
    const std::string info = window.InfoText();
    EXPECT_THAT(info, HasSubstr(cued));
    EXPECT_THAT(info, HasSubstr("[Total]  000'12.000"));
    EXPECT_THAT(info, HasSubstr("[From]  000'02.000"));
    EXPECT_THAT(info, HasSubstr("[To]  000'10.000"));
    EXPECT_THAT(info, HasSubstr("[Length]  000'08.000"));
    EXPECT_THAT(info, testing::Not(HasSubstr("file not found")));
    EXPECT_EQ(window.OpenedFile(), cued);
    EXPECT_EQ(window.Caption(), "Info");
    EXPECT_EQ(window.TextMonStartMS().Text(), "000'00.000");
    EXPECT_TRUE(monitor.IsVisible());
    EXPECT_EQ(parms::MonitorExchange.MonitorOpen, 1);
    // Button kind: colours and the play-mode options of the item.
    EXPECT_EQ(window.ColorOf(0), 0x0000FF);
    EXPECT_EQ(window.ColorOf(1), 0x00FF00);
    EXPECT_EQ(window.CheckButtonOption(2).Value(), 1);
    EXPECT_EQ(window.CheckButtonOption(0).Value(), 0);
    EXPECT_FALSE(window.CheckSeq().isVisibleTo(&window));
    testsupport::SaveToGallery(window.grab().toImage(), "FrmMon_button");
}

TEST_F(MonitorWindowTest, PlaysTheRangeOnceAndStartsAgainAtTheRangeStart)
{
    FrmMon& window = OpenButton(cued);
    Player& player = window.MonPlayer();
    window.PlayButtons_Clicked(1);
    EXPECT_EQ(player.mode(), 3);
    EXPECT_EQ(window.Lamp(1), 2) << "the play lamp lights at once";

    Run(2000);
    const int early = window.ProgBar().Value();
    EXPECT_NEAR(early, 250, 40) << "2 s of the 8 s range";
    Run(2000);
    EXPECT_NEAR(window.ProgBar().Value(), 500, 40);
    EXPECT_EQ(window.PicCounter().TextMes(0).substr(0, 4), "00'0") << window.PicCounter().TextMes(0);
    testsupport::SaveToGallery(window.grab().toImage(), "FrmMon_playing");

    Run(5000);
    EXPECT_NE(player.mode(), 3);
    EXPECT_EQ(window.ProgBar().Value(), 0);
    EXPECT_EQ(window.Lamp(1), 0);
    EXPECT_EQ(player.FromMS(), 2000);

    window.PlayButtons_Clicked(1);
    Run(200);
    EXPECT_GE(player.Position(), 2000);
    EXPECT_LT(player.Position(), 2600) << "not the start point, not where it ended";
}

TEST_F(MonitorWindowTest, ItSoundsOnTheMonitorDeviceOnly)
{
    basic::SaveSetting("DeviceWaveMon", "Null 2");
    FrmMon& window = OpenButton(Sound("noise.wav", true), 1);
    Run(600);
    const auto loudest = [](const std::vector<float>& samples) {
        float peak = 0;
        for (const float sample : samples) {
            peak = std::max(peak, std::abs(sample));
        }
        return peak;
    };
    EXPECT_GT(loudest(AudioSystem::Current().NullOutput(2)->TakePlayed()), 0.1F);
    EXPECT_EQ(loudest(AudioSystem::Current().NullOutput(1)->TakePlayed()), 0.0F);
    EXPECT_EQ(window.MonPlayer().Attenuation(), 0);
}

TEST_F(MonitorWindowTest, AutoPlayStartsAtTheStartPoint)
{
    FrmMon& window = OpenButton(cued, 1, 4000);
    EXPECT_EQ(window.MonPlayer().mode(), 3);
    Run(200);
    EXPECT_GE(window.MonPlayer().Position(), 6000);
    EXPECT_LT(window.MonPlayer().Position(), 6600);
}

TEST_F(MonitorWindowTest, ThePauseLampFollowsThePlayer)
{
    FrmMon& window = OpenButton(cued);
    window.PlayButtons_Clicked(1);
    Run(300);
    window.PlayButtons_Clicked(2);
    Run(300);
    EXPECT_EQ(window.MonPlayer().mode(), 2);
    EXPECT_EQ(window.Lamp(2), 2);
    const int held = window.ProgBar().Value();
    Run(500);
    EXPECT_EQ(window.ProgBar().Value(), held) << "a paused sound does not move the bar";
    window.PlayButtons_Clicked(2);
    Run(300);
    EXPECT_EQ(window.MonPlayer().mode(), 3);
    EXPECT_EQ(window.Lamp(2), 0);
    EXPECT_EQ(window.Lamp(1), 2);
}

TEST_F(MonitorWindowTest, ColourBoxesTakeTheChosenColourOrKeepTheirs)
{
    FrmMon& window = OpenButton(cued);
    std::optional<std::int32_t> answer;
    std::vector<std::int32_t> offered;
    platform::SetColourDialogAnswer([&](const platform::ColourDialogRequest& request) {
        offered.push_back(request.custom[0]);
        return answer;
    });
    dialoginput::Click(window.PictureColor(1), 60, 60);
    EXPECT_EQ(window.ColorOf(1), 0x00FF00) << "a cancelled chooser keeps the colour";
    answer = 0x808080;
    dialoginput::Click(window.PictureColor(1), 60, 60);
    EXPECT_EQ(window.ColorOf(1), 0x808080);
    EXPECT_THAT(offered, testing::ElementsAre(0x00FF00, 0x00FF00));

    int index = 0;
    window.DefaultButtons().ButtonClicked(index);
    EXPECT_EQ(window.ColorOf(0), 0);
    EXPECT_EQ(window.ColorOf(1), 0);
}

TEST_F(MonitorWindowTest, ReleasingTheBarSeeks)
{
    FrmMon& window = OpenButton(cued);
    QWidget& bar = Face(window.ProgBar());
    const double width = bar.width() * 15.0;
    dialoginput::Press(bar, width * 0.75, 100);
    dialoginput::Release(bar, width * 0.75, 100);
    EXPECT_NEAR(window.MonPlayer().FromMS(), 8000, 150) << "three quarters into the 2..10 s range";

    window.PlayButtons_Clicked(1);
    Run(500);
    dialoginput::Press(bar, width * 0.25, 100);
    dialoginput::Release(bar, width * 0.25, 100);
    Run(100);
    EXPECT_EQ(window.MonPlayer().mode(), 3);
    EXPECT_NEAR(window.MonPlayer().Position(), 4000, 300) << "playing on from the quarter";
}

TEST_F(MonitorWindowTest, AMissingFileLeavesTheTimerInert)
{
    FrmMon& window = OpenButton(folder / "gone.wav");
    EXPECT_THAT(window.InfoText(), HasSubstr("file not found"));
    EXPECT_EQ(window.OpenedFile(), "");
    EXPECT_EQ(window.MonPlayer().Length(), 0);
    EXPECT_EQ(window.RangeLengthMS(), 0);
    window.PlayButtons_Clicked(1);
    Run(500);
    EXPECT_EQ(window.Lamp(1), 0);
    EXPECT_EQ(window.ProgBar().Value(), 0);
    window.MonButtons_Clicked(0);
    EXPECT_EQ(window.TextMonStartMS().Text(), "000'00.000") << "Set needs a range";

    // No known range: every start point is refused; Delete still works.
    window.OK();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_THAT(messages[0], HasSubstr("Start Point Over EOF."));
    EXPECT_TRUE(host.takenBack.empty());
    window.Delete();
    ASSERT_EQ(host.takenBack.size(), 1U);
    EXPECT_EQ(host.exchanges[0].MonitorFile, "");
}

TEST_F(MonitorWindowTest, TheCacheCopyPlaysWhenItOpens)
{
    const std::string copy = Sound("copy.wav");
    host.localName = copy;
    FrmMon& window = OpenButton("//server/share/original.wav");
    EXPECT_EQ(window.OpenedFile(), copy);
    EXPECT_EQ(window.RangeLengthMS(), 8000);
}

TEST_F(MonitorWindowTest, ACounterClickTogglesItsModeWhichTheUnloadKeeps)
{
    FrmMon& window = OpenButton(cued);
    EXPECT_EQ(window.DispLapMon(), 1);
    QWidget& counter = Face(window.PicCounter());
    dialoginput::Click(counter, 300, 200);
    EXPECT_EQ(window.DispLapMon(), 0);
    EXPECT_EQ(window.PicCounter().TextMes(0), "-00'08.0") << "the remaining time of the range";
    monitor.Unload();
    QApplication::processEvents();
    EXPECT_FALSE(monitor.IsLoaded());
    EXPECT_EQ(parms::MonitorExchange.MonitorOpen, 0);
    EXPECT_EQ(basic::GetSetting("DispLapMon", ""), "0");

    FrmMon& again = OpenButton(cued);
    EXPECT_EQ(again.DispLapMon(), 0);
}

TEST_F(MonitorWindowTest, SetTakesTheBarPositionInsideTheRange)
{
    FrmMon& window = OpenButton(cued);
    window.ProgBar().SetValue(500);
    window.MonButtons_Clicked(0);
    EXPECT_EQ(window.TextMonStartMS().Text(), "000'04.000");
}

TEST_F(MonitorWindowTest, OkTakesOnlyStartPointsInsideTheRange)
{
    FrmMon& window = OpenButton(cued);
    window.TextMonStartMS().SetText("8");
    window.OK();
    window.TextMonStartMS().SetText("-1");
    window.OK();
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[0], "Start Point Over EOF.\r\ncued.wav\r\nLength=00'08.0\r\nStart=00'08.0");
    EXPECT_THAT(messages[1], HasSubstr("Length=00'08.0"));
    EXPECT_THAT(messages[1], HasSubstr("Start=-00'01.0"));
    EXPECT_TRUE(host.takenBack.empty());
    EXPECT_TRUE(monitor.IsVisible()) << "the window stays open to correct the point";

    window.TextMonStartMS().SetText("7.999");
    window.CheckButtonOption(3).SetValue(1);
    window.CheckButtonOption(2).SetValue(0);
    window.OK();
    ASSERT_EQ(host.takenBack.size(), 1U);
    EXPECT_EQ(window.TextMonStartMS().Text(), "000'07.999");
    const parms::MonitorExchangeValues& handed = host.exchanges[0];
    EXPECT_EQ(handed.MonitorStartMS, 7999);
    EXPECT_EQ(handed.MonitorPlayMode, 3);
    EXPECT_EQ(handed.MonitorColors[0], 0x0000FF);
    EXPECT_EQ(host.takenBack[0].Page, 2);
    EXPECT_EQ(host.takenBack[0].Button, 5);
    EXPECT_FALSE(monitor.IsVisible());
    EXPECT_TRUE(monitor.IsLoaded());
}

TEST_F(MonitorWindowTest, ARowHandsBackItsMarkAndStartPoint)
{
    FrmMon& window = OpenRow(cued, 1);
    EXPECT_TRUE(window.CheckSeq().isVisibleTo(&window));
    EXPECT_EQ(window.CheckSeq().Value(), 1);
    EXPECT_FALSE(window.PictureColor(0).isVisibleTo(&window));
    EXPECT_FALSE(window.CheckButtonOption(0).isVisibleTo(&window));
    testsupport::SaveToGallery(window.grab().toImage(), "FrmMon_list");
    window.CheckSeq().SetValue(0);
    window.TextMonStartMS().SetText("1.5");
    window.OK();
    ASSERT_EQ(host.takenBack.size(), 1U);
    EXPECT_TRUE(host.takenBack[0].IsList);
    EXPECT_EQ(host.takenBack[0].Row, 1);
    EXPECT_EQ(host.exchanges[0].MonitorSeq, 0);
    EXPECT_EQ(host.exchanges[0].MonitorStartMS, 1500);

    // Without list start points the start box and Set/Play are hidden.
    parms::UseListStartMS = 0;
    FrmMon& again = OpenRow(cued, 0);
    EXPECT_FALSE(again.TextMonStartMS().isVisibleTo(&again));
    EXPECT_FALSE(again.MonButtons().isVisibleTo(&again));
    parms::UseListStartMS = 1;
}

TEST_F(MonitorWindowTest, CancelAndTheCloseBoxOnlyHide)
{
    FrmMon& window = OpenButton(cued, 1);
    EXPECT_EQ(window.MonPlayer().mode(), 3);
    window.Cancel();
    EXPECT_FALSE(monitor.IsVisible());
    EXPECT_NE(window.MonPlayer().mode(), 3);
    EXPECT_TRUE(host.takenBack.empty());

    OpenButton(cued);
    monitor.Window()->close();
    QApplication::processEvents();
    EXPECT_TRUE(monitor.IsLoaded());
    EXPECT_FALSE(monitor.IsVisible());
    EXPECT_EQ(parms::MonitorExchange.MonitorOpen, 1);
}

TEST_F(MonitorWindowTest, AChosenFileIsLoadedAndItsFolderKept)
{
    FrmMon& window = OpenButton(cued);
    const std::string other = Sound("other.wav");
    platform::SetFileDialogAnswer([&other](const platform::FileDialogRequest&) { return other; });
    window.TextFilename().SelectButtonClick();
    EXPECT_EQ(parms::MonitorExchange.MonitorFile, other);
    EXPECT_EQ(basic::GetSetting("SelDir", ""), folder.Path()) << "the folder with a trailing separator";
    EXPECT_THAT(window.InfoText(), HasSubstr("other.wav"));
    EXPECT_EQ(window.RangeLengthMS(), 8000);
}

TEST_F(MonitorWindowTest, EditSoundNamesTheItemsOwnFile)
{
    parms::EditApp = "/usr/bin/true";
    FrmMon& window = OpenButton(cued);
    int index = 0;
    window.EditButton().ButtonClicked(index);
    ASSERT_EQ(host.edited.size(), 1U);
    EXPECT_EQ(host.edited[0], cued);
    parms::EditApp.clear();
}

TEST_F(MonitorWindowTest, AReloadFollowsThePlayerSettings)
{
    basic::SaveSetting("DeviceWaveMon", "Null 2");
    monitor.LoadHidden(owner);
    EXPECT_TRUE(monitor.IsLoaded());
    EXPECT_FALSE(monitor.IsVisible());
    auto* waveOut = dynamic_cast<C_WaveOut*>(&monitor.Window()->MonPlayer());
    ASSERT_NE(waveOut, nullptr);
    EXPECT_EQ(waveOut->DeviceID(), 2);

    monitor.Unload();
    QApplication::processEvents();
    parms::PlayerType = 2;
    monitor.LoadHidden(owner);
    EXPECT_NE(dynamic_cast<C_MCI*>(&monitor.Window()->MonPlayer()), nullptr);
    parms::PlayerType = 3;
}

using testsupport::InkBetween;

TEST_F(MonitorWindowTest, TheCounterShowsTheWholeTimeInItsMiddleAlsoOfSoundsOfAHundredMinutesAndMore)
{
    basic::SaveSetting("DispLapMon", 0);
    // 8 kHz mono 8-bit, 8 seconds, 101 minutes and 60 hours; the samples are
    // a hole in the file.
    const std::vector<std::pair<std::uint32_t, std::string>> sounds = {
        {8, "-00'08.0"}, {101 * 60, "-101'00.0"}, {60 * 3600, "-3600'00.0"}};
    for (const auto& [seconds, time] : sounds) {
        const std::string path = folder / ("long" + std::to_string(seconds) + ".wav");
        RiffFileBuilder().Format(1, 1, 8000, 8).DataDeclared(seconds * 8000, 0).WriteTo(path);
        std::filesystem::resize_file(path, std::filesystem::file_size(path) + seconds * 8000ULL);
        FrmMon& window = OpenButton(path);
        controls::UC_TextPicture& counter = window.PicCounter();
        ASSERT_EQ(counter.TextMes(0), time);
        counter.DispMes(0, "", 0);
        const QImage empty = counter.Picture().Image().copy();
        counter.DispMes(0, time, 0);
        const QImage drawn = counter.Picture().Image().copy();
        testsupport::SaveToGallery(drawn, "FrmMon_counter" + std::to_string(time.find('\'') - 1), 2);
        const QRect ink = InkBetween(drawn, empty);
        const QRect inside = drawn.rect().adjusted(1, 1, -1, -1);
        EXPECT_TRUE(inside.contains(ink)) << time;
        EXPECT_NEAR(ink.left() - inside.left(), inside.right() - ink.right(), ink.width() / 16 + 2) << time;
        // And in the middle from top to bottom.
        EXPECT_NEAR(ink.top() - inside.top(), inside.bottom() - ink.bottom(), 2) << time;
        // Cut by one character, the time draws less: what was drawn was the
        // whole time.
        counter.DispMes(0, time.substr(0, time.size() - 1), 0);
        EXPECT_GT(ink.width(), InkBetween(counter.Picture().Image(), empty).width()) << time;
        monitor.Unload();
        QApplication::processEvents();
    }
}

} // namespace
