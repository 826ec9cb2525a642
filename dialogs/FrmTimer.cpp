#include "dialogs/FrmTimer.h"

#include "controls/ApplySkin.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "dialogs/SelectAllOnFocus.h"
#include "dialogs/TimerWindowHost.h"
#include "foundation/Background.h"
#include "foundation/Durations.h"
#include "foundation/FormUtilities.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/PrintCentered.h"
#include "foundation/SharedConf.h"
#include "platform/TextBox.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Layout, twips.
constexpr int TextLeft = 960;
constexpr int TextTop = 240;
constexpr int TextWidth = 1800;
constexpr int TextHeight = 330;
constexpr int ModeTop = 750;
constexpr int ModeHeight = 270;
constexpr int ButtonsLeft = 240;
constexpr int ButtonsTop = 1500;
constexpr int ButtonsWidth = 2400;
constexpr int ButtonsHeight = 330;
constexpr int InnerWidth = 2880;
constexpr int InnerHeight = 2070;

constexpr int KeyEnter = 13;
constexpr int MessageCritical = 16;

std::size_t At(int output)
{
    return static_cast<std::size_t>(std::clamp(output, 0, parms::OutputCount - 1));
}

} // namespace

FrmTimer::FrmTimer(TimerWindowHost& host, QWidget* owner)
    : platform::Form(owner), host_(host), textTimer_(new platform::TextBox(this)),
      okCancel_(new controls::UC_Buttons(this))
{
    setWindowFlags(Qt::Dialog);
    for (int i = 0; i < 2; ++i) {
        auto* option = new UC_Check(this);
        option->SetIsOption(1);
        option->Click = [this, i] { CheckTimerMode_Click(i); };
        modes_.at(static_cast<std::size_t>(i)) = option;
    }
    textTimer_->installEventFilter(new SelectAllOnFocus(textTimer_));
    textTimer_->OnChange = [this] { TextTimer_Change(); };
    textTimer_->Keys.KeyDown = [this](int& keyCode, int) {
        if (keyCode == KeyEnter) {
            keyCode = 0;
            OK();
        }
    };
    okCancel_->ButtonClicked = [this](int& index) {
        if (index == 1) {
            OK();
        } else if (index == 0) {
            Cancel();
        }
    };
    OnUnload = [this](int&) { Unloading(); };
}

FrmTimer::~FrmTimer() = default;

void FrmTimer::Form_Load(int output)
{
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->window()->windowIcon());
    }
    SetCaption(basic::LangText("タイマー", "Timer"));
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    setFixedSize(InnerWidth / tpp, InnerHeight / tpp);
    picture_ = platform::Surface(width(), height());
    basic::PaintBackground(picture_, 14, -1, -1, -1);

    platform::MoveTwips(*textTimer_, TextLeft, TextTop, TextWidth, TextHeight);
    basic::PrintCentered(picture_, {TextLeft, TextTop, TextWidth, TextHeight}, basic::LangText("時刻", "Time"), 0, 0,
                         0);
    okCancel_->SetOKCancel(0, 0, 0);
    platform::MoveTwips(*okCancel_, ButtonsLeft, ButtonsTop, ButtonsWidth, ButtonsHeight);
    okCancel_->Init();
    // Option 1 below option 0.
    for (int i = 0; i < 2; ++i) {
        UC_Check& option = CheckTimerMode(i);
        platform::MoveTwips(option, TextLeft, ModeTop + i * (ModeHeight + 60), TextWidth, ModeHeight);
        basic::ApplySkin(option, i == 0 ? basic::LangText("開始", "Start") : basic::LangText("終了", "End"), 0,
                         &picture_, 9.0F, nullptr, 1.0F);
    }
    output_ = static_cast<int>(At(output));
    FillFromTimer();
    update();
}

void FrmTimer::Retarget(int output)
{
    output_ = static_cast<int>(At(output));
    FillFromTimer();
}

void FrmTimer::FillFromTimer()
{
    const parms::StartTimerRecord& timer = parms::StartTimer.at(At(output_));
    textTimer_->SetText(timer.TimerTime);
    textTimer_->selectAll();
    const int mode = timer.TimerMode == 0 ? 0 : 1;
    CheckTimerMode(mode).SetValue(1);
    CheckTimerMode(1 - mode).SetValue(0);
}

void FrmTimer::OK()
{
    const std::string text = textTimer_->Text();
    if (basic::ParseTimeOfDay(text, FCT_Quind::HourAdjust, 0) != 1) {
        basic::ShowMessage(basic::LangText("時刻が不正です", "Invalid Time."), MessageCritical, "", this);
        return;
    }
    parms::StartTimerRecord& timer = parms::StartTimer.at(At(output_));
    timer.TimerTime = text;
    timer.TimerMode = CheckTimerMode(0).Value() != 0 ? 0 : 1;
    parms::TimerEditOutput = output_;
    closing_ = Closing::ByOk;
    Unload();
}

void FrmTimer::Cancel()
{
    closing_ = Closing::ByCancel;
    Unload();
}

void FrmTimer::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}

void FrmTimer::TextTimer_Change()
{
    basic::CheckTimeTextBox(*textTimer_, FCT_Quind::HourAdjust);
}

void FrmTimer::CheckTimerMode_Click(int index)
{
    CheckTimerMode(1 - index).SetValue(0);
}

void FrmTimer::Unloading()
{
    // The close box is a Cancel: an armed timer stays armed.
    if (closing_ != Closing::ByOk) {
        parms::TimerEditOutput = -1;
    }
    host_.SetTimerProc();
    if (AfterUnload) {
        AfterUnload();
    }
}
