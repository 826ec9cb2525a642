// The cache's services as the main window and playback reach them through
// their ports: the transfer control FH1 and the tip texts.
#include "FileHandFixture.h"
#include "TipFixture.h"
#include "cache/CacheService.h"
#include "cache/FileTransferService.h"
#include "cache/UC_FileHand.h"
#include "controls/MouseTwips.h"
#include "controls/UC_Buttons.h"
#include "foundation/Parms.h"
#include "mainwindow/MainState.h"
#include "platform/base/Twips.h"

#include <QPointer>

#include <gmock/gmock.h>

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

namespace fs = std::filesystem;

class TransferPort : public FileHandFixture {
protected:
    TransferPort() : savedTwips_(basic::TwipsPerPixel) { basic::TwipsPerPixel = 15; }
    ~TransferPort() override { basic::TwipsPerPixel = savedTwips_; }

    cache::FileTransferService service;
    FileTransferPort& port = service;

private:
    int savedTwips_;
};

TEST_F(TransferPort, TheControlIsHiddenUntilAskedAndCentredByHalfItsSize)
{
    QWidget* control = port.Control();
    ASSERT_NE(control, nullptr);
    EXPECT_FALSE(control->isVisible());
    port.Init(1);
    port.SetDispFN(2);
    EXPECT_EQ(control->size(), QSize(320, 100));
    EXPECT_EQ(port.AdjustX(), 2400);
    EXPECT_EQ(port.AdjustY(), 750);
    EXPECT_NE(service.FileHand()->CancelButtonRow(), nullptr);
}

// The backup's series of copies as it runs through the port: each sound by
// the safe transfer, and no further copy once the operator cancelled.
TEST_F(TransferPort, ACancelDuringTheSecondCopyOfASeriesStopsTheSeries)
{
    port.Init(1);
    port.SetDispFN(2);
    QWidget* control = port.Control();
    control->show();
    const std::string folder = scratch.Folder("backup");
    std::vector<std::string> sounds;
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        sounds.push_back(scratch.Write(std::string("snd/") + name, Pattern(3000)));
    }
    std::vector<std::pair<int, float>> progress;
    int copying = 0;
    service.FileHand()->MirrorProg = [&](float rate) {
        progress.emplace_back(copying, rate);
        if (copying == 2 && rate == 0.0F) {
            controls::UC_Buttons& row = *service.FileHand()->CancelButtonRow();
            mousetwips::Click(row, row.width() / 2 * 15.0, row.height() / 2 * 15.0);
        }
    };
    int copies = 0;
    for (const std::string& sound : sounds) {
        ++copying;
        const std::string name = fs::path(sound).filename().string();
        if (port.TranspFile(sound, folder + name, 1, 0) == 1) {
            ++copies;
        }
        if (port.Canceled() == 1) {
            break;
        }
    }
    EXPECT_EQ(copies, 1);
    EXPECT_EQ(copying, 2) << "the third copy never started";
    EXPECT_EQ(port.ErrorCode(), 1);
    EXPECT_EQ(port.ErrorCodeText(), "ユーザーによりキャンセルされました");
    EXPECT_THAT(progress, ElementsAre(std::pair(1, 0.0F), std::pair(1, 1.0F), std::pair(2, 0.0F)));
    EXPECT_TRUE(fs::exists(folder + "a.wav"));
    EXPECT_FALSE(fs::exists(folder + "b.wav"));
    EXPECT_THAT(Temporaries(folder), IsEmpty());
}

TEST_F(TransferPort, CopiesGoOnAfterTheWindowHasLetTheControlGo)
{
    QPointer<QWidget> control = port.Control();
    {
        QWidget window;
        control->setParent(&window);
        port.Init(1);
    }
    EXPECT_TRUE(control.isNull());
    EXPECT_EQ(port.Control(), nullptr);
    EXPECT_EQ(port.AdjustX(), 0);
    const std::string src = scratch.Write("src.wav", Pattern(100));
    EXPECT_EQ(port.TranspFile(src, scratch / "t.wav", 1, 0), 1);
    EXPECT_EQ(testsupport::ReadText(scratch / "t.wav"), Pattern(100));
}

TEST_F(TransferPort, TheCacheMenuWaitsWhileATransferRuns)
{
    MainState state;
    cache::CacheService cacheService(state, service);
    const std::string src = scratch.Write("src.wav", Pattern(100));
    bool busyDuringCopy = false;
    service.FileHand()->MirrorProg = [&](float) {
        busyDuringCopy = port.Busy();
        cacheService.MenuCache_Click(0);
    };
    ASSERT_EQ(port.TranspFile(src, scratch / "t.wav", 1, 0), 1);
    EXPECT_TRUE(busyDuringCopy);
    EXPECT_FALSE(port.Busy());
    EXPECT_THAT(ErrorLog(".log"), testing::HasSubstr("The Cache menu waits: a transfer runs"));
}

class TipPort : public TipFixture {
protected:
    TipPort() : savedGetTip_(parms::GetTip), savedDispIt_(parms::DispIt), savedDispItRef_(parms::DispItRef)
    {
        parms::GetTip = 1;
        parms::DispIt = {1, 0, 0, 0, 1};
        parms::DispItRef = {0, 0, 0};
    }
    ~TipPort() override
    {
        parms::GetTip = savedGetTip_;
        parms::DispIt = savedDispIt_;
        parms::DispItRef = savedDispItRef_;
    }

    MainState state;
    cache::FileTransferService transfer;
    cache::CacheService service{state, transfer};
    CachePort& port = service;
    std::vector<std::string> texts;

private:
    std::int32_t savedGetTip_;
    std::array<std::int32_t, parms::TipFieldSlots> savedDispIt_;
    std::vector<std::int32_t> savedDispItRef_;
};

TEST_F(TipPort, TipTextsFollowTheSettingsAndNoServerIsReadWhileSomethingPlays)
{
    const std::string sound = Tip("srv/news/a.wav", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n\r\nK\r\n");
    state.SomethingPlays = 1;
    EXPECT_EQ(port.GetTipInfo(sound, texts, 1), 0);
    state.SomethingPlays = 0;
    ASSERT_EQ(port.GetTipInfo(sound, texts, 1), 1);
    EXPECT_THAT(texts, ElementsAre("[news][K]", std::to_string(0x010101)));
    parms::GetTip = 0;
    EXPECT_EQ(port.GetTipInfo(sound, texts, 1), 0);

    // With the playback side's cache names, a cached tip is read while
    // something plays.
    parms::GetTip = 1;
    service.LocalFilename = [this](std::string_view path) {
        return FCT_Quind::LocalPath + std::string(path.substr(FCT_Quind::Servers[0].SrvPath.size()));
    };
    const std::string other = Tip("srv/music/b.wav", "0\r\n");
    scratch.Write("cache/music/b.wav", "RIFF");
    Tip("cache/music/b.wav", "0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n\r\n\r\nL\r\n");
    state.SomethingPlays = 1;
    ASSERT_EQ(port.GetTipInfo(other, texts, 0), 1);
    EXPECT_THAT(texts, ElementsAre("music", "L", std::to_string(0x010101)));
}

} // namespace
