#include "dialogs/FrmConf.h"

#include "controls/ApplySkin.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_Tab.h"
#include "dialogs/ConfPage.h"
#include "dialogs/ConfPageRemote.h"
#include "dialogs/ConfPages.h"
#include "foundation/Background.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/MessageBoxes.h"
#include "foundation/Parms.h"
#include "foundation/RefusedSaves.h"
#include "platform/BusyCursor.h"
#include "platform/EventPump.h"
#include "platform/MessageBox.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/AppIdentity.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Layout, twips.
constexpr int Margin = 60;
constexpr int TabHeight = 360;
constexpr int TabMinWidth = 600;
constexpr int ButtonsWidth = 2400;
constexpr int ButtonsHeight = 330;
constexpr int RemotePage = 11;

std::size_t At(int index)
{
    return static_cast<std::size_t>(index);
}

bool IsPage(int index)
{
    return index >= 0 && index < FrmConf::PageCount;
}

} // namespace

const std::array<const char*, FrmConf::PageCount> FrmConf::TabCaptions{
    "Player", "Data", "Sound", "Cache", "Tip", "User", "Disp", "Button", "List", "Page", "Indicator", "Remote"};

FrmConf::FrmConf(QWidget* owner)
    : platform::Form(owner), tabConf_(new UC_Tab(this)), okCancel_(new controls::UC_Buttons(this)),
      faceSource_(new UC_Check(this))
{
    setWindowFlags(Qt::Dialog);
    tabConf_->hide();
    okCancel_->hide();
    faceSource_->hide();
    Timer1.SetEnabled(false);
    Timer1.SetInterval(10);
    Timer1.OnTimer = [this] { Timer1_Timer(); };
    tabConf_->TabClicked = [this](std::int32_t index) { TabConf_TabClicked(index); };
    okCancel_->ButtonClicked = [this](int& index) { OKCancelButtons_ButtonClicked(index); };
    OnUnload = [this](int&) {
        platform::DoEvents();
        if (AfterUnload) {
            AfterUnload();
        }
    };
}

FrmConf::~FrmConf() = default;

void FrmConf::Form_Load()
{
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->window()->windowIcon());
    }
    SetCaption(basic::LangText("設定", "Configuration"));
    basic::SetControlFont(this, -2, nullptr, 9.0F, false, false, "");
    parms::ConfigConfirmed = 0;
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    setFixedSize(InnerWidth / tpp, InnerHeight / tpp);
    picture_ = platform::Surface(width(), height());
    basic::PaintBackground(picture_, 14, -1, -1, -1);
    platform::SetBusyCursor(true);
    building_ = true;
    Timer1.SetEnabled(true);
    update();
}

void FrmConf::Timer1_Timer()
{
    Timer1.SetEnabled(false);
    if (tabConf_->isVisible() || PageLoaded(0)) {
        return;
    }
    tabConf_->show();
    LoadTabPage(-1);
    LoadTabPage(0);
    if (ConfPage* first = Page(0)) {
        first->show();
    }
    building_ = false;
    platform::SetBusyCursor(false);
}

void FrmConf::TabConf_TabClicked(int index)
{
    if (building_ || !IsPage(index)) {
        return;
    }
    building_ = true;
    platform::SetBusyCursor(true);
    if (!PageLoaded(index)) {
        LoadTabPage(index);
    }
    for (int k = 0; k < PageCount; ++k) {
        if (ConfPage* page = Page(k)) {
            page->setVisible(k == index);
        }
    }
    tabConf_->SetSelectedTab(index);
    tabConf_->DrawAll();
    platform::SetBusyCursor(false);
    building_ = false;
}

void FrmConf::LoadTabPage(int index)
{
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    const int tabWidth = InnerWidth - 2 * Margin;
    if (index == -1) {
        platform::MoveTwips(*tabConf_, Margin, Margin, tabWidth, TabHeight);
        tabConf_->SetNumTab(PageCount);
        tabConf_->SetUseIndpWidth(1);
        tabConf_->SetTabMinWidth(TabMinWidth);
        for (int k = 0; k < PageCount; ++k) {
            tabConf_->SetTabStr(k, TabCaptions.at(At(k)));
        }
        tabConf_->SetBGPic(Margin, Margin, &picture_);
        tabConf_->DrawAll();
        okCancel_->SetDesignType(1);
        okCancel_->SetOKCancel(0, 0, 1);
        platform::MoveTwips(*okCancel_, InnerWidth - Margin - ButtonsWidth,
                            Margin + TabHeight + PageHeight +
                                (InnerHeight - Margin - TabHeight - PageHeight - ButtonsHeight) / 2,
                            ButtonsWidth, ButtonsHeight);
        okCancel_->Init();
        okCancel_->show();
        // The one face every check box of the dialog shares.
        platform::MoveTwips(*faceSource_, 0, 0, 600, 270);
        basic::ApplySkin(*faceSource_, "", 0, &picture_, 9.0F, nullptr, 1.0F);
        return;
    }
    if (!IsPage(index) || PageLoaded(index)) {
        return;
    }
    ConfPage* page = PageFactory(index, this);
    page->hide();
    page->move(tpp > 0 ? 4 : 0, tabConf_->geometry().bottom() + 1);
    page->Build(tabWidth - 4 * tpp, PageHeight, faceSource_->Gradhdc());
    pages_.at(At(index)) = page;
}

void FrmConf::OKCancelButtons_ButtonClicked(int index)
{
    if (index == 1) {
        OK();
    } else {
        Cancel();
    }
}

bool FrmConf::OK()
{
    for (ConfPage* page : pages_) {
        if (page != nullptr && !page->Validate()) {
            return false;
        }
    }
    const basic::RefusedSaves refused;
    for (ConfPage* page : pages_) {
        if (page != nullptr) {
            page->Write();
        }
    }
    // The MIDI device box shows the device in use, not the stored one: an
    // unopened Remote page stores it too, so that OK stores the same whichever
    // pages were opened.
    if (!PageLoaded(RemotePage)) {
        ConfPageRemote::WriteUnbuilt();
    }
    // What was stored is applied when the dialog closes, also by Cancel.
    parms::ConfigConfirmed = 1;
    if (!refused.Empty()) {
        // The dialog stays open with the value shown, so the operator can
        // change it and press OK again.
        basic::ShowMessage(refused.Text(basic::LangText("次の設定は保存されませんでした。ほかの設定は保存されました。",
                                                        "These settings were not saved; the others were.")),
                           platform::IconExclamation, App::Title, this);
        return false;
    }
    Unload();
    return true;
}

void FrmConf::Cancel()
{
    Unload();
}

bool FrmConf::PageLoaded(int index) const
{
    return Page(index) != nullptr;
}

ConfPage* FrmConf::Page(int index) const
{
    return IsPage(index) ? pages_.at(At(index)) : nullptr;
}

int FrmConf::VisiblePage() const
{
    for (int k = 0; k < PageCount; ++k) {
        if (pages_.at(At(k)) != nullptr && pages_.at(At(k))->isVisibleTo(this)) {
            return k;
        }
    }
    return -1;
}

void FrmConf::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}
