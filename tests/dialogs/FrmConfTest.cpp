#include "ConfFixture.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "dialogs/ConfPage.h"
#include "dialogs/ConfPageCache.h"
#include "dialogs/ConfPagePlayer.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/ServerFolders.h"
#include "foundation/SharedConf.h"
#include "platform/ComboBox.h"
#include "platform/TextBox.h"
#include "support/Gallery.h"

#include <gmock/gmock.h>

#include <string>
#include <vector>

namespace {

using conftest::ConfFixture;
using testing::ElementsAre;

struct KeyText {
    const char* key;
    const char* text;
};

// What an unset key of the six pages shows and stores: the tables of the
// pages, with the values the program runs with where the settings apply
// reads a key with another default (TimerInt 50, SozaiFreq 48000).
const std::vector<KeyText> PlayerDefaults{
    {"NumOut", "1"},       {"DeviceWave_1", ""}, {"DeviceWave_2", ""}, {"DeviceWave_3", ""},   {"DeviceWave_4", ""},
    {"DeviceWaveMon", ""}, {"IsList_1", "0"},    {"IsList_2", "0"},    {"IsList_3", "0"},      {"IsList_4", "0"},
    {"MuteMS", "0"},       {"DelayMS", "0"},     {"NoClose", "1"},     {"UseExtensible", "0"}, {"CueActive_1", "0"},
    {"CueActive_2", "0"},  {"CueActive_3", "0"}, {"UsePause", "0"},    {"NoPlayMS", "0"},      {"TimerInt", "50"},
};
const std::vector<KeyText> DataDefaults{
    {"TlvTxtPath", ""}, {"TlvBackupPath", ""}, {"ShowDlg", "0"},  {"OpenRemovable", "0"},
    {"OpenLast", "0"},  {"Abspath", "1"},      {"SyncDrive", ""}, {"SaveEnd", "2"},
};
const std::vector<KeyText> SoundDefaults{
    {"CheckWavFmt", "0"}, {"SozaiFreq", "48000"}, {"SozaiMode", "3"}, {"SoundDrive", ""}, {"PreReadSound", "1"},
};
const std::vector<KeyText> CacheDefaults{
    {"CacheAtDrop_1", "0"}, {"CacheAtDrop_2", "0"}, {"CacheAtDrop_3", "0"},  {"CacheAtDrop_4", "0"},
    {"CacheAll", "0"},      {"AlertNoCache", "0"},  {"CheckCacheLite", "0"}, {"ShowCacheMenu", "1"},
};
const std::vector<KeyText> TipDefaults{
    {"GetTip", "0"},    {"KillOldCache", "0"}, {"ApplyTipColor", "1"}, {"DispTip_1", "0"},
    {"DispTip_2", "0"}, {"DispTip_3", "0"},    {"DispTip_4", "0"},     {"DispIt_1", "1"},
    {"DispIt_2", "1"},  {"DispIt_3", "1"},     {"DispIt_4", "1"},      {"DispIt_5", "1"},
};
const std::vector<KeyText> UserDefaults{{"NeedLogOn", "0"}, {"UseTlvUser", "0"}};

class ConfDialog : public ConfFixture {
protected:
    void ExpectStored(const std::vector<KeyText>& keys, const std::string& section = "tolv")
    {
        for (const KeyText& entry : keys) {
            EXPECT_EQ(Stored(entry.key, section), entry.text) << entry.key;
        }
    }
    void ExpectMissing(const std::vector<KeyText>& keys, const std::string& section = "tolv")
    {
        for (const KeyText& entry : keys) {
            EXPECT_EQ(Stored(entry.key, section), "(missing)") << entry.key;
        }
    }
    static platform::TextBox& TextOf(ConfPage& page, const char* key)
    {
        auto* box = page.ControlOf<platform::TextBox>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    static platform::ComboBox& ComboOf(ConfPage& page, const char* key)
    {
        auto* box = page.ControlOf<platform::ComboBox>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    static UC_Check& CheckOf(ConfPage& page, const char* key)
    {
        auto* box = page.ControlOf<UC_Check>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    static std::vector<std::string> Entries(const platform::ComboBox& box)
    {
        std::vector<std::string> entries;
        for (int i = 0; i < box.ListCount(); ++i) {
            entries.push_back(box.List(i));
        }
        return entries;
    }
};

TEST_F(ConfDialog, AnUntouchedOkKeepsEveryStoredTextAndStoresWhatTheProgramRunsWithForUnsetKeys)
{
    const std::vector<KeyText> stored{
        {"PlayerType", "2"},      {"NumOut", "7"},         {"TimerInt", "0020"},    {"MuteMS", "-2500"},
        {"DelayMS", "soon"},      {"IsList_2", "True"},    {"CueActive_3", "2"},    {"DeviceWave_1", "Null 2"},
        {"DeviceWave_3", "Gone"}, {"TlvTxtPath", "/data"}, {"SyncDrive", "/a;/b"},  {"SaveEnd", "5"},
        {"SozaiMode", "9"},       {"SozaiFreq", "50000"},  {"SoundDrive", "/m|/n"}, {"CacheAtDrop_3", "1"},
        {"DispIt_2", "0"},        {"UseTlvUser", "2"},     {"ShowCacheMenu", "0"},  {"NoClose", "x"},
    };
    for (const KeyText& entry : stored) {
        Store(entry.key, entry.text);
    }
    Store("LocalPath", "/cache");
    Store("SrvPath_1", "/srv");
    Open();
    for (int page = 1; page <= 5; ++page) {
        Visit(page);
    }
    // What the pages show of odd stored values.
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    EXPECT_EQ(player.ComboNumOut().Text(), "4");
    EXPECT_EQ(player.ComboType().Text(), "WaveOut");
    EXPECT_EQ(TextOf(player, "TimerInt").Text(), "0020");
    EXPECT_EQ(player.ComboDev(0).Text(), "Null 2");
    EXPECT_EQ(player.ComboDev(2).Text(), "Gone");
    // No stored name: the default device, which the output plays on.
    EXPECT_EQ(player.ComboDev(1).Text(), "Null default");
    EXPECT_EQ(ComboOf(*dialog->Page(2), "SozaiMode").Text(), "9");
    EXPECT_EQ(ComboOf(*dialog->Page(2), "SozaiFreq").Text(), "50000");
    EXPECT_EQ(ComboOf(*dialog->Page(5), "UseTlvUser").Text(), "読み書き制限");
    EXPECT_EQ(CheckOf(player, "IsList_2").Value(), 1);

    const auto before = Section();
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(parms::ConfigConfirmed, 1);
    const auto after = Section();
    for (const auto& [key, text] : before) {
        if (key == "PlayerType") {
            continue;
        }
        EXPECT_EQ(after.at(key), text) << key;
    }
    // The back-end is the one the program runs with.
    EXPECT_EQ(Stored("PlayerType"), "3");
    // Unset keys: what the program uses for them.
    ExpectStored({{"DeviceWave_2", ""},
                  {"DeviceWave_4", ""},
                  {"DeviceWaveMon", ""},
                  {"IsList_1", "0"},
                  {"UseExtensible", "0"},
                  {"NoPlayMS", "0"},
                  {"CueActive_1", "0"},
                  {"UsePause", "0"}});
    ExpectStored({{"TlvBackupPath", ""},
                  {"ShowDlg", "0"},
                  {"OpenRemovable", "0"},
                  {"OpenLast", "0"},
                  {"Abspath", "1"},
                  {"TlvExtention", "txt"}});
    ExpectStored({{"CheckWavFmt", "0"},
                  {"PreReadSound", "1"},
                  {"CacheAll", "0"},
                  {"GetTip", "0"},
                  {"ApplyTipColor", "1"},
                  {"DispTip_1", "0"},
                  {"DispIt_1", "1"},
                  {"NeedLogOn", "0"}});
    // No device key of the back-ends that were not chosen.
    EXPECT_EQ(Stored("DeviceDS_1"), "(missing)");
    EXPECT_EQ(Stored("DeviceDSMon"), "(missing)");
}

TEST_F(ConfDialog, UnsetKeysShowTheValuesTheProgramRunsWith)
{
    Open();
    Visit(2);
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    EXPECT_EQ(TextOf(player, "TimerInt").Text(), "50");
    EXPECT_EQ(ComboOf(*dialog->Page(2), "SozaiFreq").Text(), "48000");
    EXPECT_EQ(ComboOf(*dialog->Page(2), "SozaiMode").Text(), "Stereo16bit");
    EXPECT_THAT(Entries(ComboOf(*dialog->Page(2), "SozaiMode")),
                ElementsAre("Mono8bit", "Stereo8bit", "Mono16bit", "Stereo16bit", "Mono24bit", "Stereo24bit"));
    EXPECT_THAT(Entries(ComboOf(*dialog->Page(2), "SozaiFreq")),
                ElementsAre("192000", "96000", "88200", "48000", "44100", "32000", "24000", "22050", "16000", "12000",
                            "11025", "8000"));
    ASSERT_TRUE(dialog->OK());
    ExpectStored(PlayerDefaults);
    ExpectStored(SoundDefaults);
}

TEST_F(ConfDialog, OkWritesOnlyThePagesThatWereVisited)
{
    Open();
    ASSERT_TRUE(dialog->PageLoaded(0));
    for (int page = 1; page < FrmConf::PageCount; ++page) {
        EXPECT_FALSE(dialog->PageLoaded(page)) << page;
    }
    Visit(4);
    ASSERT_TRUE(dialog->OK());
    ExpectStored(PlayerDefaults);
    ExpectStored(TipDefaults);
    ExpectMissing(DataDefaults);
    ExpectMissing(SoundDefaults);
    ExpectMissing(CacheDefaults);
    ExpectMissing(UserDefaults);
    EXPECT_EQ(Stored("TlvExtention"), "(missing)");
}

TEST_F(ConfDialog, CancelWritesNothingAndLeavesTheAcceptedFlag)
{
    Store("MuteMS", "100");
    Open();
    EXPECT_EQ(parms::ConfigConfirmed, 0);
    for (int page = 1; page <= 5; ++page) {
        Visit(page);
    }
    const auto before = StoreFiles();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    TextOf(player, "MuteMS").SetText("200");
    CheckOf(*dialog->Page(1), "ShowDlg").SetValue(1);
    parms::ConfigConfirmed = 1; // as the surround device dialog leaves it
    int index = 0;
    dialog->OKCancelButtons().ButtonClicked(index);
    EXPECT_EQ(StoreFiles(), before);
    EXPECT_EQ(parms::ConfigConfirmed, 1);
}

// A page that refuses every OK.
class RefusingPage final : public ConfPage {
public:
    using ConfPage::ConfPage;
    bool Validate() override
    {
        ++asked;
        return false;
    }
    static inline int asked = 0;
};

TEST_F(ConfDialog, ARefusedOkWritesNoPageAndKeepsTheDialogOpen)
{
    dialog = std::make_unique<FrmConf>(nullptr);
    dialog->PageFactory = [](int index, QWidget* parent) -> ConfPage* {
        return index == 11 ? new RefusingPage(parent) : MakeConfPage(index, parent);
    };
    dialog->Form_Load();
    dialog->Timer1_Timer();
    Visit(1);
    Visit(11);
    RefusingPage::asked = 0;
    const auto before = StoreFiles();
    bool unloaded = false;
    dialog->AfterUnload = [&unloaded] { unloaded = true; };
    int index = 1;
    dialog->OKCancelButtons().ButtonClicked(index);
    EXPECT_EQ(RefusingPage::asked, 1);
    EXPECT_EQ(StoreFiles(), before);
    EXPECT_EQ(parms::ConfigConfirmed, 0);
    EXPECT_FALSE(unloaded);
}

TEST_F(ConfDialog, APageVisitedAgainShowsWhatTheOperatorLeftThere)
{
    Open();
    auto& data = Visit(1);
    CheckOf(data, "OpenLast").SetValue(1);
    TextOf(data, "SyncDrive").SetText("/x;/y");
    Visit(2);
    EXPECT_EQ(dialog->VisiblePage(), 2);
    EXPECT_EQ(&Visit(1), &data);
    EXPECT_EQ(dialog->VisiblePage(), 1);
    EXPECT_EQ(CheckOf(data, "OpenLast").Value(), 1);
    EXPECT_EQ(TextOf(data, "SyncDrive").Text(), "/x;/y");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("OpenLast"), "1");
    EXPECT_EQ(Stored("SyncDrive"), "/x;/y");
}

TEST_F(ConfDialog, NumberBoxesTakeOnlyThirtyTwoBitNumbersWithTheirSignRuleAndBounds)
{
    Store("DelayMS", "7");
    Store("NoPlayMS", "8");
    Open();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    TextOf(player, "MuteMS").SetText("-2500");
    TextOf(player, "TimerInt").SetText("-10");
    TextOf(player, "DelayMS").SetText("abc");
    TextOf(player, "NoPlayMS").SetText("4294967296");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("MuteMS"), "1000");
    EXPECT_EQ(Stored("TimerInt"), "10");
    EXPECT_EQ(Stored("DelayMS"), "7");
    EXPECT_EQ(Stored("NoPlayMS"), "8");
    EXPECT_EQ(Stored("UsePause"), "0");
}

TEST_F(ConfDialog, BackEndsWithoutDeviceChoiceDisableTheBoxesAndWriteNoDeviceKey)
{
    for (const int backEnd : {1, 2}) {
        SCOPED_TRACE(backEnd);
        Open();
        auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
        player.ComboType().SetListIndex(backEnd);
        EXPECT_FALSE(player.ComboNumOut().isEnabled());
        for (int n = 0; n < 4; ++n) {
            EXPECT_EQ(player.ComboDev(n).ListCount(), 0);
            EXPECT_FALSE(player.ComboDev(n).isEnabled());
        }
        EXPECT_EQ(player.ComboDevMon().ListCount(), 0);
        EXPECT_FALSE(player.ComboDevMon().isEnabled());
        ASSERT_TRUE(dialog->OK());
        EXPECT_EQ(Stored("PlayerType"), std::to_string(backEnd));
        ExpectStored({{"NumOut", "1"}, {"IsList_4", "0"}, {"TimerInt", "50"}, {"MuteMS", "0"}});
        for (const char* key : {"DeviceWave_1", "DeviceWave_4", "DeviceWaveMon", "DeviceDS_1", "DeviceDSMon"}) {
            EXPECT_EQ(Stored(key), "(missing)") << key;
        }
    }
}

TEST_F(ConfDialog, WaveOutWithTwoOutputsEnablesTheFirstTwoDeviceBoxes)
{
    Open();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    player.ComboType().SetListIndex(3);
    player.ComboNumOut().SetListIndex(1);
    EXPECT_TRUE(player.ComboNumOut().isEnabled());
    EXPECT_TRUE(player.ComboDev(0).isEnabled());
    EXPECT_TRUE(player.ComboDev(1).isEnabled());
    EXPECT_FALSE(player.ComboDev(2).isEnabled());
    EXPECT_FALSE(player.ComboDev(3).isEnabled());
    EXPECT_TRUE(player.ComboDevMon().isEnabled());
    EXPECT_THAT(Entries(player.ComboDev(3)), testing::IsSupersetOf({"Null 1", "Null 2", "Null 3", "Null 4"}));
    player.ComboDev(1).SetText("Null 3");
    ASSERT_TRUE(dialog->OK());
    ExpectStored({{"NumOut", "2"},
                  {"DeviceWave_1", ""},
                  {"DeviceWave_2", "Null 3"},
                  {"DeviceWave_3", ""},
                  {"DeviceWave_4", ""},
                  {"DeviceWaveMon", ""}});
}

TEST_F(ConfDialog, DirectSoundListsEveryOutputButOnlyTheFirstIsEnabled)
{
    Store("DeviceDS_2", "Null 4");
    Open();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    player.ComboType().SetListIndex(0);
    EXPECT_FALSE(player.ComboNumOut().isEnabled());
    EXPECT_TRUE(player.ComboDev(0).isEnabled());
    for (int n = 1; n < 4; ++n) {
        EXPECT_GT(player.ComboDev(n).ListCount(), 0);
        EXPECT_FALSE(player.ComboDev(n).isEnabled());
    }
    EXPECT_EQ(player.ComboDev(1).Text(), "Null 4");
    EXPECT_TRUE(player.ComboDevMon().isEnabled());
    ASSERT_TRUE(dialog->OK());
    ExpectStored({{"DeviceDS_1", ""},
                  {"DeviceDS_2", "Null 4"},
                  {"DeviceDS_3", ""},
                  {"DeviceDS_4", ""},
                  {"DeviceDSMon", ""},
                  {"PlayerType", "0"}});
    EXPECT_EQ(Stored("DeviceWave_1"), "(missing)");
}

TEST_F(ConfDialog, AStoredDeviceThatIsNotPresentSurvivesUnlessAnotherIsPicked)
{
    Store("DeviceWave_1", "USB Card");
    Store("DeviceWaveMon", "Desk Monitor");
    Open();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    EXPECT_EQ(player.ComboDev(0).Text(), "USB Card");
    EXPECT_EQ(player.ComboDevMon().Text(), "Desk Monitor");
    player.ComboDevMon().SetText("Null 1");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("DeviceWave_1"), "USB Card");
    EXPECT_EQ(Stored("DeviceWaveMon"), "Null 1");
}

TEST_F(ConfDialog, AFormatCodeBeyondTheListStaysUnlessAnotherIsPicked)
{
    Store("SozaiMode", "9");
    Store("SozaiFreq", "44100");
    Open();
    auto& sound = Visit(2);
    auto& mode = ComboOf(sound, "SozaiMode");
    EXPECT_EQ(mode.Text(), "9");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("SozaiMode"), "9");

    Open();
    auto& again = Visit(2);
    ComboOf(again, "SozaiMode").SetListIndex(4);
    ComboOf(again, "SozaiFreq").SetText("96000");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("SozaiMode"), "4");
    EXPECT_EQ(Stored("SozaiFreq"), "96000");
}

TEST_F(ConfDialog, TheExtensionLivesInTheSharedStoreAndOnlyTheFirstSessionChangesIt)
{
    Store("TlvExtention", "tlv");
    Open();
    TextOf(Visit(1), "TlvExtention").SetText("lst");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("TlvExtention"), "lst");

    RunAsSession(1);
    Open();
    auto& data = Visit(1);
    EXPECT_FALSE(TextOf(data, "TlvExtention").isEnabled());
    EXPECT_EQ(TextOf(data, "TlvExtention").Text(), "lst");
    CheckOf(data, "ShowDlg").SetValue(1);
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("TlvExtention"), "lst");
    EXPECT_EQ(Stored("TlvExtention", "tolvB"), "(missing)");
    EXPECT_EQ(Stored("ShowDlg", "tolvB"), "1");
    EXPECT_EQ(Stored("ShowDlg"), "0");
}

TEST_F(ConfDialog, FoldersAreStoredTrimmedWithATrailingSeparator)
{
    Open();
    auto& data = Visit(1);
    data.ControlOf<UC_PathText>("TlvTxtPath")->SetText("  /data/tables ");
    data.ControlOf<UC_PathText>("TlvBackupPath")->SetText("   ");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("TlvTxtPath"), "/data/tables/");
    EXPECT_EQ(Stored("TlvBackupPath"), "");
}

TEST_F(ConfDialog, ServerFoldersAreWrittenOnlyInTheFirstSession)
{
    Store("LocalPath", "/cache/");
    Store("SrvPath_1", "//host/share/");
    FCT_Quind::LoadSaveServerSettings(0, "tolv");
    Open();
    auto& cache = Visit<ConfPageCache>(3);
    EXPECT_EQ(cache.TextPath(0).Text(), "/cache/");
    EXPECT_EQ(cache.TextPath(1).Text(), "//host/share/");
    EXPECT_TRUE(cache.TextPath(0).Enabled());
    cache.TextPath(0).SetText(" /var/cache/tolv ");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("LocalPath"), "/var/cache/tolv/");
    EXPECT_EQ(Stored("SrvPath_1"), "//host/share/");

    RunAsSession(1);
    Open();
    auto& second = Visit<ConfPageCache>(3);
    EXPECT_FALSE(second.TextPath(0).Enabled());
    EXPECT_FALSE(second.TextPath(1).Enabled());
    second.TextPath(1).SetText("//other/share/");
    CheckOf(second, "CacheAll").SetValue(1);
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("LocalPath"), "/var/cache/tolv/");
    EXPECT_EQ(Stored("SrvPath_1"), "//host/share/");
    EXPECT_EQ(Stored("CacheAll", "tolvB"), "1");
    EXPECT_EQ(Stored("CacheAll"), "0");
    FCT_Quind::LocalPath.clear();
    FCT_Quind::Servers = {};
}

TEST_F(ConfDialog, TheCachePageShowsTheConfiguredCacheFolderEvenWhenItIsEmpty)
{
    FCT_Quind::LocalPath = program.Path();
    Open();
    auto& cache = Visit<ConfPageCache>(3);
    EXPECT_EQ(cache.TextPath(0).Text(), "");
    ASSERT_TRUE(dialog->OK());
    EXPECT_EQ(Stored("LocalPath"), "(missing)");
    FCT_Quind::LocalPath.clear();
}

TEST_F(ConfDialog, OneReferenceBoxAndKeyPerReferenceField)
{
    FCT_Quind::NumRef = 3;
    FCT_Quind::RefNames = {"局", "番組", "CM"};
    Open();
    auto& tip = Visit(4);
    std::vector<std::string> captions;
    for (int n = 1; n <= 4; ++n) {
        if (auto* box = tip.ControlOf<UC_Check>("DispItRef_" + std::to_string(n))) {
            captions.push_back(box->Caption());
        }
    }
    EXPECT_THAT(captions, ElementsAre("局", "番組", "CM"));
    // Japanese captions of the tip fields come from the shared column names.
    EXPECT_EQ(tip.ControlOf<UC_Check>("DispIt_1")->Caption(), "フォルダ");
    EXPECT_EQ(tip.ControlOf<UC_Check>("DispIt_5")->Caption(), "ユーザー");
    ASSERT_TRUE(dialog->OK());
    ExpectStored({{"DispItRef_1", "1"}, {"DispItRef_2", "1"}, {"DispItRef_3", "1"}});
    EXPECT_EQ(Stored("DispItRef_4"), "(missing)");

    FCT_Quind::NumRef = 0;
    basic::LangMode = 1;
    Open();
    auto& none = Visit(4);
    EXPECT_EQ(none.ControlOf<UC_Check>("DispItRef_1"), nullptr);
    EXPECT_EQ(none.ControlOf<UC_Check>("DispIt_1")->Caption(), "Column1");
}

TEST_F(ConfDialog, TheSurroundButtonIsDisabledWhileTheSurroundDeviceIsUsed)
{
    Store("UseExtensible", "1");
    Open();
    auto& player = *dynamic_cast<ConfPagePlayer*>(dialog->Page(0));
    EXPECT_NE(player.SurroundButton().GetButtonDisable(0, 0), 0);
    player.CheckUseExtensible().SetValue(0);
    player.CheckUseExtensible().Click();
    EXPECT_EQ(player.SurroundButton().GetButtonDisable(0, 0), 0);
}

TEST_F(ConfDialog, PicturesOfEveryPageInBothLanguages)
{
    FCT_Quind::NumRef = 2;
    FCT_Quind::RefNames = {"局", "番組"};
    Store("SozaiMode", "9");
    Store("DeviceWave_2", "USB Card");
    Store("LocalPath", "/var/cache/tolv/");
    Store("SrvPath_1", "//host/share/");
    for (const int language : {0, 1}) {
        basic::LangMode = language;
        Open();
        dialog->show();
        for (int page = 0; page <= 5; ++page) {
            Visit(page);
            testsupport::SaveToGallery(dialog->grab().toImage(),
                                       std::string("FrmConf_") +
                                           FrmConf::TabCaptions.at(static_cast<std::size_t>(page)) +
                                           (language == 0 ? "_ja" : "_en"));
        }
        EXPECT_EQ(dialog->Caption(), language == 0 ? "設定" : "Configuration");
        dialog->Cancel();
    }
}

} // namespace
