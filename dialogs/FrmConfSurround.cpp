#include "dialogs/FrmConfSurround.h"

#include "controls/UC_Buttons.h"
#include "controls/UC_ListView.h"
#include "foundation/Background.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Settings.h"
#include "platform/EventPump.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <memory>
#include <set>

namespace {

// Layout, twips.
constexpr int Margin = 120;
constexpr int ChannelWidth = 990;
constexpr int DeviceWidth = 3720;
constexpr int ListFrame = 420; // the vertical bar and the frame
constexpr int ListWidth = ChannelWidth + DeviceWidth + ListFrame;
constexpr int ListHeight = 5520;
constexpr int ButtonsWidth = 2400;
constexpr int ButtonsHeight = 330;
constexpr int InnerWidth = ListWidth + 2 * Margin;
constexpr int InnerHeight = Margin + ListHeight + Margin + ButtonsHeight + Margin;

constexpr int ColumnChannel = 0;
constexpr int ColumnDevice = 1;
constexpr int ExtraDevices = 3; // devices 2, 3 and 4 of an output

int OutputOf(int row)
{
    return row / ExtraDevices + 1;
}

int DeviceOf(int row)
{
    return row % ExtraDevices + 2;
}

} // namespace

FrmConfSurround::FrmConfSurround(QWidget* owner)
    : platform::Form(owner), list_(new UC_ListView(this)), okCancel_(new controls::UC_Buttons(this))
{
    setWindowFlags(Qt::Dialog);
    okCancel_->ButtonClicked = [this](int& index) {
        if (index == 1) {
            OK();
        } else {
            Cancel();
        }
    };
    OnUnload = [this](int&) {
        platform::DoEvents();
        if (AfterUnload) {
            AfterUnload();
        }
    };
}

FrmConfSurround::~FrmConfSurround() = default;

std::string FrmConfSurround::RowKey(int row)
{
    return "DeviceWave_" + std::to_string(OutputOf(row)) + "_" + std::to_string(DeviceOf(row));
}

void FrmConfSurround::Form_Load()
{
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->window()->windowIcon());
    }
    SetCaption(basic::LangText("サラウンド設定", " Surround Configuration"));
    basic::SetControlFont(this, -2, nullptr, 9.0F, false, false, "");
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    setFixedSize(InnerWidth / tpp, InnerHeight / tpp);
    picture_ = platform::Surface(width(), height());
    basic::PaintBackground(picture_, 14, -1, -1, -1);

    UC_ListView& list = *list_;
    platform::MoveTwips(list, Margin, Margin, ListWidth, ListHeight);
    list.SetNumData(2);
    list.SetNoMultiSelect(1);
    list.SetIconDisabled(1);
    list.SetSortDisabled(1);
    list.Init();
    list.SetUseTextCombo(ColumnDevice, listview::EditorCombo);
    list.SetTabName(ColumnChannel, basic::LangText("系統", "ch"));
    list.SetTabWidth(ColumnChannel, ChannelWidth);
    list.SetTabName(ColumnDevice, basic::LangText("デバイス", "Device"));
    list.SetTabWidth(ColumnDevice, DeviceWidth);
    list.InitTab();

    // The device choices: no device, then the output devices; a stored
    // device that is not present now stays choosable under its name.
    // A drop-down list: only listed devices can be chosen.
    if (platform::ComboBox* combo = list.ComboEditor(0)) {
        combo->SetStyle(platform::ComboDropDownList);
    }
    list.ClearComboItem(ColumnDevice);
    list.LoadDevToLVCombo(ColumnDevice, 0);
    list.AddComboItem(ColumnDevice, "");
    std::set<std::string> listed;
    if (const platform::ComboBox* combo = list.ComboEditor(0)) {
        for (int i = 0; i < combo->ListCount(); ++i) {
            listed.insert(combo->List(i));
        }
    }
    const std::string output = basic::LangText("出力", "OUT");
    list.AddItem(RowCount);
    for (int row = 0; row < RowCount; ++row) {
        const std::string device = basic::GetSetting(RowKey(row), "");
        list.SetValue(row, ColumnChannel, output + std::to_string(OutputOf(row)) + "-" + std::to_string(DeviceOf(row)));
        list.SetValue(row, ColumnDevice, device);
        if (listed.insert(device).second) {
            list.AddComboItem(ColumnDevice, device);
        }
    }
    list.Refresh();

    okCancel_->SetDesignType(1);
    okCancel_->SetOKCancel(0, 0, 1);
    platform::MoveTwips(*okCancel_, InnerWidth - Margin - ButtonsWidth, Margin + ListHeight + Margin, ButtonsWidth,
                        ButtonsHeight);
    okCancel_->Init();
    okCancel_->show();
    update();
}

void FrmConfSurround::OK()
{
    for (int row = 0; row < RowCount; ++row) {
        basic::SaveSetting(RowKey(row), list_->Value(row, ColumnDevice).Text());
    }
    parms::ConfigConfirmed = 1;
    Unload();
}

void FrmConfSurround::Cancel()
{
    Unload();
}

void FrmConfSurround::ShowModalOver(QWidget* owner)
{
    auto dialog = std::make_unique<FrmConfSurround>(owner);
    dialog->Form_Load();
    dialog->ShowModal();
}

void FrmConfSurround::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}
