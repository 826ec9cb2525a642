#include "dialogs/ConfPageRemote.h"

#include "controls/UC_Check.h"
#include "foundation/Drawing.h"
#include "foundation/Language.h"
#include "foundation/PrintCentered.h"
#include "platform/ComboBox.h"
#include "platform/TextBox.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"
#include "remote/MidiIn.h"
#include "remote/SerialPortCombos.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// Layout, twips: the serial and HID tables on the left, MIDI and the
// contacts on the right.
constexpr double RowLabels = 420;
constexpr double LampsLeft = 600;
constexpr double LampsWidth = 600;
constexpr double PortLeft = 1320;
constexpr double PortWidth = 900;
constexpr double BaudLeft = 2340;
constexpr double BaudWidth = 1000;
constexpr double ModeLeft = 3460;
constexpr double ModeWidth = 1100;
constexpr double ChLeft = 4680;
constexpr double ChWidth = 900;
constexpr double HidStatusLeft = 3460;
constexpr double HidAsyncLeft = 4080;
constexpr double HidAsyncWidth = 1000;
constexpr double RightLeft = 5750;
constexpr double RightWidth = 2900;

std::vector<std::string> Entries(const platform::ComboBox& box)
{
    std::vector<std::string> entries;
    for (int i = 0; i < box.ListCount(); ++i) {
        entries.push_back(box.List(i));
    }
    return entries;
}

// The MIDI input device box: the device the remote set-up opened, by its
// place in the list; none chosen when the list does not hold it (then OK
// writes -1).
std::unique_ptr<ComboIndexBinding> MidiDeviceBinding(platform::ComboBox& box)
{
    auto binding = std::make_unique<ComboIndexBinding>(box, "MidiInDeviceID", FCT_MIDI::MidiDeviceNames(true));
    binding->Running([] { return FCT_MIDI::MidiInDeviceID[0]; });
    return binding;
}

} // namespace

void ConfPageRemote::WriteUnbuilt()
{
    // The box the page would have built, never shown.
    platform::ComboBox box;
    const std::unique_ptr<ComboIndexBinding> device = MidiDeviceBinding(box);
    device->Load();
    device->Write();
}

// The port box: "NA" and the ports the remote layer lists. A stored port
// beyond them stays as an entry of its own ("Com9") and is written back
// unless another entry is picked; a negative port, or a text that is no
// number, shows "NA" and is written as 0.
class ConfPageRemote::PortBinding final : public BoxBinding<platform::ComboBox> {
public:
    PortBinding(platform::ComboBox& box, std::string key) : BoxBinding(box, std::move(key), 0) {}

    void Load() override
    {
        ReadStored();
        const std::optional<std::int32_t> port = numeric::ParseLong(loaded_);
        FCT_Serial::FillComPortCombo(box_, port.value_or(0));
        listed_ = box_.ListCount();
        keep_ = true;
        if (port && *port >= listed_) {
            box_.AddItem("Com" + std::to_string(*port));
            box_.SetListIndex(listed_);
        } else if (!port || *port < 0) {
            keep_ = false;
        }
        shownIndex_ = box_.ListIndex();
    }

    void Write() override
    {
        const int index = box_.ListIndex();
        if (index == shownIndex_ && keep_) {
            Save(loaded_);
            return;
        }
        Save(std::to_string(index >= 0 && index < listed_ ? index : 0));
    }

private:
    int listed_ = 0;
    int shownIndex_ = -1;
    // False when the stored text is no port the box can give back.
    bool keep_ = true;
};

void ConfPageRemote::BuildControls()
{
    // Group titles a little above their column captions.
    Title("Serial", RowLabels - 300, RowTop(0) - 210);
    Title("HID", RowLabels - 300, RowTop(5) - 60);
    for (int n = 1; n <= 4; ++n) {
        BuildSerialRow(n, RowTop(n));
    }
    for (int n = 1; n <= 4; ++n) {
        BuildHidRow(n, RowTop(5 + n));
    }
    BuildMidiAndContacts();
}

void ConfPageRemote::Title(std::string_view text, double left, double top)
{
    basic::PrintCentered(Picture(), {left, top, 0, BoxHeight}, text, 7, 0, 0);
}

void ConfPageRemote::BuildSerialRow(int n, double top)
{
    const std::string number = std::to_string(n);
    platform::TextBox& lamps = Number("NumLEDCom_" + number, LampsLeft, top, LampsWidth);
    Label(number, lamps);
    platform::ComboBox& port = NewCombo(PortLeft, top, PortWidth);
    Bind(std::make_unique<PortBinding>(port, "ComNo_" + number));
    // The rates as the remote layer lists them.
    platform::ComboBox& baud = NewCombo(BaudLeft, top, BaudWidth);
    FCT_Serial::FillBaudRateCombo(baud, "");
    Bind(std::make_unique<ComboTextBinding>(baud, "ComBaud_" + number, Entries(baud))).NumericOnly();
    platform::ComboBox& mode = IndexCombo("ComMode_" + number, {"Text", "Binary1", "Binary2", "Binary3", "Binary4"},
                                          ModeLeft, top, ModeWidth, 1);
    platform::ComboBox& channel =
        IndexCombo("ComCh_" + number, {"1", "2", "3", "4", "All", "All+1", "All+2", "All+3", "All-1", "All-2", "All-3"},
                   ChLeft, top, ChWidth);
    if (n == 1) {
        Label("Buttons", lamps, 3);
        Label("Port", port, 3);
        Label("Baud", baud, 3);
        Label("Command", mode, 3);
        Label("Ch", channel, 3);
    }
}

void ConfPageRemote::BuildHidRow(int n, double top)
{
    const std::string number = std::to_string(n);
    platform::TextBox& lamps = Number("NumLEDHID_" + number, LampsLeft, top, LampsWidth);
    Label(number, lamps);
    platform::ComboBox& device =
        IndexCombo("USBHIDID_" + number, {"NA", "1", "2", "3", "4", "5", "6", "7", "8"}, PortLeft, top, PortWidth);
    platform::ComboBox& channel = IndexCombo("HIDCh_" + number, {"1", "2", "3", "4", "All"}, BaudLeft, top, BaudWidth);
    UC_Check& status = Check("HIDGetStatus_" + number, "", HidStatusLeft, top + 22, 270);
    platform::ComboBox& access =
        IndexCombo("HIDAsync_" + number, {"Sync", "ASync1", "ASync2"}, HidAsyncLeft, top, HidAsyncWidth);
    if (n == 1) {
        Label("Buttons", lamps, 3);
        Label("ID", device, 3);
        Label("Ch", channel, 3);
        Label(basic::LangText("論理", "AND"), status, 3);
        Label(basic::LangText("同期", "Sync"), access, 3);
    }
}

void ConfPageRemote::BuildMidiAndContacts()
{
    using basic::LangText;
    Check("UseMIDIIn", LangText("MIDI使用", "Use MIDIIn"), RightLeft, RowTop(1) + 22, RightWidth);
    Bind(MidiDeviceBinding(NewCombo(RightLeft, RowTop(2), RightWidth)));
    Number("MIDINoteOffset", RightLeft, RowTop(3), 600);

    const double tallyLeft = RightLeft + 150;
    const double tallyWidth = 2100;
    UC_Check& whilePlay = Check("TallySTBYWhilePlay", LangText("再生中でもSTBY", "STBY Tally While Play"), tallyLeft,
                                RowTop(6) + 22, tallyWidth);
    UC_Check& invert =
        Check("TallyInvert", LangText("タリー反転", "Invert Tally"), tallyLeft, RowTop(7) + 22, tallyWidth);
    const double delayLeft = tallyLeft + tallyWidth + 60;
    platform::TextBox& delay = Number("FSInt", delayLeft, RowTop(7), 480);
    Label(LangText("FS遅延", "FSInt"), delay, 1);
    Label("ms", delay, 7);
    const double pixel = std::max(basic::TwipsPerPixel, 1);
    const QRect first = whilePlay.geometry();
    const QRect second = invert.geometry();
    const QRect box = delay.geometry();
    basic::DrawButtonFace(Picture(), static_cast<float>((first.left() - 10) * pixel),
                          static_cast<float>((first.top() - 10) * pixel),
                          static_cast<float>((box.right() + 1 + 30) * pixel),
                          static_cast<float>((second.bottom() + 1 + 10) * pixel), LangText("接点", "CNT"));
}
