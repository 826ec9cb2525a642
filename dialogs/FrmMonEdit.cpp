// The editing half of the monitor window: start point, play mode, colours,
// sequence mark and file, and the hand-back with OK and Delete.
#include "dialogs/FrmMon.h"

#include "controls/SurfaceBox.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "dialogs/MonitorWindowHost.h"
#include "foundation/CommonDialogs.h"
#include "foundation/Durations.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "platform/TextBox.h"
#include "platform/base/Numbers.h"

#include <algorithm>
#include <string>

namespace {

constexpr int MessageCritical = 16;

// The name and extension of a path written with either separator.
std::string FileNameOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

void FrmMon::MonButtons_Clicked(int index)
{
    if (rangeLengthMS_ <= 0) {
        return;
    }
    if (index == 0) {
        const double share = progBar_->Value() / 1000.0;
        const auto start = static_cast<std::int32_t>(numeric::RoundToInt64(share * rangeLengthMS_));
        textMonStartMS_->SetText(basic::FormatDuration(start, 0, 1));
    } else if (index == 1) {
        parms::MonitorExchange.MonitorStartMS = basic::ParseDuration(textMonStartMS_->Text(), 0, nullptr);
        player_->SetFromMS(rangeStartMS_ + parms::MonitorExchange.MonitorStartMS);
        player_->Play();
    }
}

// A start point counts from the range start and must lie inside the range;
// without a known range (the file does not open) no start point is taken.
bool FrmMon::RefusesStartPoint(std::int32_t start) const
{
    return rangeEndMS_ <= 0 || start < 0 || start >= rangeLengthMS_;
}

void FrmMon::OK()
{
    parms::MonitorExchangeValues& exchange = parms::MonitorExchange;
    if (!exchange.MonitorFile.empty()) {
        const std::int32_t start = basic::ParseDuration(textMonStartMS_->Text(), 0, nullptr);
        textMonStartMS_->SetText(basic::FormatDuration(start, 0, 1));
        if (RefusesStartPoint(start)) {
            const std::string text = basic::LangText("素材長より後に指定されています", "Start Point Over EOF.") +
                                     "\r\n" + FileNameOf(exchange.MonitorFile) +
                                     "\r\nLength=" + basic::FormatDuration(rangeLengthMS_, 1, 1) +
                                     "\r\nStart=" + basic::FormatDuration(start, 1, 1);
            basic::ShowMessage(text, MessageCritical, "", this);
            return;
        }
        exchange.MonitorStartMS = start;
    } else {
        exchange.MonitorStartMS = 0;
    }
    if (item_.IsList) {
        exchange.MonitorSeq = checkSeq_->Value() != 0 ? 1 : 0;
    } else {
        for (int i = 0; i < 4; ++i) {
            if (CheckButtonOption(i).Value() != 0) {
                exchange.MonitorPlayMode = i;
            }
        }
        exchange.MonitorColors = colors_;
    }
    host_.TakeBack(item_, this);
    StopMon();
}

void FrmMon::Delete()
{
    parms::MonitorExchange.MonitorFile.clear();
    StopMon();
    host_.TakeBack(item_, this);
}

void FrmMon::Cancel()
{
    StopMon();
}

void FrmMon::PictureColor_Click(int index)
{
    SetColorBox(index, FCT_GetColor::GetColor(ColorOf(index), this));
}

void FrmMon::SetColorBox(int index, std::int32_t colour)
{
    colors_.at(static_cast<std::size_t>(index)) = colour;
    controls::SurfaceBox& box = PictureColor(index);
    box.Picture().SetBackColor(static_cast<platform::Color>(colour));
    box.Picture().Cls();
    box.Refresh();
}

void FrmMon::CheckButtonOption_Click(int index)
{
    for (int i = 0; i < 4; ++i) {
        if (i != index) {
            CheckButtonOption(i).SetValue(0);
        }
    }
}

void FrmMon::TextFilename_FileChosen()
{
    const std::string chosen = textFilename_->Text();
    if (chosen.empty()) {
        return;
    }
    const std::string folder = FolderOf(chosen) + "/";
    basic::SaveSetting("SelDir", folder);
    textFilename_->SetInitDir(folder);
    parms::MonitorExchange.MonitorFile = chosen;
    LoadMonFile();
}
