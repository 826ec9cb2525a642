#pragma once

#include "controls/SurfaceBox.h"
#include "controls/listview/ListAutoScroll.h"
#include "controls/listview/ListCell.h"
#include "controls/listview/ListColumns.h"
#include "controls/listview/ListItemStore.h"
#include "controls/listview/ListScrollBar.h"
#include "controls/listview/ListSorter.h"
#include "controls/listview/RandomSource.h"
#include "platform/ComboBox.h"
#include "platform/ControlArray.h"
#include "platform/DragData.h"
#include "platform/ListBox.h"
#include "platform/Surface.h"
#include "platform/TextBox.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QMenu;
class QAction;

namespace platform {
class DropTarget;
}

// The owner-drawn list with columns: play lists, the material browser, the
// surround device table and the dialogs' lists. Windows set it up (NumData,
// NumAux and the flags, Init, SetStyle, the columns, InitTab), fill it and
// call Refresh or ReDraw after a batch of changes: item changes never redraw
// by themselves. Lengths are twips. Per-item members take -1 for the cursor
// item and -2 for the last item; any other index outside the list is ignored.
class UC_ListView final : public QWidget {
public:
    explicit UC_ListView(QWidget* parent = nullptr);
    ~UC_ListView() override;
    UC_ListView(const UC_ListView&) = delete;
    UC_ListView& operator=(const UC_ListView&) = delete;

    // Configuration, before Init.
    int NumData() const { return store_.NumData(); }
    void SetNumData(int count) { store_.SetNumData(count); }
    int NumAux() const { return store_.NumAux(); }
    void SetNumAux(int count) { store_.SetNumAux(count); }
    // Sliders as scroll bars; read by the first Init only.
    void SetUseUCBar(int on) { useUCBar_ = on; }
    void SetHbarDisabled(int disabled) { hbarDisabled_ = disabled; }
    void SetVbarDisabled(int disabled) { vbarDisabled_ = disabled; }
    void SetUseMadara(int on) { useMadara_ = on; }
    void SetNoMultiSelect(int on) { noMultiSelect_ = on; }
    // A 1-based column: rows whose value there is empty get a grey box.
    void SetBorderIfBlank(int column) { borderIfBlank_ = column; }
    void SetNoOleScroll(int on) { noOleScroll_ = on; }
    int OneHeight() const { return oneHeight_; }
    void SetOneHeight(int twips) { oneHeight_ = twips; }
    void SetSelectedColor(platform::Color colour) { selectedColor_ = colour; }
    void SetSelectedColorMode(int mode) { selectedColorMode_ = mode; }
    void SetNumWheelScroll(int rows) { numWheelScroll_ = rows; }
    void SetBarNoDoEvents(int on) { barNoDoEvents_ = on; }
    void SetNoAlign4Tab(int on) { noAlign4Tab_ = on; }
    void SetUseScroll(int on) { useScroll_ = on; }
    void SetVLineColor(platform::Color colour) { vLineColor_ = colour; }
    void SetInvertSelectedData(int on) { invertSelectedData_ = on; }
    void SetShowToolTip(int on) { showToolTip_ = on; }
    void SetIconDisabled(int on) { iconDisabled_ = on; }
    int ClickDisabled() const { return clickDisabled_; }
    void SetClickDisabled(int on) { clickDisabled_ = on; }
    void SetTabDisabled(int on) { tabDisabled_ = on; }
    void SetSortDisabled(int on) { sortDisabled_ = on; }

    // Set-up, layout and drawing.
    void Init();
    void SetStyle(float fontSize, int bold, std::string_view fontName, platform::Color foreColor,
                  platform::Color backColor);
    void InitTab();
    void UserControl_Resize();
    void ReDraw();
    // Scrolls back to the top left and redraws everything.
    void Refresh();

    // Scrolling.
    void SetVbarParm();
    void VBarMove(int delta);
    void VBarScroll(int notches);
    void HBarMove(int delta);
    void HBarScroll(int notches);
    void ShowSelected(int onlyIfHidden);
    void ShowItem(int index, int onlyIfHidden);
    void SetTopItem(int index, int atTop, int onlyIfHidden);
    int TopItem() const { return topItem_; }

    // Columns.
    int UseTabOrder() const { return useTabOrder_; }
    void SetUseTabOrder(int on) { useTabOrder_ = on; }
    void SetTabOrder(int tab, int position) { columns_.SetTabOrder(tab, position); }
    int TabOrder(int tab) const { return columns_.TabOrder(tab); }
    int DataNumeric(int tab) const { return columns_.DataNumeric(tab); }
    void SetDataNumeric(int tab, int on) { columns_.SetDataNumeric(tab, on); }
    void SetTextIsTime(int tab, int on) { columns_.SetTextIsTime(tab, on); }
    std::string TabName(int tab) const { return columns_.TabName(tab); }
    void SetTabName(int tab, std::string_view name) { columns_.SetTabName(tab, name); }
    int TabHidden(int tab) const { return columns_.TabHidden(tab); }
    void SetTabHidden(int tab, int hidden);
    int TabWidth(int tab) const { return columns_.TabWidth(tab); }
    void SetTabWidth(int tab, int width) { columns_.SetTabWidth(tab, width); }
    int TabAlign(int tab) const { return columns_.TabAlign(tab); }
    void SetTabAlign(int tab, int align) { columns_.SetTabAlign(tab, align); }
    void ReDrawTab(int pressed);
    void SetTabWidthAuto();

    // In-place editors.
    void SetUseTextCombo(int tab, int flags) { columns_.SetUseTextCombo(tab, flags); }
    void SetFrontObj(int tab, int kind) { columns_.SetFrontObj(tab, kind); }
    int HideTextCombo() const { return hideTextCombo_; }
    void SetHideTextCombo(int hide) { hideTextCombo_ = hide; }
    int TextComboVisible() const;
    int ComboIndex(int item, int column) const;
    // Fills the column's combo and list box with the output (kind 0) or
    // input device names.
    void LoadDevToLVCombo(int tab, int kind);
    void AddComboItem(int tab, std::string_view text);
    void ClearComboItem(int tab);
    void AddListItem(int tab, std::string_view text);
    void ClearListItem(int tab);

    // Items.
    int ItemCount() const { return store_.ItemCount(); }
    int SelectedItem() const { return store_.SelectedItem(); }
    void SetSelectedItem(int index) { store_.SetSelectedItem(index); }
    int SelectedData() const { return store_.SelectedData(); }
    listview::ListCell Value(int item, int column) const { return store_.Value(item, column); }
    void SetValue(int item, int column, listview::ListCell value) { store_.SetValue(item, column, std::move(value)); }
    listview::ListCell AuxID(int item, int n) const { return store_.AuxID(item, n); }
    void SetAuxID(int item, int n, listview::ListCell value) { store_.SetAuxID(item, n, std::move(value)); }
    int IconType(int item) const { return store_.IconType(item); }
    void SetIconType(int item, int icon) { store_.SetIconType(item, icon); }
    platform::Color DispColor(int item) const { return store_.DispColor(item); }
    void SetDispColor(int item, platform::Color colour) { store_.SetDispColor(item, colour); }
    platform::Color HLine(int item) const { return store_.HLine(item); }
    void SetHLine(int item, platform::Color colour) { store_.SetHLine(item, colour); }
    int IsSelected(int item) const { return store_.IsSelected(item); }
    void SetIsSelected(int item, int selected) { store_.SetIsSelected(item, selected); }
    int NumSelectedItems() const { return store_.NumSelectedItems(); }
    int MultiSelected() const { return store_.MultiSelected(); }
    void AddItem(int count) { store_.AddItem(count); }
    void InsertItem(int index, int count) { store_.InsertItem(index, count); }
    void ResetNumTab() { store_.ResetNumTab(); }
    int YsItem(double y) const { return store_.ItemAtY(y, oneHeight_, topItem_); }
    void DeleteItem(int index) { store_.DeleteItem(index); }
    void DeleteItemEx(int from, int to) { store_.DeleteItemEx(from, to); }
    void DeleteAll();
    void DeleteSelected() { store_.DeleteSelected(); }
    void UnSelectAll() { store_.UnSelectAll(); }
    void SelectAll() { store_.SelectAll(); }
    void ExchangeItem(int delta) { store_.ExchangeItem(delta); }
    void MoveCursor(int down) { store_.MoveCursor(down); }

    // Order.
    int OrderData() const { return sorter_.OrderData(); }
    void SetOrderData(int column) { sorter_.SetOrderData(column); }
    int OrderInverted() const { return sorter_.OrderInverted(); }
    void SetOrderInverted(int inverted) { sorter_.SetOrderInverted(inverted); }
    void ReOrder(int column, int keepAscending, int order)
    {
        sorter_.ReOrder(store_, columns_, column, keepAscending, order);
    }
    void RndItem();
    // Where shuffles take their numbers from (by default one generator
    // seeded once).
    void SetRandomSource(std::unique_ptr<listview::RandomSource> random) { random_ = std::move(random); }

    // Events, raised synchronously; arguments by reference may be changed.
    std::function<void()> DblClicked;
    std::function<void()> TabMoved;
    std::function<void()> TabReOrderd;
    std::function<void(double& x, double& y)> RightClicked;
    std::function<void(int& button, int& shift, double& x, double& y)> MouseDown;
    std::function<void(double& x, double& y)> Clicked;
    std::function<void(platform::DragData& data, int& allowedEffects)> OLEStartDrag;
    std::function<void(int& effect)> OLECompleteDrag;
    std::function<void(platform::DragData& data, int& effect, int& button, int& shift, double& x, double& y)>
        OLEDragDrop;
    std::function<void(int& pData, int& pValue)> ComboChaged;
    std::function<void(int pIsCombo, int pTab, int pAction, int& keyValue, int& shift)> TextComboKeyAction;
    std::function<void()> OLEDragOver;

    // The parts, for windows that load their own icons and for tests.
    controls::SurfaceBox& ListArea() { return *pictureList_; }
    controls::SurfaceBox& HeaderArea() { return *pictureTab_; }
    platform::Surface& PictureIcons() { return icons_; }
    listview::ListScrollBar* VBar() { return vbar_.get(); }
    listview::ListScrollBar* HBar() { return hbar_.get(); }
    bool VBarVisible() const { return vbarShown_; }
    bool HBarVisible() const { return hbarShown_; }
    int HorizontalOffset() const { return hOffset_; }
    int VisibleRows() const { return visibleRows_; }
    platform::TextBox* TextEditor(int instance) const { return textLV_.At(instance); }
    platform::ComboBox* ComboEditor(int instance) const { return comboLV_.At(instance); }
    platform::ListBox* ListEditor(int instance) const { return listLV_.At(instance); }
    QMenu& ColumnMenu() { return *menuRCTab_; }
    // Rows painted by the last ReDraw.
    int PaintedRows() const { return paintedRows_; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Set-up.
    void CreateBars();
    void PlaceBars();
    void PaintTabGradient();
    int Px(int pixels) const;
    int ListTop() const;

    // Drawing.
    void DrawRow(int row, int item, int selectionLeft, int selectionRight, int paintHeight);
    void DrawIcon(int row, int icon);
    void HideEditors();
    void PlaceEditorsOnRow(int row);
    void PlaceEditorsAcross();

    // Rows' mouse.
    void RowsPointer(const controls::PointerEvent& event);
    void HeaderPointer(const controls::PointerEvent& event);
    void RowsMouseDown(int button, int shift, double x, double y);
    void RowsMouseMove(int buttons, int shift, double x, double y);
    void RowsMouseUp(int button, int shift, double x, double y);
    void RowsDblClick(int button, int shift, double x, double y);
    int RowAtPress(double y) const;
    void StartRowsDrag();
    void SetMousePointer(int pointer);

    // Header's mouse.
    void HeaderMouseDown(int button, int shift, double x, double y);
    void HeaderMouseMove(int buttons, int shift, double x, double y);
    void HeaderMouseUp(int button, int shift, double x, double y);
    void ShowColumnMenu(double x);

    // Editors.
    void WireTextBox(platform::TextBox& box, int instance);
    void WireComboBox(platform::ComboBox& box, int instance);
    void WireListBox(platform::ListBox& box, int instance);
    void TextChanged(int instance);
    void ComboChosen(int instance);
    void ListChosen(int instance);
    void RaiseKeyAction(int isCombo, int instance, int action, int& keyValue, int shift);
    void LoadEditorInstances();
    void FitRowHeight();

    // Scrolling and drag and drop.
    void VBarChanged();
    void HBarChanged();
    void Yield();
    void DragOverRows(double x, double y, int state);
    void DropOnRows(platform::DragData& dropped, int& effect, int button, int shift, double x, double y);

    listview::ListItemStore store_;
    listview::ListColumns columns_;
    listview::ListSorter sorter_;
    listview::ListAutoScroll autoScroll_;
    std::unique_ptr<listview::RandomSource> random_;

    // Children (owned by Qt through their parents).
    QWidget* pictureAll_;
    controls::SurfaceBox* pictureTab_;
    controls::SurfaceBox* pictureList_;
    platform::Surface tabGrad_;
    platform::Surface icons_;
    platform::ControlArray<platform::TextBox> textLV_;
    platform::ControlArray<platform::ComboBox> comboLV_;
    platform::ControlArray<platform::ListBox> listLV_;
    QMenu* menuRCTab_;
    std::vector<QAction*> menuItems_;
    platform::DropTarget* dropTarget_;
    std::unique_ptr<listview::ListScrollBar> vbar_;
    std::unique_ptr<listview::ListScrollBar> hbar_;

    // Configuration.
    int useUCBar_ = 0;
    int hbarDisabled_ = 0;
    int vbarDisabled_ = 0;
    int useMadara_ = 0;
    int noMultiSelect_ = 0;
    int borderIfBlank_ = 0;
    int noOleScroll_ = 0;
    int oneHeight_ = 0;
    platform::Color selectedColor_ = 0xC0A0A0;
    int selectedColorMode_ = 9;
    int numWheelScroll_ = 3;
    int barNoDoEvents_ = 0;
    int noAlign4Tab_ = 0;
    int useScroll_ = 0;
    platform::Color vLineColor_ = platform::SystemColor(platform::ColorBtnFace);
    int invertSelectedData_ = 0;
    int showToolTip_ = 0;
    int iconDisabled_ = 0;
    int clickDisabled_ = 0;
    int tabDisabled_ = 0;
    int sortDisabled_ = 0;
    int useTabOrder_ = 0;
    int hideTextCombo_ = 0;

    // State.
    bool initialised_ = false;
    bool styleSet_ = false;
    bool barsMade_ = false;
    platform::Color listBackColor_ = platform::SystemColor(platform::ColorWindow);
    float fontScale_ = 1;
    int textStart_ = 0;  // first visible column's text, twips
    int textOffset_ = 0; // text within a row
    int editorOffset_ = 0;
    int rowPaintHeight_ = 0;
    int topItem_ = 0;
    int lastDrawnTop_ = 0;
    int hOffset_ = 0;
    int visibleRows_ = 0;
    bool vbarShown_ = false;
    bool hbarShown_ = false;
    int paintedRows_ = 0;
    bool syncingEditors_ = false;

    // Mouse.
    bool pressPending_ = false;
    double pressX_ = -1;
    double pressY_ = -1;
    int pressVValue_ = 0;
    int pressHValue_ = 0;
    int mousePointer_ = 0;
    int resizingTab_ = -1;
    int rightClickedTab_ = -1;
};
