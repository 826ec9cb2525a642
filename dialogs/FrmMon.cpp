#include "dialogs/FrmMon.h"

#include "audio/AudioInfoText.h"
#include "audio/CueMarkerPositions.h"
#include "audio/InertPlayer.h"
#include "audio/WaveInfoRecord.h"
#include "controls/ApplySkin.h"
#include "controls/ButtonIconLibrary.h"
#include "controls/SurfaceBox.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_PathText.h"
#include "controls/UC_TextPicture.h"
#include "dialogs/MonitorPlayer.h"
#include "dialogs/MonitorWindowHost.h"
#include "dialogs/SelectAllOnFocus.h"
#include "foundation/Background.h"
#include "foundation/Colors.h"
#include "foundation/Durations.h"
#include "foundation/FileAccess.h"
#include "foundation/Fonts.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/PrintCentered.h"
#include "foundation/Settings.h"
#include "foundation/WindowPositions.h"
#include "mainwindow/CounterTimeField.h"
#include "mainwindow/PanelLook.h"
#include "mainwindow/SettingReaders.h"
#include "mainwindow/StripColours.h"
#include "platform/SysColors.h"
#include "platform/TextBox.h"
#include "platform/TwipsGeometry.h"
#include "platform/WindowTimer.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>

#include <algorithm>
#include <optional>

namespace {

// Layout, twips.
constexpr int InnerWidth = 5490;
constexpr int BottomMargin = 195;
constexpr int StartRowTop = 3690;
constexpr int OptionsTop = 4110;
constexpr int OptionWidth = 615;
constexpr int OptionHeight = 255;
constexpr int ColorSide = 270;
constexpr int ColorRowStep = 330;
constexpr int StartBoxLeft = 1005;
constexpr int OptionsLeft = 1995;
constexpr int OptionColumnStep = 1650;
constexpr int DefaultTop = 4860;
constexpr int ListBottomTop = 4590;
constexpr int ButtonBottomTop = 5610;

const std::string CrLf = "\r\n";

std::int32_t RoundToInt32(double value)
{
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(numeric::RoundToInt64(value), INT32_MIN, INT32_MAX));
}

std::string InfoLine(std::string_view japanese, std::string_view english, std::int32_t ms)
{
    return "[" + basic::LangText(japanese, english) + "]  " + basic::FormatDuration(ms, 0, 0);
}

} // namespace

FrmMon::FrmMon(MonitorWindowHost& host, QWidget* owner)
    : platform::Form(owner), host_(host), player_(std::make_unique<InertPlayer>()), textInfo_(new QPlainTextEdit(this)),
      textFilename_(new UC_PathText(this)), playButtons_(new controls::UC_Buttons(this)),
      picCounter_(new controls::UC_TextPicture(this)), progBar_(new controls::UC_Bar(this)),
      editButton_(new controls::UC_Buttons(this)), monButtons_(new controls::UC_Buttons(this)),
      textMonStartMS_(new platform::TextBox(this)), checkSeq_(new UC_Check(this)),
      defaultButtons_(new controls::UC_Buttons(this)), deleteButtons_(new controls::UC_Buttons(this)),
      okCancel_(new controls::UC_Buttons(this)), timerUpdate_(new platform::WindowTimer(this))
{
    setWindowFlags(Qt::Tool);
    textInfo_->setReadOnly(true);
    textInfo_->setLineWrapMode(QPlainTextEdit::NoWrap);
    for (std::size_t i = 0; i < pictureColor_.size(); ++i) {
        auto* box = new controls::SurfaceBox(this);
        box->SetSunkenBorder(true);
        box->OnPointer = [this, i](const controls::PointerEvent& event) {
            if (event.kind == controls::PointerEvent::Kind::Release && event.button == 1) {
                PictureColor_Click(static_cast<int>(i));
            }
        };
        pictureColor_.at(i) = box;
    }
    for (std::size_t i = 0; i < options_.size(); ++i) {
        auto* option = new UC_Check(this);
        option->SetIsOption(1);
        option->Click = [this, i] { CheckButtonOption_Click(static_cast<int>(i)); };
        options_.at(i) = option;
    }
    textMonStartMS_->installEventFilter(new SelectAllOnFocus(textMonStartMS_));

    playButtons_->ButtonClicked = [this](int& index) { PlayButtons_Clicked(index); };
    monButtons_->ButtonClicked = [this](int& index) { MonButtons_Clicked(index); };
    editButton_->ButtonClicked = [this](int&) { host_.EditSound(item_); };
    defaultButtons_->ButtonClicked = [this](int&) {
        SetColorBox(0, 0);
        SetColorBox(1, 0);
    };
    deleteButtons_->ButtonClicked = [this](int&) { Delete(); };
    okCancel_->ButtonClicked = [this](int& index) {
        if (index == 1) {
            OK();
        } else if (index == 0) {
            Cancel();
        }
    };
    picCounter_->MouseUD = [this](int& button, bool& isDown, int&) {
        if (button == 1 && !isDown) {
            PicCounter_Released();
        }
    };
    progBar_->Scrolled = [this] { UpdateCounter(true); };
    progBar_->MouseUD = [this](bool& isDown) {
        if (!isDown) {
            ProgBar_Released();
        }
    };
    textFilename_->SelectButtonClicked = [this] { TextFilename_FileChosen(); };
    timerUpdate_->OnTimer = [this] { UpdateNow(); };

    // The close box only hides the window; the program's own unload closes it.
    OnQueryUnload = [this](int& cancel, int unloadMode) {
        if (unloadMode == platform::UnloadByUser) {
            cancel = 1;
            StopMon();
        }
    };
    OnUnload = [this](int&) { Unloading(); };
}

FrmMon::~FrmMon() = default;

void FrmMon::Form_Load()
{
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->window()->windowIcon());
    }
    SetCaption(basic::LangText("素材確認", "Info"));
    const QFont interfaceFont(QString::fromStdString(basic::UIFontFace));
    if (basic::LangDllMissing != 0 && !basic::UIFontFace.empty()) {
        textInfo_->setFont(interfaceFont);
        textMonStartMS_->setFont(interfaceFont);
    }
    CreatePlayer();
    SetUpTransport();
    SetUpCounter();
    SetUpBar();
    SetUpEditControls();
    listBottomTop_ = ListBottomTop;
    // The play-mode options share the row of the colour boxes, so both
    // button layouts end below the Default button.
    buttonBottomTop_ = ButtonBottomTop;
    LayOut(Kind::Button);
    basic::RestoreWindowPos(*this, "Mon", true, false, false);

    parms::MonitorExchange.MonitorOpen = 1;
    timerUpdate_->SetInterval(100);
    timerUpdate_->SetEnabled(true);
    dispLapMon_ = MainSettings::Long("DispLapMon", 1) == 0 ? 0 : 1;
}

void FrmMon::CreatePlayer()
{
    playerType_ = parms::PlayerType;
    player_ = MonitorPlayer::Create(playerType_, parentWidget() != nullptr ? parentWidget()->window() : this);
    // A mute tail waits inside StopIO; the buffers are fed from there.
    player_->MutingProc = [this] { UpdateNow(); };
}

void FrmMon::SetUpTransport()
{
    playButtons_->SetNumButtons(HasPause() ? 3 : 2);
    playButtons_->SetPicIndexn(0, controls::IconStop);
    playButtons_->SetPicIndexa(0, controls::IconStopLit);
    playButtons_->SetPicIndexn(1, controls::IconPlay);
    playButtons_->SetPicIndexa(1, controls::IconPlayLit);
    if (HasPause()) {
        playButtons_->SetPicIndexn(2, controls::IconPause);
        playButtons_->SetPicIndexa(2, controls::IconPauseLit);
    }
    platform::MoveTwips(*playButtons_, 2490, 210, 2760, 555);
    playButtons_->Init();
}

void FrmMon::SetUpCounter()
{
    platform::MoveTwips(*picCounter_, 210, 210, 2205, 555);
    picCounter_->ResetMe();
    CounterTimeField::Add(*picCounter_, 20, std::nullopt, PanelLook::FrameLines);
    picCounter_->AddStdColorSet(0);
    counterHasActiveSet_ = false;
    if (const auto playing = StripColours::HueOf(parms::StateColor[1])) {
        picCounter_->AddStdColorSet(StripColours::StdColorSetOf(*playing));
        counterHasActiveSet_ = true;
    }
    picCounter_->Init(PanelLook::FrameLines, 0);
    picCounter_->SetColor(0, 0);
    picCounter_->DispMes(0, basic::FormatDuration(0, 1, 0), 0);
}

void FrmMon::SetUpBar()
{
    platform::MoveTwips(*progBar_, 210, 870, 5040, 390);
    if (MainSettings::Long("ColorBar", 1) == 1) {
        progBar_->SetNoGrad(parms::HiColor != 0 ? 1 : 0);
        if (const auto playing = StripColours::HueOf(parms::StateColor[1])) {
            progBar_->SetBarColor(StripColours::PositionBar(*playing, parms::HiColor));
        }
    } else {
        progBar_->SetNoGrad(0);
        progBar_->SetBarColor(0);
    }
    progBar_->Init();
    const basic::Color text =
        parms::HiColor != 0 ? 0
                            : basic::ShiftColor(platform::SystemColor(platform::ColorBtnFace), -160, -160, -160, -1.0F);
    progBar_->SetStyle(11, false, basic::UIFontFace, text);
    progBar_->SetValue(0);
}

void FrmMon::SetUpEditControls()
{
    platform::MoveTwips(*textInfo_, 195, 1410, 5040, 1440);
    platform::MoveTwips(*textFilename_, 195, 2880, 5025, 270);
    textFilename_->Init();
    textFilename_->SetUsage(1);
    textFilename_->SetText(parms::MonitorExchange.MonitorFile);

    const bool editor = !parms::EditApp.empty();
    platform::MoveTwips(*editButton_, 195, 3195, 1680, 285);
    editButton_->setVisible(editor);
    editButton_->SetNumButtons(1);
    editButton_->SetButtonChar(0, basic::LangText("素材編集", "Edit Sound"));
    editButton_->Init();

    platform::MoveTwips(*textMonStartMS_, StartBoxLeft, StartRowTop, 1245, 285);
    platform::MoveTwips(*monButtons_, 2310, StartRowTop, 1680, 285);
    monButtons_->SetNumButtons(2);
    monButtons_->SetButtonChar(0, "Set");
    monButtons_->SetButtonChar(1, "Play");
    monButtons_->Init();

    platform::MoveTwips(*checkSeq_, 195, OptionsTop, OptionWidth * 3, OptionHeight);
    for (std::size_t i = 0; i < pictureColor_.size(); ++i) {
        // The back colour box sits below the text colour box.
        platform::MoveTwips(*pictureColor_.at(i), 195, OptionsTop + static_cast<int>(i) * ColorRowStep, ColorSide,
                            ColorSide);
    }
    for (std::size_t i = 0; i < options_.size(); ++i) {
        // Two columns of two, so the long captions fit.
        const int column = static_cast<int>(i % 2);
        const int row = static_cast<int>(i / 2);
        platform::MoveTwips(*options_.at(i), OptionsLeft + column * OptionColumnStep, OptionsTop + row * ColorRowStep,
                            OptionColumnStep - 150, OptionHeight);
    }
    platform::MoveTwips(*defaultButtons_, 195, DefaultTop, 1035, 270);
    defaultButtons_->SetNumButtons(1);
    defaultButtons_->SetButtonChar(0, basic::LangText("初期値", "Default"));
    defaultButtons_->Init();

    deleteButtons_->SetNumButtons(1);
    deleteButtons_->SetButtonChar(0, basic::LangText("削除", "Delete"));
    okCancel_->SetOKCancel(0, 0, 0);
}

bool FrmMon::SinglePlayerBackEnd() const
{
    return playerType_ == 2 || playerType_ == 3 || playerType_ == 4;
}

bool FrmMon::SamplePositionBackEnd() const
{
    return playerType_ == 0 || playerType_ == 3;
}

bool FrmMon::HasPause() const
{
    return parms::UsePause == 1;
}

void FrmMon::LayOut(Kind kind)
{
    const int bottomTop = kind == Kind::List ? listBottomTop_ : buttonBottomTop_;
    platform::MoveTwips(*deleteButtons_, 195, bottomTop + 15, 1680, 285);
    deleteButtons_->Init();
    platform::MoveTwips(*okCancel_, 2880, bottomTop, 2400, 330);
    okCancel_->Init();
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    setFixedSize(InnerWidth / tpp, (bottomTop + 330 + BottomMargin) / tpp);
    picture_ = platform::Surface(width(), height());
    basic::PaintBackground(picture_, 14, -1, -1, -1);
    PrintCaptions(kind);
    const auto skin = [this](UC_Check& check, const std::string& caption) {
        basic::ApplySkin(check, caption, check.Value(), &picture_, 9.0F, nullptr, 1.0F);
    };
    skin(*checkSeq_, parms::SeqMarkText);
    for (int i = 0; i < 4; ++i) {
        skin(CheckButtonOption(i), parms::ModeCaption.at(static_cast<std::size_t>(i))[1]);
    }
    layoutKind_ = kind;
    update();
}

void FrmMon::PrintCaptions(Kind kind)
{
    picture_.SetForeColor(0);
    if (kind == Kind::Button || (kind == Kind::List && parms::UseListStartMS == 1)) {
        basic::PrintCentered(picture_, {StartBoxLeft, StartRowTop, 1245, 285}, basic::LangText("開始位置", "Start ms"),
                             6, 0, 0);
    }
    if (kind == Kind::Button) {
        basic::PrintCentered(picture_, {195, OptionsTop, ColorSide, ColorSide}, basic::LangText("文字色", "Text Color"),
                             7, 0, 0);
        basic::PrintCentered(picture_, {195, OptionsTop + ColorRowStep, ColorSide, ColorSide},
                             basic::LangText("背景色", "BG Color"), 7, 0, 0);
    }
}

void FrmMon::StartMon(const MonitorItem& item, int autoPlay)
{
    item_ = item;
    const parms::MonitorExchangeValues& exchange = parms::MonitorExchange;
    const Kind kind = item.IsList ? Kind::List : Kind::Button;
    const bool buttonKind = kind == Kind::Button;
    for (int i = 0; i < 2; ++i) {
        PictureColor(i).setVisible(buttonKind);
    }
    defaultButtons_->setVisible(buttonKind);
    if (buttonKind) {
        textMonStartMS_->setVisible(true);
        monButtons_->setVisible(true);
        checkSeq_->setVisible(false);
        SetColorBox(0, exchange.MonitorColors[0]);
        SetColorBox(1, exchange.MonitorColors[1]);
        const bool optionsShown = parms::DispButtonOption >= 1 && playerType_ == 3;
        for (int i = 0; i < 4; ++i) {
            CheckButtonOption(i).SetValue(i == exchange.MonitorPlayMode ? 1 : 0);
            CheckButtonOption(i).setVisible(optionsShown);
        }
    } else {
        const bool startShown = parms::UseListStartMS == 1;
        textMonStartMS_->setVisible(startShown);
        monButtons_->setVisible(startShown);
        checkSeq_->setVisible(parms::UseListSeq == 1);
        checkSeq_->SetValue(exchange.MonitorSeq != 0 ? 1 : 0);
        for (int i = 0; i < 4; ++i) {
            CheckButtonOption(i).setVisible(false);
        }
    }
    if (kind != layoutKind_) {
        LayOut(kind);
    }
    LoadMonFile();
    textMonStartMS_->SetText(basic::FormatDuration(exchange.MonitorStartMS, 0, 1));
    if (autoPlay != 0) {
        MonButtons_Clicked(1);
        UpdateCounter(false);
        UpdateNow();
    }
}

void FrmMon::StopMon()
{
    player_->StopIO();
    hide();
}

void FrmMon::LoadMonFile()
{
    const std::string& file = parms::MonitorExchange.MonitorFile;
    textFilename_->SetText(file);
    textFilename_->SetInitDir(basic::GetSetting("SelDir", ""));
    if (SamplePositionBackEnd()) {
        textFilename_->SetFilter(basic::LangText("wavファイル|*.wav", "wav File|*.wav"));
    }
    std::string info = file;
    openedFile_.clear();

    int handle = 0;
    if (!file.empty()) {
        const std::string local = host_.GetLocalFilename(file);
        if (!local.empty()) {
            handle = basic::OpenFileHandle(local, basic::OpenForRead, 0);
        }
        if (handle != 0) {
            openedFile_ = local;
        } else {
            handle = basic::OpenFileHandle(file, basic::OpenForRead, 0);
            if (handle != 0) {
                openedFile_ = file;
            }
        }
    }
    if (handle == 0) {
        info += CrLf + basic::LangText("ファイルが見つかりません", "file not found");
    }

    AudioInfo audio;
    WaveInfoRecord wave;
    std::int32_t fromSample = 0;
    std::int32_t toSample = 0;
    std::int32_t fromMS = 0;
    std::int32_t toMS = 0;
    if (!openedFile_.empty()) {
        audio = FCT_AudioInf::GetAudioInfoText(openedFile_, handle, 0, 1);
        if (!audio.Text.empty()) {
            info += CrLf + audio.Text;
        }
        parms::GetCueMarkerPositions(openedFile_, handle, 0, 0, wave, fromSample, toSample, fromMS, toMS);
    }
    rangeStartMS_ = std::max(fromMS, 0);
    rangeEndMS_ = std::max(toMS, rangeStartMS_);
    rangeLengthMS_ = rangeEndMS_ - rangeStartMS_;
    info += CrLf + InfoLine("全長", "Total", audio.LengthMS);
    info += CrLf + InfoLine("開始", "From", rangeStartMS_);
    info += CrLf + InfoLine("終了", "To", rangeEndMS_);
    info += CrLf + InfoLine("範囲", "Length", rangeLengthMS_);
    textInfo_->setPlainText(QString::fromStdString(info));

    if (player_->mode() > 1) {
        player_->StopIO(1);
    }
    player_->SetFileName(openedFile_);
    player_->SetFromMS(rangeStartMS_);
    player_->SetToMS(rangeEndMS_);
    if (playerType_ == 0 && hasPlayed_ == 0 && wave.SampleRate > 0) {
        player_->SetPlayFreq(wave.SampleRate);
    }
    basic::CloseFileHandle(handle);
    // The lamps and the bar belong to the sound that was loaded before.
    ResetShownState();
    UpdateCounter(false);
}

std::string FrmMon::InfoText() const
{
    return textInfo_->toPlainText().toStdString();
}

void FrmMon::PlayButtons_Clicked(int index)
{
    switch (index) {
    case 0:
        player_->StopIO();
        break;
    case 1:
        player_->Play();
        if (player_->mode() == 3) {
            SetPlayButtons(1, 2, false);
        }
        break;
    case 2:
        player_->Pause();
        break;
    default:
        break;
    }
}

void FrmMon::SetPlayButtons(int button, int state, bool noLamp)
{
    if (!noLamp && (button < 2 || HasPause())) {
        playButtons_->SetButtonState(button, state);
        lamps_.at(static_cast<std::size_t>(button)) = state;
    }
    if (button == 1) {
        if (counterHasActiveSet_) {
            picCounter_->SetColor(state > 0 ? 1 : 0, 1);
        }
        UpdateCounter(false);
    }
}

void FrmMon::ResetShownState()
{
    if (shownState_ == 0) {
        return;
    }
    SetPlayButtons(1, 0, false);
    if (SinglePlayerBackEnd()) {
        SetPlayButtons(2, 0, false);
    }
    shownState_ = 0;
    progBar_->SetValue(0);
}

void FrmMon::UpdateNow()
{
    if (player_->Length() <= 0) {
        return;
    }
    if (SamplePositionBackEnd()) {
        player_->ProgressionPlay();
    }
    const std::int32_t mode = player_->mode();
    if (mode == 3) {
        hasPlayed_ = 1;
        if (shownState_ != 1) {
            SetPlayButtons(1, 2, false);
            shownState_ = 1;
            if (SinglePlayerBackEnd()) {
                SetPlayButtons(2, 0, false);
            }
        }
        if (!progBar_->Clicked() && rangeLengthMS_ != 0) {
            const double share = static_cast<double>(player_->Position() - rangeStartMS_) / rangeLengthMS_;
            progBar_->SetValue(RoundToInt32(std::clamp(share, 0.0, 1.0) * 1000.0));
            UpdateCounter(false);
        }
    } else if (mode == 2) {
        // Only the one-player back-ends show a pause; on the others the play
        // lamp stays lit.
        if (SinglePlayerBackEnd()) {
            hasPlayed_ = 1;
            if (shownState_ != 2) {
                SetPlayButtons(2, 2, false);
                shownState_ = 2;
            }
        }
    } else if (shownState_ != 0) {
        ResetShownState();
        // The next play starts at the range start again.
        player_->SetFromMS(rangeStartMS_);
    }
}

void FrmMon::UpdateCounter(bool fromBar)
{
    if (rangeLengthMS_ < 0) {
        return;
    }
    std::int32_t elapsed = 0;
    std::int32_t remaining = 0;
    if (fromBar) {
        const double bar = progBar_->Value();
        elapsed = RoundToInt32(bar / 1000.0 * rangeLengthMS_);
        remaining = RoundToInt32((1000.0 - bar) / 1000.0 * rangeLengthMS_);
    } else {
        const std::int32_t p = player_->Length() > 0 ? std::max(player_->Position(), rangeStartMS_) : rangeStartMS_;
        elapsed = p - rangeStartMS_;
        remaining = rangeEndMS_ - p;
    }
    const std::string elapsedText = basic::FormatDuration(elapsed, 1, 0);
    const std::string remainingText = "-" + basic::FormatDuration(remaining, 1, 0);
    const bool lap = dispLapMon_ == 1;
    if (parms::DispBarTime != 0) {
        progBar_->SetTextToDisp(lap ? remainingText : elapsedText);
        if (!progBar_->Clicked()) {
            progBar_->SetValue(progBar_->Value());
        }
    }
    picCounter_->DispMes(0, lap ? elapsedText : remainingText, 0);
}

void FrmMon::PicCounter_Released()
{
    dispLapMon_ = dispLapMon_ == 1 ? 0 : 1;
    if (counterHasActiveSet_) {
        picCounter_->SetColor(player_->mode() > 1 ? 1 : 0, 1);
    }
    UpdateCounter(false);
}

void FrmMon::ProgBar_Released()
{
    if (rangeLengthMS_ < 1) {
        return;
    }
    const double bar = progBar_->Value();
    player_->SetFromMS(RoundToInt32(bar / 1000.0 * rangeLengthMS_) + rangeStartMS_);
    if (player_->mode() == 3) {
        player_->Play();
    }
}

void FrmMon::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}

void FrmMon::Unloading()
{
    timerUpdate_->SetEnabled(false);
    player_->StopIO(1);
    player_->CloseWave();
    basic::SaveWindowPos(*this, "Mon", true, false);
    basic::SaveSetting("DispLapMon", dispLapMon_);
    parms::MonitorExchange.MonitorOpen = 0;
    if (AfterUnload) {
        AfterUnload();
    }
}
