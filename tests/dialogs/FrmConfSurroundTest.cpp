// The surround device dialog, alone and as the configuration dialog's Player
// page opens it.
#include "ConfFixture.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_ListView.h"
#include "dialogs/ConfPagePlayer.h"
#include "dialogs/FrmConfSurround.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "platform/ComboBox.h"
#include "support/Gallery.h"

#include <QApplication>
#include <QTimer>

#include <gmock/gmock.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using testing::ElementsAre;

// The twelve keys in row order: output 1..4, extra device 2..4.
const std::vector<std::string> SurroundKeys{
    "DeviceWave_1_2", "DeviceWave_1_3", "DeviceWave_1_4", "DeviceWave_2_2", "DeviceWave_2_3", "DeviceWave_2_4",
    "DeviceWave_3_2", "DeviceWave_3_3", "DeviceWave_3_4", "DeviceWave_4_2", "DeviceWave_4_3", "DeviceWave_4_4",
};

class Surround : public conftest::ConfFixture {
protected:
    FrmConfSurround& OpenSurround()
    {
        surround = std::make_unique<FrmConfSurround>(nullptr);
        surround->Form_Load();
        return *surround;
    }
    std::vector<std::string> Column(int column)
    {
        std::vector<std::string> texts;
        UC_ListView& list = surround->LVSurround();
        for (int row = 0; row < list.ItemCount(); ++row) {
            texts.push_back(list.Value(row, column).Text());
        }
        return texts;
    }
    // Puts the cursor on a row and picks a device in the row's drop-down.
    void Choose(int row, const std::string& device)
    {
        UC_ListView& list = surround->LVSurround();
        list.SetSelectedItem(row);
        list.ReDraw();
        platform::ComboBox* combo = list.ComboEditor(0);
        ASSERT_NE(combo, nullptr);
        combo->SetText(device);
    }
    void Press(int index) { surround->OKCancelButtons().ButtonClicked(index); }
    // Acts on the surround dialog once it is shown modally.
    void WhenSurroundShows(std::function<void(FrmConfSurround&)> act)
    {
        acting_ = std::make_unique<QTimer>();
        QObject::connect(acting_.get(), &QTimer::timeout, [this, act] {
            for (QWidget* top : QApplication::topLevelWidgets()) {
                if (auto* shown = dynamic_cast<FrmConfSurround*>(top); shown != nullptr && shown->isVisible()) {
                    acting_->stop();
                    act(*shown);
                    return;
                }
            }
        });
        acting_->start(1);
    }

    std::unique_ptr<FrmConfSurround> surround;

private:
    std::unique_ptr<QTimer> acting_;
};

TEST_F(Surround, ListsTwelveRowsWithTheStoredDevices)
{
    Store("DeviceWave_2_3", "Null 2");
    Store("DeviceWave_4_4", "Rear Card");
    OpenSurround();
    EXPECT_EQ(surround->Caption(), "サラウンド設定");
    UC_ListView& list = surround->LVSurround();
    EXPECT_EQ(list.TabName(0), "系統");
    EXPECT_EQ(list.TabName(1), "デバイス");
    EXPECT_EQ(list.TabWidth(0), 990);
    EXPECT_EQ(list.TabWidth(1), 3720);
    EXPECT_THAT(Column(0), ElementsAre("出力1-2", "出力1-3", "出力1-4", "出力2-2", "出力2-3", "出力2-4", "出力3-2",
                                       "出力3-3", "出力3-4", "出力4-2", "出力4-3", "出力4-4"));
    EXPECT_THAT(Column(1), ElementsAre("", "", "", "", "Null 2", "", "", "", "", "", "", "Rear Card"));
    // The drop-down offers the output devices and a device stored but not
    // present now.
    const platform::ComboBox& combo = *list.ComboEditor(0);
    std::vector<std::string> choices;
    for (int i = 0; i < combo.ListCount(); ++i) {
        choices.push_back(combo.List(i));
    }
    EXPECT_THAT(choices, testing::IsSupersetOf({"Null 1", "Null 4", "", "Rear Card"}));

    basic::LangMode = 1;
    OpenSurround();
    EXPECT_EQ(surround->Caption(), " Surround Configuration");
    EXPECT_EQ(surround->LVSurround().TabName(0), "ch");
    EXPECT_EQ(surround->LVSurround().TabName(1), "Device");
    EXPECT_EQ(Column(0).front(), "OUT1-2");
    EXPECT_EQ(Column(0).back(), "OUT4-4");
}

TEST_F(Surround, OkWritesAllTwelveKeysAndConfirms)
{
    Store("DeviceWave_2_3", "Null 2");
    Store("DeviceWave_4_4", "Rear Card");
    OpenSurround();
    surround->show();
    Choose(4, "");
    Choose(0, "Null 3");
    testsupport::SaveToGallery(surround->grab().toImage(), "FrmConfSurround_ja");
    bool unloaded = false;
    surround->AfterUnload = [&unloaded] { unloaded = true; };
    Press(1);
    surround->AfterUnload = nullptr;
    EXPECT_TRUE(unloaded);
    EXPECT_EQ(parms::ConfigConfirmed, 1);
    std::vector<std::string> stored;
    for (const std::string& key : SurroundKeys) {
        stored.push_back(Stored(key));
    }
    EXPECT_THAT(stored, ElementsAre("Null 3", "", "", "", "", "", "", "", "", "", "", "Rear Card"));
}

TEST_F(Surround, CancelWritesNothingAndLeavesTheAcceptedFlag)
{
    for (const int confirmed : {0, 1}) {
        parms::ConfigConfirmed = confirmed;
        OpenSurround();
        EXPECT_EQ(parms::ConfigConfirmed, confirmed) << "loading does not clear it";
        Choose(2, "Null 1");
        const auto before = StoreFiles();
        Press(0);
        EXPECT_EQ(StoreFiles(), before);
        EXPECT_EQ(parms::ConfigConfirmed, confirmed);
    }
    for (const std::string& key : SurroundKeys) {
        EXPECT_EQ(Stored(key), "(missing)") << key;
    }
}

TEST_F(Surround, ConfirmedFromThePlayerPageItSurvivesALaterCancel)
{
    Open();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    ASSERT_EQ(player.SurroundButton().GetButtonDisable(0, 0), 0);
    WhenSurroundShows([](FrmConfSurround& shown) {
        shown.LVSurround().SetSelectedItem(1);
        shown.LVSurround().ReDraw();
        shown.LVSurround().ComboEditor(0)->SetText("Null 4");
        int ok = 1;
        shown.OKCancelButtons().ButtonClicked(ok);
    });
    int index = 0;
    player.SurroundButton().ButtonClicked(index);
    EXPECT_EQ(Stored("DeviceWave_1_3"), "Null 4");
    EXPECT_EQ(parms::ConfigConfirmed, 1);

    // Opened again and cancelled.
    WhenSurroundShows([](FrmConfSurround& shown) {
        int cancel = 0;
        shown.OKCancelButtons().ButtonClicked(cancel);
    });
    player.SurroundButton().ButtonClicked(index);
    EXPECT_EQ(parms::ConfigConfirmed, 1);

    // The configuration dialog cancelled: the main window still re-applies.
    dialog->Cancel();
    EXPECT_EQ(parms::ConfigConfirmed, 1);
    EXPECT_EQ(Stored("DeviceWave_1_3"), "Null 4");
}

TEST_F(Surround, PictureInEnglish)
{
    basic::LangMode = 1;
    Store("DeviceWave_1_2", "Null 2");
    Store("DeviceWave_1_3", "Null 3");
    OpenSurround();
    surround->show();
    Choose(1, "Null 3");
    testsupport::SaveToGallery(surround->grab().toImage(), "FrmConfSurround_en");
    Press(0);
}

} // namespace
