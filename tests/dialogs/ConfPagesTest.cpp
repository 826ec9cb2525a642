// The Disp, Button, List, Page, Indicator and Remote pages of the
// configuration dialog against a settings store in a temporary folder.
#include "ConfFixture.h"
#include "DialogInput.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "dialogs/ConfPage.h"
#include "dialogs/ConfPageDisp.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "platform/ComboBox.h"
#include "platform/CommonDialogs.h"
#include "platform/MessageBox.h"
#include "platform/PictureBox.h"
#include "platform/TextBox.h"
#include "remote/MidiIn.h"
#include "support/FakeMidiBackend.h"
#include "support/Gallery.h"

#include <gmock/gmock.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace {

using testing::ElementsAre;

constexpr int Disp = 6;
constexpr int Button = 7;
constexpr int List = 8;
constexpr int Page = 9;
constexpr int Indicator = 10;
constexpr int Remote = 11;

struct KeyText {
    std::string key;
    std::string text;
};

// Every key of one output or port n (1..4) with the same text.
std::vector<KeyText> PerOutput(const std::string& stem, const std::string& text)
{
    std::vector<KeyText> keys;
    for (int n = 1; n <= 4; ++n) {
        keys.push_back({stem + std::to_string(n), text});
    }
    return keys;
}

std::vector<KeyText> Joined(std::initializer_list<std::vector<KeyText>> parts)
{
    std::vector<KeyText> all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// What an untouched OK stores for keys never set: the pages' tables, with the
// values the program runs with where the settings apply reads a key with
// another default (AltFont 0, ButtonOrderHorizon and ListOrderHorizon 1).
const std::vector<KeyText> DispDefaults = Joined({
    {{"AltFont", "0"},
     {"PlayColor_1", "0"},
     {"PlayColor_2", "1"},
     {"PlayColor_3", "2"},
     {"CloseButtonAction", "0"},
     {"UsePan", "0"},
     {"UseSpeed", "0"},
     {"UseVol", "0"},
     {"UseMixer", "0"},
     {"DispBarTime", "1"},
     {"ColorBar", "1"},
     {"HiColor", "0"},
     {"UseLineOutLock", "0"},
     {"DispTool", "1"},
     {"DispDispBig", "1"},
     {"ShowObservation", "0"},
     {"MixerApp", ""},
     {"EditApp", ""},
     {"UseMultiSession", "0"}},
    PerOutput("PlayerColor_", "0"),
});
const std::vector<KeyText> ButtonDefaults = Joined({
    {{"ButtonSizeX", "118"},
     {"ButtonSizeY", "113"},
     {"DefaultButtonOption", "0"},
     {"ButtonType", "1"},
     {"ButtonHorizon", "1"},
     {"ButtonOrderHorizon", "1"},
     {"LEDFrame", "1"},
     {"AssignSTBY", "0"},
     {"DispButtonTime", "1"},
     {"DispButtonOption", "0"},
     {"SerialButtonNum", "0"},
     {"PressToPlay", "0"},
     {"SwitchLR", "0"},
     {"UseButtonRCMenu", "1"},
     {"ShowFmtTolv", "1"},
     {"BlankToStop", "1"}},
    PerOutput("ModuleX_", "8"),
    PerOutput("ModuleY_", "4"),
});
const std::vector<KeyText> ListDefaults{
    {"CurrentColor", "0"},   {"ShowCtrl", "1"},      {"ShowCurrent", "1"},   {"ListOrderHorizon", "1"},
    {"UseListStartMS", "1"}, {"UseListSeq", "1"},    {"SeqItemType", "0"},   {"SeqRC", "0"},
    {"ListCtrl", "0"},       {"CheckProg", "0"},     {"UseListRCMenu", "1"}, {"ShowFmtList", "1"},
    {"LoopListCursor", "1"}, {"ListWhilePlay", "0"},
};
const std::vector<KeyText> PageDefaults =
    Joined({{{"PageNum", "10"}, {"PageButtonWidth", "31"}, {"BankSync", "0"}}, PerOutput("ShowPage_", "1")});
const std::vector<KeyText> IndicatorDefaults = Joined({
    PerOutput("DispONAIR_", "1"),
    PerOutput("DispKEY_", "1"),
    PerOutput("DispFADE_", "1"),
    PerOutput("DispSTBY_", "1"),
    PerOutput("DispTimer_", "0"),
    PerOutput("ShellName_", ""),
    PerOutput("ShellCommand_", ""),
});
const std::vector<KeyText> RemoteDefaults = Joined({
    PerOutput("NumLEDCom_", "15"),
    PerOutput("ComNo_", "0"),
    PerOutput("ComBaud_", "38400"),
    PerOutput("ComMode_", "2"),
    {{"ComCh_1", "0"}, {"ComCh_2", "1"}, {"ComCh_3", "2"}, {"ComCh_4", "3"}},
    PerOutput("NumLEDHID_", "32"),
    PerOutput("USBHIDID_", "0"),
    {{"HIDCh_1", "0"}, {"HIDCh_2", "1"}, {"HIDCh_3", "2"}, {"HIDCh_4", "3"}},
    PerOutput("HIDGetStatus_", "0"),
    PerOutput("HIDAsync_", "0"),
    {{"UseMIDIIn", "0"}, {"MIDINoteOffset", "48"}, {"TallySTBYWhilePlay", "0"}, {"TallyInvert", "0"}, {"FSInt", "0"}},
});

class ConfPages : public conftest::ConfFixture {
protected:
    ConfPages()
    {
        parms::SizeRate = {1.0F, 1.3F};
        FCT_MIDI::MidiInDeviceID = {};
        midi.inputs = {"Keys A", "Keys B"};
        platform::SetMessageBoxAnswer([this](const platform::MessageBoxRequest& request) {
            messages.push_back(request);
            return platform::IdOk;
        });
    }
    ~ConfPages() override
    {
        platform::SetMessageBoxAnswer(nullptr);
        platform::SetFileDialogAnswer(nullptr);
        platform::SetColourDialogAnswer(nullptr);
        parms::SizeRate = {1.0F, 1.3F};
        FCT_MIDI::MidiInDeviceID = {};
    }

    void ExpectStored(const std::vector<KeyText>& keys, const std::string& section = "tolv")
    {
        for (const KeyText& entry : keys) {
            EXPECT_EQ(Stored(entry.key, section), entry.text) << entry.key;
        }
    }
    platform::TextBox& TextOf(int page, const std::string& key)
    {
        auto* box = dialog->Page(page)->ControlOf<platform::TextBox>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    platform::ComboBox& ComboOf(int page, const std::string& key)
    {
        auto* box = dialog->Page(page)->ControlOf<platform::ComboBox>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    UC_Check& CheckOf(int page, const std::string& key)
    {
        auto* box = dialog->Page(page)->ControlOf<UC_Check>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    platform::PictureBox& ColourOf(int page, const std::string& key)
    {
        auto* box = dialog->Page(page)->ControlOf<platform::PictureBox>(key);
        EXPECT_NE(box, nullptr) << key;
        return *box;
    }
    UC_PathText& PathOf(int page, const std::string& key)
    {
        auto* box = dialog->Page(page)->ControlOf<UC_PathText>(key);
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
    // Opens the dialog and visits the given pages.
    void OpenAt(std::initializer_list<int> pages)
    {
        Open();
        for (const int page : pages) {
            Visit(page);
        }
    }
    // Presses OK on the button row; true when the dialog closed.
    bool PressOk()
    {
        bool unloaded = false;
        dialog->AfterUnload = [&unloaded] { unloaded = true; };
        int ok = 1;
        dialog->OKCancelButtons().ButtonClicked(ok);
        dialog->AfterUnload = nullptr;
        return unloaded;
    }

    testsupport::FakeMidiBackend midi;
    std::vector<platform::MessageBoxRequest> messages;
};

TEST_F(ConfPages, AnUntouchedOkStoresWhatTheProgramRunsWithForEveryUnsetKey)
{
    OpenAt({Disp, Button, List, Page, Indicator, Remote});
    ASSERT_TRUE(PressOk());
    EXPECT_TRUE(messages.empty());
    ExpectStored(DispDefaults);
    ExpectStored(ButtonDefaults);
    ExpectStored(ListDefaults);
    ExpectStored(PageDefaults);
    ExpectStored(IndicatorDefaults);
    ExpectStored(RemoteDefaults);
    // The running values.
    ExpectStored({{"LangMode", "0"}, {"SizeRate_1", "1.00"}, {"SizeRate_2", "1.30"}, {"MidiInDeviceID", "0"}});
}

TEST_F(ConfPages, AnUntouchedOkKeepsEveryStoredText)
{
    const std::vector<KeyText> stored{
        {"AltFont", "1"},           {"PlayColor_2", "7"},      {"PlayerColor_2", "255"}, {"UseVol", "True"},
        {"MixerApp", "/opt/mix"},   {"ButtonSizeX", "0120"},   {"ModuleX_3", "5"},       {"ModuleY_3", "20"},
        {"ShowCtrl", "0"},          {"CurrentColor", "red"},   {"ListWhilePlay", "2"},   {"PageNum", "abc"},
        {"PageButtonWidth", "3"},   {"ShowPage_4", "0"},       {"DispKEY_2", "0"},       {"ShellName_3", "Mixer"},
        {"ShellCommand_3", "/x y"}, {"NumLEDCom_1", "-3"},     {"ComNo_2", "9"},         {"ComBaud_3", "115200"},
        {"ComMode_4", "8"},         {"ComCh_1", "12"},         {"USBHIDID_2", "700"},    {"HIDCh_1", "7"},
        {"HIDAsync_4", "2"},        {"MIDINoteOffset", "-12"}, {"FSInt", "1500"},        {"UseMultiSession", "1"},
    };
    for (const KeyText& entry : stored) {
        Store(entry.key, entry.text);
    }
    // Bytes that are no UTF-8 (a name an editor in another encoding left) in
    // a UTF-8 store: the boxes show U+FFFD for them, and the bytes stay.
    const std::vector<KeyText> strays{
        {"EditApp", "/srv/音/m\xE9x"}, {"ShellName_2", "ミキサー\xE9"}, {"ShellCommand_2", "/srv/音/m\xE9x"}};
    std::ofstream(registry.CompanyKeyFolder() + "tolv.conf", std::ios::app)
        << "EditApp=/srv/音/m\xE9x\nShellName_2=ミキサー\xE9\nShellCommand_2=/srv/音/m\xE9x\n";
    OpenAt({Disp, Button, List, Page, Indicator, Remote});
    EXPECT_EQ(PathOf(Disp, "EditApp").Text(), "/srv/音/m\uFFFDx");
    // Stored values a list cannot show stay as entries of their own.
    EXPECT_EQ(ComboOf(Disp, "PlayColor_2").Text(), "7");
    EXPECT_EQ(ComboOf(Remote, "ComNo_2").Text(), "Com9");
    EXPECT_EQ(ComboOf(Remote, "ComBaud_3").Text(), "115200");
    EXPECT_EQ(ComboOf(Remote, "HIDCh_1").Text(), "7");
    EXPECT_EQ(ComboOf(Remote, "USBHIDID_2").Text(), "700");
    EXPECT_EQ(TextOf(Page, "PageButtonWidth").Text(), "3") << "number boxes show the stored text";
    EXPECT_EQ(ColourOf(Disp, "PlayerColor_2").BackColor(), 255);
    ASSERT_TRUE(PressOk());
    ExpectStored(stored);
    ExpectStored(strays);
}

TEST_F(ConfPages, AGridOfMoreThanAHundredButtonsIsRefusedAndNothingIsWritten)
{
    Store("ModuleX_1", "10");
    Store("ModuleY_1", "10");
    OpenAt({Disp, Button, Remote});
    for (int n = 1; n <= 4; ++n) {
        TextOf(Button, "ModuleX_" + std::to_string(n)).SetText("10");
        TextOf(Button, "ModuleY_" + std::to_string(n)).SetText("10");
    }
    TextOf(Button, "ModuleX_2").SetText("11");
    CheckOf(Disp, "UsePan").SetValue(1);
    const auto before = StoreFiles();
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].text, "ボタンは100までです");
    EXPECT_EQ(messages[0].style & 0x70, platform::IconExclamation);
    EXPECT_EQ(messages[0].owner, dialog.get());
    EXPECT_EQ(StoreFiles(), before);
    EXPECT_EQ(parms::ConfigConfirmed, 0);

    // Ten by ten on every output is accepted.
    TextOf(Button, "ModuleX_2").SetText("10");
    EXPECT_TRUE(PressOk());
    EXPECT_EQ(messages.size(), 1U);
    ExpectStored(Joined({PerOutput("ModuleX_", "10"), PerOutput("ModuleY_", "10"), {{"UsePan", "1"}}}));
    EXPECT_EQ(parms::ConfigConfirmed, 1);
}

TEST_F(ConfPages, CountsBelowOneAndTextsThatAreNoNumbersAreRefusedWithAMessage)
{
    struct Case {
        const char* key;
        const char* text;
        const char* japanese;
    };
    const Case cases[] = {
        {"ModuleX_1", "0", "ボタン数は1から100です"},
        {"ModuleY_3", "-4", "ボタン数は1から100です"},
        {"ModuleY_4", "four", "ボタン数は1から100です"},
        {"ModuleX_2", "-11", "ボタン数は1から100です"},
        {"ModuleX_4", "101", "ボタンは100までです"},
        {"ButtonSizeX", "wide", nullptr},
        {"ButtonSizeY", "", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key + std::string("=") + c.text);
        messages.clear();
        OpenAt({Button});
        TextOf(Button, c.key).SetText(c.text);
        const auto before = StoreFiles();
        EXPECT_FALSE(PressOk());
        ASSERT_EQ(messages.size(), 1U) << "a refusal always tells why";
        if (c.japanese != nullptr) {
            EXPECT_EQ(messages[0].text, c.japanese);
        } else {
            EXPECT_FALSE(messages[0].text.empty());
        }
        EXPECT_EQ(StoreFiles(), before);
        dialog->Cancel();
    }

    basic::LangMode = 1;
    messages.clear();
    OpenAt({Button});
    TextOf(Button, "ModuleY_2").SetText("0");
    EXPECT_FALSE(PressOk());
    TextOf(Button, "ModuleY_2").SetText("50");
    EXPECT_FALSE(PressOk());
    ASSERT_EQ(messages.size(), 2U);
    EXPECT_EQ(messages[0].text, "Buttons: 1 to 100");
    EXPECT_EQ(messages[1].text, "Up to 100 buttons");
}

TEST_F(ConfPages, PageCountAndPageButtonWidthTakeTheirAbsoluteValueWithinBounds)
{
    const std::vector<std::pair<std::string, std::string>> widths{
        {"3", "15"}, {"9999", "500"}, {"-40", "40"}, {"15", "15"}, {"500", "500"}};
    for (const auto& [typed, stored] : widths) {
        OpenAt({Page});
        TextOf(Page, "PageButtonWidth").SetText(typed);
        TextOf(Page, "PageNum").SetText("-12");
        ASSERT_TRUE(PressOk());
        EXPECT_EQ(Stored("PageButtonWidth"), stored) << typed;
        EXPECT_EQ(Stored("PageNum"), "12");
    }
    OpenAt({Page});
    TextOf(Page, "PageButtonWidth").SetText("wide");
    TextOf(Page, "PageNum").SetText("");
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Stored("PageButtonWidth"), "500") << "a text that is no number leaves the key";
    EXPECT_EQ(Stored("PageNum"), "12");
}

TEST_F(ConfPages, SizeFactorsShowTheRunningFactorAndStoreItWithTwoDecimals)
{
    parms::SizeRate = {1.0F, 1.3F};
    Store("SizeRate_1", "2.5");
    OpenAt({Disp});
    auto& disp = *dynamic_cast<ConfPageDisp*>(dialog->Page(Disp));
    EXPECT_EQ(disp.TextSize(0).Text(), "1.00") << "the factor in use, not the stored one";
    EXPECT_EQ(disp.TextSize(1).Text(), "1.30");
    disp.TextSize(0).SetText("1.255");
    disp.TextSize(1).SetText("big");
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(parms::SizeRate[0], 1.255F) << "held as typed";
    EXPECT_EQ(Stored("SizeRate_1"), "1.26");
    EXPECT_EQ(parms::SizeRate[1], 1.3F) << "a text that is no number keeps the factor";
    EXPECT_EQ(Stored("SizeRate_2"), "1.30");

    // Two decimals from the factor's shortest decimal text.
    EXPECT_EQ(ConfPageDisp::FormatFactor(1.255F), "1.26");
    EXPECT_EQ(ConfPageDisp::FormatFactor(1.3F), "1.30");
    EXPECT_EQ(ConfPageDisp::FormatFactor(0.995F), "1.00");
    EXPECT_EQ(ConfPageDisp::FormatFactor(9.999F), "10.00");
    EXPECT_EQ(ConfPageDisp::FormatFactor(0.004F), "0.00");
    EXPECT_EQ(ConfPageDisp::FormatFactor(2.0F), "2.00");
}

// A size the window cannot be drawn at is refused with a box, and OK writes
// nothing; the sizes at the limits are taken.
TEST_F(ConfPages, AWindowSizeBeyondItsLimitsIsRefusedWithABox)
{
    OpenAt({Disp});
    auto& disp = *dynamic_cast<ConfPageDisp*>(dialog->Page(Disp));
    const auto before = StoreFiles();
    for (const char* typed : {"99999999", "1e9", "10.01", "0.009", "0", "-1"}) {
        SCOPED_TRACE(typed);
        messages.clear();
        disp.TextSize(1).SetText(typed);
        EXPECT_FALSE(PressOk());
        ASSERT_EQ(messages.size(), 1U);
        EXPECT_EQ(messages[0].text, "画面サイズは0.01から10.00です");
        EXPECT_EQ(messages[0].style & 0x70, platform::IconExclamation);
        EXPECT_EQ(StoreFiles(), before);
        EXPECT_EQ(parms::SizeRate[1], 1.3F);
    }
    disp.TextSize(0).SetText("0.01");
    disp.TextSize(1).SetText("10");
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Stored("SizeRate_1"), "0.01");
    EXPECT_EQ(Stored("SizeRate_2"), "10.00");
}

TEST_F(ConfPages, MultiSessionIsKeptInTheStoreAllSessionsShare)
{
    Store("UseMultiSession", "1");
    RunAsSession(1);
    OpenAt({Disp});
    EXPECT_EQ(CheckOf(Disp, "UseMultiSession").Value(), 1) << "session B shows the shared value";
    CheckOf(Disp, "UseMultiSession").SetValue(0);
    CheckOf(Disp, "UsePan").SetValue(1);
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Stored("UseMultiSession"), "0");
    EXPECT_EQ(Stored("UseMultiSession", "tolvB"), "(missing)");
    EXPECT_EQ(Stored("UsePan", "tolvB"), "1");
    EXPECT_EQ(Stored("UsePan"), "(missing)");
}

TEST_F(ConfPages, ProgramBoxesStoreTheChosenProgramExactly)
{
    std::vector<platform::FileDialogRequest> requests;
    platform::SetFileDialogAnswer([&requests](const platform::FileDialogRequest& request) {
        requests.push_back(request);
        return std::string("/usr/bin/env");
    });
    OpenAt({Disp, Indicator});
    PathOf(Disp, "EditApp").SelectButtonClick();
    PathOf(Indicator, "ShellCommand_2").SelectButtonClick();
    EXPECT_EQ(PathOf(Disp, "EditApp").Text(), "/usr/bin/env");
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_FALSE(requests[0].save);
    ASSERT_EQ(requests[0].filters.size(), 1U);
    EXPECT_EQ(requests[0].filters[0].first, "プログラム");
    EXPECT_EQ(requests[0].filters[0].second, "*");
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Stored("EditApp"), "/usr/bin/env");
    EXPECT_EQ(Stored("ShellCommand_2"), "/usr/bin/env");
    EXPECT_EQ(Stored("MixerApp"), "");
}

TEST_F(ConfPages, TheLanguageChangesAtOnce)
{
    Store("LangMode", "1");
    OpenAt({Disp});
    auto& disp = *dynamic_cast<ConfPageDisp*>(dialog->Page(Disp));
    EXPECT_THAT(Entries(disp.ComboLang()), ElementsAre("Japanese", "English"));
    EXPECT_EQ(disp.ComboLang().Text(), "Japanese") << "the language in use, not the stored one";
    disp.ComboLang().SetListIndex(1);
    EXPECT_EQ(basic::LangMode, 0) << "nothing changes before OK";
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(basic::LangMode, 1);
    EXPECT_EQ(Stored("LangMode"), "1");
    Open();
    EXPECT_EQ(dialog->Caption(), "Configuration");
    EXPECT_EQ(Visit<ConfPageDisp>(Disp).ComboLang().Text(), "English");
}

TEST_F(ConfPages, ColourBoxesTakeTheChosenColourAndTurnBlackOnAnyOtherButton)
{
    Store("CurrentColor", "255");
    Store("PlayerColor_3", "65280");
    std::optional<std::int32_t> answer = 0xFF0000;
    platform::SetColourDialogAnswer([&answer](const platform::ColourDialogRequest&) { return answer; });
    OpenAt({Disp, List});
    platform::PictureBox& current = ColourOf(List, "CurrentColor");
    EXPECT_EQ(current.BackColor(), 255);
    dialog->show();
    dialoginput::Send(current, QEvent::MouseButtonPress, Qt::RightButton, Qt::RightButton, 30, 30);
    dialoginput::Send(current, QEvent::MouseButtonRelease, Qt::RightButton, Qt::NoButton, 30, 30);
    EXPECT_EQ(current.BackColor(), 0);

    platform::PictureBox& frame = ColourOf(Disp, "PlayerColor_3");
    answer.reset(); // a cancelled chooser keeps the colour
    dialoginput::Click(frame, 30, 30);
    EXPECT_EQ(frame.BackColor(), 65280);
    answer = 0xFF0000;
    dialoginput::Click(ColourOf(Disp, "PlayerColor_1"), 30, 30);
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Stored("CurrentColor"), "0");
    EXPECT_EQ(Stored("PlayerColor_3"), "65280");
    EXPECT_EQ(Stored("PlayerColor_1"), std::to_string(0xFF0000));
}

TEST_F(ConfPages, SerialPortsShowAndStoreTheirPortProtocolAndRate)
{
    Store("ComMode_3", "1");
    Store("ComNo_1", "9");
    Store("ComNo_2", "-1");
    Store("ComNo_3", "6");
    Store("ComBaud_1", "115200");
    Store("ComBaud_2", "9600");
    OpenAt({Remote});
    EXPECT_EQ(ComboOf(Remote, "ComMode_1").Text(), "Binary1") << "unset";
    EXPECT_EQ(ComboOf(Remote, "ComMode_3").Text(), "Text");
    EXPECT_THAT(Entries(ComboOf(Remote, "ComMode_1")), ElementsAre("Text", "Binary1", "Binary2", "Binary3", "Binary4"));
    EXPECT_EQ(ComboOf(Remote, "ComNo_1").Text(), "Com9");
    EXPECT_EQ(ComboOf(Remote, "ComNo_2").Text(), "NA");
    EXPECT_EQ(ComboOf(Remote, "ComNo_3").Text(), "Com6");
    EXPECT_EQ(ComboOf(Remote, "ComNo_4").Text(), "NA");
    EXPECT_THAT(Entries(ComboOf(Remote, "ComNo_4")), ElementsAre("NA", "Com1", "Com2", "Com3", "Com4", "Com5", "Com6"));
    EXPECT_EQ(ComboOf(Remote, "ComBaud_1").Text(), "115200");
    EXPECT_EQ(ComboOf(Remote, "ComBaud_2").Text(), "9600");
    EXPECT_EQ(ComboOf(Remote, "ComBaud_4").Text(), "38400");
    const auto rates = Entries(ComboOf(Remote, "ComBaud_4"));
    ASSERT_FALSE(rates.empty());
    EXPECT_EQ(rates.front(), "110");
    EXPECT_EQ(rates.back(), "256000");
    for (int n = 1; n <= 4; ++n) {
        EXPECT_EQ(ComboOf(Remote, "ComCh_" + std::to_string(n)).ListIndex(), n - 1) << "port n controls output n";
    }
    EXPECT_THAT(Entries(ComboOf(Remote, "ComCh_1")),
                ElementsAre("1", "2", "3", "4", "All", "All+1", "All+2", "All+3", "All-1", "All-2", "All-3"));

    ComboOf(Remote, "ComMode_1").SetText("Text");
    ComboOf(Remote, "ComMode_2").SetText("Binary4");
    ComboOf(Remote, "ComNo_4").SetText("Com2");
    ComboOf(Remote, "ComBaud_2").SetText("19200");
    ComboOf(Remote, "ComCh_3").SetText("All-2");
    ASSERT_TRUE(PressOk());
    ExpectStored({{"ComMode_1", "1"},
                  {"ComMode_2", "5"},
                  {"ComMode_3", "1"},
                  {"ComMode_4", "2"},
                  {"ComNo_1", "9"},
                  {"ComNo_2", "0"},
                  {"ComNo_3", "6"},
                  {"ComNo_4", "2"},
                  {"ComBaud_1", "115200"},
                  {"ComBaud_2", "19200"},
                  {"ComCh_3", "9"}});
}

TEST_F(ConfPages, HidBoxesMidiAndContactsKeepTheirValuesWithSignAndWithoutBounds)
{
    Store("HIDCh_1", "7");
    Store("USBHIDID_3", "3");
    Store("MIDINoteOffset", "60");
    Store("NumLEDHID_2", "16");
    Store("FSInt", "250");
    FCT_MIDI::MidiInDeviceID[0] = 1;
    OpenAt({Remote});
    EXPECT_EQ(ComboOf(Remote, "HIDCh_1").Text(), "7");
    EXPECT_EQ(ComboOf(Remote, "HIDCh_2").Text(), "2");
    EXPECT_EQ(ComboOf(Remote, "USBHIDID_1").Text(), "NA");
    EXPECT_EQ(ComboOf(Remote, "USBHIDID_3").Text(), "3");
    EXPECT_THAT(Entries(ComboOf(Remote, "HIDAsync_1")), ElementsAre("Sync", "ASync1", "ASync2"));
    EXPECT_THAT(Entries(ComboOf(Remote, "MidiInDeviceID")), ElementsAre("Keys A", "Keys B"));
    EXPECT_EQ(ComboOf(Remote, "MidiInDeviceID").Text(), "Keys B") << "the device in use";
    TextOf(Remote, "MIDINoteOffset").SetText("-12");
    TextOf(Remote, "NumLEDHID_2").SetText("many");
    TextOf(Remote, "FSInt").SetText("-3000");
    ComboOf(Remote, "HIDAsync_4").SetText("ASync2");
    CheckOf(Remote, "HIDGetStatus_2").SetValue(1);
    ASSERT_TRUE(PressOk());
    ExpectStored({{"HIDCh_1", "7"},
                  {"HIDCh_2", "1"},
                  {"USBHIDID_3", "3"},
                  {"MidiInDeviceID", "1"},
                  {"MIDINoteOffset", "-12"},
                  {"NumLEDHID_2", "16"},
                  {"FSInt", "-3000"},
                  {"HIDAsync_4", "2"},
                  {"HIDGetStatus_2", "1"}});
}

TEST_F(ConfPages, WithoutMidiDevicesTheBoxIsEmptyAndOkWritesMinusOne)
{
    midi.inputs.clear();
    FCT_MIDI::MidiInDeviceID[0] = 2;
    OpenAt({Remote});
    EXPECT_EQ(ComboOf(Remote, "MidiInDeviceID").ListCount(), 0);
    ASSERT_TRUE(PressOk());
    EXPECT_EQ(Stored("MidiInDeviceID"), "-1");
}

TEST_F(ConfPages, PicturesOfThePagesInBothLanguages)
{
    Store("ComNo_1", "9");
    Store("PlayerColor_1", "255");
    Store("PlayerColor_2", std::to_string(0x00C000));
    Store("CurrentColor", std::to_string(0x804000));
    Store("ShellName_1", "Mixer");
    Store("ShellCommand_1", "/usr/bin/pavucontrol");
    for (const int language : {0, 1}) {
        basic::LangMode = language;
        Open();
        dialog->show();
        for (int page = Disp; page <= Remote; ++page) {
            Visit(page);
            testsupport::SaveToGallery(dialog->grab().toImage(),
                                       std::string("FrmConf_") +
                                           FrmConf::TabCaptions.at(static_cast<std::size_t>(page)) +
                                           (language == 0 ? "_ja" : "_en"));
        }
        dialog->Cancel();
    }
}

} // namespace
