#include "cache/UC_FileHand.h"

#include "cache/FileCompare.h"
#include "cache/FolderMirror.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_TextPicture.h"
#include "foundation/Fonts.h"
#include "platform/FontWindow.h"
#include "platform/Surface.h"
#include "platform/SysColors.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPushButton>

#include <algorithm>

namespace cache {

namespace {

constexpr double FaceWidth = 320;
constexpr double FaceHeight = 100;
constexpr std::string_view CancelCaption = "キャンセル";
constexpr int ProgressRange = 1000;

} // namespace

UC_FileHand::UC_FileHand(QWidget* parent) : QWidget(parent), engine_(FileHandEngine::Create())
{
    engine_->Hooks.ShowMessage = [this](std::string_view text, int flag) { ShowMessage(text, flag); };
    engine_->Hooks.SetProgress = [this](float rate) { SetProgress(rate); };
    engine_->Hooks.MirrorProg = [this](float rate) {
        // A copy: the handler may end this control.
        if (const auto event = MirrorProg) {
            event(rate);
        }
    };
    engine_->Hooks.HikakuProg = [this](float rate) {
        if (const auto event = HikakuProg) {
            event(rate);
        }
    };
}

UC_FileHand::~UC_FileHand()
{
    // An operation still running inside a wait keeps its engine alive; it must
    // stop soon and never reach this face again.
    engine_->ProcCancel();
    engine_->Hooks = {};
}

int UC_FileHand::Scaled(double pixels) const
{
    return static_cast<int>(numeric::RoundToInt64(sizeRate_ * pixels));
}

std::int32_t UC_FileHand::AdjustX() const
{
    return static_cast<std::int32_t>(numeric::RoundToInt64(sizeRate_ * FaceWidth / 2) * basic::TwipsPerPixel);
}

std::int32_t UC_FileHand::AdjustY() const
{
    return static_cast<std::int32_t>(numeric::RoundToInt64(sizeRate_ * FaceHeight / 2) * basic::TwipsPerPixel);
}

platform::Surface& UC_FileHand::Picture()
{
    static platform::Surface none;
    return face0_ != nullptr ? face0_->Picture() : none;
}

void UC_FileHand::Init(int pMode)
{
    resize(Scaled(FaceWidth), Scaled(FaceHeight));
    basic::SetControlFont(platform::FontWindow(this), -2, nullptr, 0, false, false, "");
    initMode_ = pMode == 1 ? 1 : 0;
    if (initMode_ == 1) {
        BuildFace1();
    } else {
        BuildFace0();
    }
}

void UC_FileHand::BuildFace0()
{
    if (pictureParent_ != nullptr) {
        pictureParent_->hide();
    }
    if (face0_ == nullptr) {
        face0_ = new controls::SurfaceBox(this);
        cancelButton_ = new QPushButton(QString::fromUtf8(CancelCaption.data(), CancelCaption.size()), this);
        cancelButton_->setObjectName("CancelButton");
        QObject::connect(cancelButton_, &QPushButton::clicked, this, [this] { engine_->ProcCancel(); });
    }
    face0_->setGeometry(rect());
    basic::SetControlFont(&face0_->Picture(), -2, nullptr, 0, false, false, "");
    basic::SetControlFont(platform::FontWindow(cancelButton_), -2, nullptr, 0, false, false, "");
    const int buttonWidth = Scaled(100);
    const int buttonHeight = Scaled(20);
    cancelButton_->setGeometry((width() - buttonWidth) / 2, height() - buttonHeight - Scaled(20) / 2, buttonWidth,
                               buttonHeight);
    face0_->show();
    cancelButton_->show();
    cancelButton_->raise();
    ShowMessage("", 0);
}

void UC_FileHand::BuildFace1()
{
    if (face0_ != nullptr) {
        face0_->hide();
        cancelButton_->hide();
    }
    if (pictureParent_ == nullptr) {
        pictureParent_ = new controls::SurfaceBox(this);
        pictureParent_->setObjectName("PictureParentName");
        textMes_ = new controls::UC_TextPicture(pictureParent_);
        textMes_->setObjectName("TextMesName");
        progBar_ = new controls::UC_Bar(pictureParent_);
        progBar_->setObjectName("ProgBarName");
        cancelRow_ = new controls::UC_Buttons(pictureParent_);
        cancelRow_->setObjectName("CancelButtonName");
        for (QWidget* child : std::initializer_list<QWidget*>{textMes_, progBar_, cancelRow_}) {
            child->setFocusPolicy(Qt::NoFocus);
        }
        cancelRow_->ButtonClicked = [this](int&) { engine_->ProcCancel(); };
    }
    pictureParent_->setGeometry(0, 0, Scaled(FaceWidth), Scaled(FaceHeight));
    pictureParent_->Picture().Cls();

    textMes_->setGeometry(Scaled(20), Scaled(20), Scaled(280), Scaled(20));
    textMes_->ResetMe();
    textMes_->AddStdColorSet(1);
    textMes_->AddTextSpace(9 * sizeRate_, false, false, "", 90, -1);
    textMes_->Init(0, 0);

    progBar_->setGeometry(Scaled(20), Scaled(45), Scaled(280), Scaled(20));
    progBar_->Init();
    progBar_->SetMax(ProgressRange);

    cancelRow_->setGeometry(Scaled(110), Scaled(70), Scaled(100), Scaled(20));
    cancelRow_->SetNumButtons(1);
    cancelRow_->SetFontSize(9 * sizeRate_);
    cancelRow_->SetButtonChar(0, CancelCaption);
    cancelRow_->SetMimiWidth(0);
    cancelRow_->Init();

    pictureParent_->show();
    textMes_->show();
    progBar_->show();
    cancelRow_->show();
}

void UC_FileHand::ShowMessage(std::string_view text, int flag)
{
    if (initMode_ == 1) {
        if (textMes_ != nullptr) {
            textMes_->DispMes(0, text, 0);
        }
        return;
    }
    if (face0_ == nullptr) {
        return;
    }
    platform::Surface& picture = face0_->Picture();
    const int p = basic::TwipsPerPixel;
    picture.Cls();
    picture.Line(0, 0, picture.Width() - p, picture.Height() - p, platform::SystemColor(platform::ColorBtnShadow),
                 platform::LineShape::Box);
    picture.DrawEdge({Scaled(20), Scaled(20), picture.PixelWidth() - Scaled(20), Scaled(30)}, platform::EdgeSunken,
                     platform::EdgeRect);
    if (!text.empty()) {
        const double left =
            flag == 1 ? Scaled(20) * p : std::max((picture.Width() - picture.TextWidth(text)) / 2, 30.0);
        picture.SetForeColor(platform::SystemColor(platform::ColorBtnText));
        picture.SetCurrentX(left);
        picture.SetCurrentY(Scaled(30) * p + 120);
        picture.Print(text);
    }
    face0_->Refresh();
}

void UC_FileHand::SetProgress(float rate)
{
    if (initMode_ == 1) {
        if (progBar_ != nullptr) {
            progBar_->SetValue(static_cast<int>(numeric::RoundToInt64(rate * ProgressRange)));
        }
        return;
    }
    if (face0_ == nullptr) {
        return;
    }
    platform::Surface& picture = face0_->Picture();
    const int p = basic::TwipsPerPixel;
    const double track = picture.PixelWidth() - 44.0 * sizeRate_;
    const int length = static_cast<int>(numeric::RoundToInt64(std::clamp(rate, 0.0F, 1.0F) * track));
    if (length >= 1) {
        const int left = Scaled(22);
        picture.Line(left * p, Scaled(22) * p, (left + length - 1) * p, Scaled(27) * p,
                     platform::SystemColor(platform::ColorActiveCaption), platform::LineShape::FilledBox);
    }
    face0_->Refresh();
}

std::int32_t UC_FileHand::MirrorFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt,
                                     std::int64_t pSize, std::int32_t pSaiki)
{
    // The engine outlives this control when a handler run inside the copy
    // deletes it; nothing of the control is touched after the call.
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return engine->MirrorFile(sFilename, tFilename, pInt, pSize, pSaiki);
}

std::int32_t UC_FileHand::TranspFile(std::string_view sFilename, std::string_view tFilename, std::int32_t KillTarget,
                                     std::int32_t KillSource, std::int64_t pSize, std::int32_t pInt,
                                     std::int32_t pSaiki)
{
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return engine->TranspFile(sFilename, tFilename, KillTarget, KillSource, pSize, pInt, pSaiki);
}

std::int32_t UC_FileHand::DelAllTempfile(std::string_view pFolder, std::int32_t pSlow, std::int32_t pSaiki)
{
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return engine->DelAllTempfile(pFolder, pSlow, pSaiki);
}

std::int32_t UC_FileHand::MirrorFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pNoDel,
                                       std::int64_t pSize, std::int32_t pInt, std::int32_t pSaiki,
                                       std::int32_t pNoSysFolder, std::int32_t pFileCheckDate,
                                       std::int32_t pNoSubFolder, std::int32_t pFileCheckMinute, std::int32_t pNoOW)
{
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return FolderMirror(*engine).MirrorFolder(sFolder, tFolder, pNoDel, pSize, pInt, pSaiki, pNoSysFolder,
                                              pFileCheckDate, pNoSubFolder, pFileCheckMinute, pNoOW);
}

std::int32_t UC_FileHand::MirrorOnlyFolder(std::string_view sFolder, std::string_view tFolder, std::int32_t pSaiki,
                                           std::int32_t pNoSysFolder)
{
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return FolderMirror(*engine).MirrorOnlyFolder(sFolder, tFolder, pSaiki, pNoSysFolder);
}

std::int32_t UC_FileHand::HikakuFile(std::string_view sFilename, std::string_view tFilename, std::int32_t pInt,
                                     std::int64_t pSize)
{
    const std::shared_ptr<FileHandEngine> engine = engine_;
    return FileCompare(*engine).HikakuFile(sFilename, tFilename, pInt, pSize);
}

void UC_FileHand::FindFileInfo(std::string_view path, std::string& timeText, std::int64_t& size)
{
    FolderMirror::FindFileInfo(path, timeText, size);
}

} // namespace cache
