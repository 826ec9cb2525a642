#include "cache/FrmSozai.h"

#include "cache/ShortcutFile.h"
#include "cache/SozaiListing.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_ListView.h"
#include "controls/UC_PathText.h"
#include "foundation/Background.h"
#include "foundation/FileAccess.h"
#include "foundation/Folders.h"
#include "foundation/Language.h"
#include "foundation/Parms.h"
#include "foundation/Paths.h"
#include "foundation/Settings.h"
#include "foundation/WindowPositions.h"
#include "platform/BusyCursor.h"
#include "platform/DragData.h"
#include "platform/ServerPaths.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace cache {

namespace {

// Layout, twips.
constexpr int Margin = 60; // the list's left offset, and the gaps
constexpr int PathHeight = 300;
constexpr int UpdateWidth = 1200;
constexpr int ListTop = Margin + PathHeight + Margin;
constexpr int MinimumListSize = 900;
// Width of the list that is not columns (its scroll bar and border).
constexpr int ListFrame = 450;
constexpr int InitialInnerWidth = 6000;
constexpr int InitialInnerHeight = 4500;

constexpr int DefaultColumns = 4;
// More cells a row than any screen shows: a stored value beyond is a typo.
constexpr int MostColumns = 32;

int ColumnsSetting()
{
    const std::optional<std::int32_t> stored =
        numeric::ParseLong(basic::GetSetting("NumSozaiColumn", DefaultColumns));
    // A value that is no count of columns (it divides the list's width).
    return stored ? std::clamp(*stored, 1, MostColumns) : DefaultColumns;
}

} // namespace

FrmSozai::FrmSozai(QWidget* owner)
    : platform::Form(owner), textSozaiPath_(new UC_PathText(this)), fctButtons_(new controls::UC_Buttons(this)),
      lvSozai_(new UC_ListView(this))
{
    setWindowFlags(Qt::Tool);
    OnQueryUnload = [this](int& cancel, int unloadMode) { Form_QueryUnload(cancel, unloadMode); };
    OnUnload = [this](int& cancel) { Form_Unload(cancel); };
    OnResize = [this] { Form_Resize(); };
    lvSozai_->DblClicked = [this] { LVSozai_DblClicked(); };
    lvSozai_->OLEStartDrag = [this](platform::DragData& offered, int& allowed) {
        LVSozai_OLEStartDrag(offered, allowed);
    };
    textSozaiPath_->SelectButtonClicked = [this] { ListSozaiFolder(); };
    fctButtons_->ButtonClicked = [this](int&) { ListSozaiFolder(); };
}

FrmSozai::~FrmSozai() = default;

std::string FrmSozai::PositionSuffix() const
{
    return "Sozai" + std::to_string(output_ + 1);
}

void FrmSozai::Form_Load(int output)
{
    output_ = output;
    if (parentWidget() != nullptr) {
        setWindowIcon(parentWidget()->window()->windowIcon());
    }
    SetCaption(basic::LangText("素材", "Sounds"));
    const int tpp = std::max(basic::TwipsPerPixel, 1);
    resize(InitialInnerWidth / tpp, InitialInnerHeight / tpp);

    numColumns_ = ColumnsSetting();
    UC_ListView& list = LVSozai();
    list.SetNumData(numColumns_);
    list.SetNumAux(numColumns_);
    list.SetTabDisabled(1);
    list.SetIconDisabled(1);
    list.SetInvertSelectedData(1);
    list.SetShowToolTip(1);
    list.SetUseUCBar(1);
    list.SetHbarDisabled(1);
    list.Init();
    list.InitTab();
    list.ReDrawTab(-1);
    list.SetSortDisabled(1);

    platform::MoveTwips(TextSozaiPath(), Margin, Margin, InitialInnerWidth - 3 * Margin - UpdateWidth, PathHeight);
    TextSozaiPath().SetTextHeight(PathHeight);
    TextSozaiPath().Init();
    TextSozaiPath().SetText(basic::GetSetting("SozaiPath", ""));

    controls::UC_Buttons& buttons = FCTButtons();
    platform::MoveTwips(buttons, InitialInnerWidth - Margin - UpdateWidth, Margin, UpdateWidth, PathHeight);
    buttons.SetNumButtons(1);
    buttons.SetMimiWidth(0);
    buttons.SetButtonChar(0, basic::LangText("表示更新", "update"));
    buttons.Init();

    ListSozaiFolder();
    basic::RestoreWindowPos(*this, PositionSuffix(), false, true, false);
    open_ = true;
    Form_Resize();
}

void FrmSozai::Form_QueryUnload(int& cancel, int unloadMode)
{
    if (unloadMode != platform::UnloadByUser) {
        return; // the program ends: the window unloads
    }
    // The operator's close keeps the window, its folder and its list.
    cancel = 1;
    basic::SaveWindowPos(*this, PositionSuffix(), false, true);
    hide();
}

void FrmSozai::Form_Unload(int& /*cancel*/)
{
    basic::SaveWindowPos(*this, PositionSuffix(), false, true);
    basic::SaveSetting("SozaiPath", TextSozaiPath().Text());
    open_ = false;
}

void FrmSozai::Form_Resize()
{
    if (!open_) {
        return;
    }
    const int innerWidth = ScaleWidth();
    const int innerHeight = ScaleHeight();
    const int listWidth = std::max(innerWidth - 2 * Margin, MinimumListSize);
    const int listHeight = std::max(innerHeight - ListTop - Margin, MinimumListSize);
    const int pathWidth = std::max(innerWidth - 3 * Margin - UpdateWidth, MinimumListSize);
    platform::MoveTwips(TextSozaiPath(), Margin, Margin, pathWidth, PathHeight);
    platform::MoveTwips(FCTButtons(), Margin + pathWidth + Margin, Margin, UpdateWidth, PathHeight);
    platform::MoveTwips(LVSozai(), Margin, ListTop, listWidth, listHeight);
    const int columnWidth = static_cast<int>(numeric::DivTrunc(listWidth - ListFrame, numColumns_));
    for (int c = 0; c < numColumns_; ++c) {
        LVSozai().SetTabWidth(c, columnWidth);
    }
    LVSozai().UserControl_Resize();

    picture_ = platform::Surface(std::max(width(), 1), std::max(height(), 1));
    basic::PaintBackground(picture_, 14, -1, -1, -1);
    update();
}

void FrmSozai::paintEvent(QPaintEvent* event)
{
    if (picture_.Image().isNull()) {
        return;
    }
    QPainter painter(this);
    painter.drawImage(event->rect(), picture_.Image(), event->rect());
}

std::string FrmSozai::CurrentFolder() const
{
    return platform::FromDesktopPath(basic::FixTrailingSeparator(textSozaiPath_->Text(), 0));
}

void FrmSozai::ListSozaiFolder()
{
    const std::string folder = CurrentFolder();
    if (folder.empty() || basic::FolderExists(folder) == 0) {
        return;
    }
    const platform::ScopedBusyCursor busy;
    UC_ListView& list = LVSozai();
    list.DeleteAll();
    const std::vector<sozai::Cell> cells =
        sozai::ListCells(folder, parms::PlayerType, [](std::string_view path) { return shortcut::ResolveShortcut(path); });
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const int column = static_cast<int>(i % static_cast<std::size_t>(numColumns_));
        if (column == 0) {
            list.AddItem(1);
        }
        const int row = list.ItemCount() - 1;
        list.SetValue(row, column, cells[i].display);
        list.SetAuxID(row, column, cells[i].hidden);
    }
    list.Refresh();
}

void FrmSozai::LVSozai_DblClicked()
{
    UC_ListView& list = LVSozai();
    const int row = list.SelectedItem();
    const int column = list.SelectedData();
    if (row < 0 || row >= list.ItemCount() || column < 0 || column >= numColumns_) {
        return;
    }
    const std::string hidden = list.AuxID(row, column).Text();
    const std::string folder = hidden == sozai::WayUp ? sozai::ParentFolder(CurrentFolder()) : hidden;
    // Sound files and unresolved shortcuts name no folder: nothing happens.
    if (folder.empty() || basic::FolderExists(folder) == 0) {
        return;
    }
    TextSozaiPath().SetText(basic::FixTrailingSeparator(folder, 0));
    ListSozaiFolder();
}

void FrmSozai::LVSozai_OLEStartDrag(platform::DragData& offered, int& allowedEffects)
{
    UC_ListView& list = LVSozai();
    const int row = list.SelectedItem();
    const int column = list.SelectedData();
    offered.Clear();
    allowedEffects = platform::DropEffectNone;
    if (row < 0 || row >= list.ItemCount() || column < 0 || column >= numColumns_ ||
        list.AuxID(row, column).Text() == sozai::WayUp) {
        return;
    }
    // Folder and shortcut cells name no file here, and a file that went
    // since the refresh is not offered.
    const std::string path = CurrentFolder() + list.Value(row, column).Text();
    if (basic::FileExists(path) == 0) {
        return;
    }
    allowedEffects = platform::DropEffectCopy;
    offered.SetFormat(platform::FormatFiles);
    offered.AddFile(path);
}

} // namespace cache
