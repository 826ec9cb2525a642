#include "controls/UC_ListView.h"

#include "controls/listview/ListIcons.h"
#include "controls/listview/SliderListBar.h"
#include "controls/listview/StandardListBar.h"
#include "foundation/Background.h"
#include "foundation/Fonts.h"
#include "platform/DropTarget.h"
#include "platform/TwipsGeometry.h"
#include "platform/audio/AudioSystem.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <QAction>
#include <QMenu>

#include <algorithm>

namespace {

constexpr int BarThickness = 270; // twips
constexpr int MinControlSize = 600;

int Round(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

} // namespace

UC_ListView::UC_ListView(QWidget* parent)
    : QWidget(parent), pictureAll_(new QWidget(this)), pictureTab_(new controls::SurfaceBox(pictureAll_)),
      pictureList_(new controls::SurfaceBox(pictureAll_)), textLV_(new platform::TextBox(pictureList_)),
      comboLV_(new platform::ComboBox(pictureList_)), listLV_(new platform::ListBox(pictureList_)),
      menuRCTab_(new QMenu(this)), dropTarget_(new platform::DropTarget(*pictureList_))
{
    icons_.SetPicture(listview::DefaultListIcons());
    for (QWidget* editor : std::initializer_list<QWidget*>{textLV_.At(0), comboLV_.At(0), listLV_.At(0)}) {
        editor->hide();
    }
    WireTextBox(*textLV_.At(0), 0);
    WireComboBox(*comboLV_.At(0), 0);
    WireListBox(*listLV_.At(0), 0);
    textLV_.SetLoadHandler([this](platform::TextBox& box, int index) { WireTextBox(box, index); });
    comboLV_.SetLoadHandler([this](platform::ComboBox& box, int index) { WireComboBox(box, index); });
    listLV_.SetLoadHandler([this](platform::ListBox& box, int index) { WireListBox(box, index); });

    pictureList_->OnPointer = [this](const controls::PointerEvent& event) { RowsPointer(event); };
    pictureTab_->OnPointer = [this](const controls::PointerEvent& event) { HeaderPointer(event); };

    dropTarget_->OnDragOver = [this](platform::DragData&, int&, int, int, double x, double y, int state) {
        DragOverRows(x, y, state);
    };
    dropTarget_->OnDragDrop = [this](platform::DragData& dropped, int& effect, int button, int shift, double x,
                                     double y) { DropOnRows(dropped, effect, button, shift, x, y); };
    // A list nobody asked to take files (the material browser's) takes none.
    dropTarget_->TakesDrops = [this] { return static_cast<bool>(OLEDragDrop); };
}

UC_ListView::~UC_ListView() = default;

int UC_ListView::Px(int pixels) const
{
    return pixels * basic::TwipsPerPixel;
}

int UC_ListView::ListTop() const
{
    return platform::TopTwips(*pictureList_);
}

void UC_ListView::Init()
{
    columns_.Reset(store_.NumData());
    store_.DeleteAll();
    topItem_ = 0;
    lastDrawnTop_ = 0;
    hOffset_ = 0;
    textStart_ = Px(iconDisabled_ != 0 ? 6 : 22);
    sorter_.Forget();
    if (!styleSet_) {
        SetStyle(9, 0, basic::UIFontFace, platform::SystemColor(platform::ColorWindowText),
                 platform::SystemColor(platform::ColorWindow));
    }
    if (!barsMade_) {
        CreateBars();
    }
    platform::Surface& header = pictureTab_->Picture();
    const int headerHeight = std::max(Px(18), Round(header.TextHeight("漢")) + Px(6));
    platform::SetHeightTwips(*pictureTab_, headerHeight);
    if (tabDisabled_ == 1) {
        platform::SetTopTwips(*pictureList_, 0);
        pictureTab_->hide();
    } else {
        platform::SetTopTwips(*pictureList_, headerHeight);
        pictureTab_->show();
    }
    platform::MoveTwips(hbar_->Widget(), 0, platform::TopTwips(hbar_->Widget()), platform::WidthTwips(hbar_->Widget()),
                        BarThickness);
    platform::MoveTwips(vbar_->Widget(), platform::LeftTwips(vbar_->Widget()), ListTop(), BarThickness,
                        platform::HeightTwips(vbar_->Widget()));
    hbar_->SetSmallChange(Px(1));
    vbar_->SetSmallChange(1);
    PaintTabGradient();
    initialised_ = true;
}

void UC_ListView::CreateBars()
{
    barsMade_ = true;
    if (useUCBar_ != 0) {
        hbar_ = std::make_unique<listview::SliderListBar>(false, pictureAll_);
        vbar_ = std::make_unique<listview::SliderListBar>(true, pictureAll_);
    } else {
        hbar_ = std::make_unique<listview::StandardListBar>(Qt::Horizontal, pictureAll_);
        vbar_ = std::make_unique<listview::StandardListBar>(Qt::Vertical, pictureAll_);
    }
    hbar_->OnChanged = [this] { HBarChanged(); };
    vbar_->OnChanged = [this] { VBarChanged(); };
    hbar_->Widget().hide();
    vbar_->Widget().hide();
}

void UC_ListView::PaintTabGradient()
{
    tabGrad_.Resize(1, std::max(platform::TwipsToPixels(platform::HeightTwips(*pictureTab_)), 1));
    tabGrad_.Cls();
    basic::PaintBackground(tabGrad_, 5, -1, -1, -1);
}

void UC_ListView::SetStyle(float fontSize, int bold, std::string_view fontName, platform::Color foreColor,
                           platform::Color backColor)
{
    store_.SetDefaultTextColor(foreColor);
    platform::Surface& list = pictureList_->Picture();
    list.SetForeColor(foreColor);
    listBackColor_ = backColor;
    list.SetBackColor(backColor);
    const int font =
        basic::SetControlFont(platform::FontWindow(&list), -2, nullptr, fontSize, bold != 0, false, fontName);
    fontScale_ = font >= 0 ? basic::FontCache()[static_cast<std::size_t>(font)].HeightRatio : 1.0F;
    if (font >= 0) {
        for (QWidget* editor : std::initializer_list<QWidget*>{textLV_.At(0), comboLV_.At(0), listLV_.At(0)}) {
            basic::SetControlFont(platform::FontWindow(editor), font, nullptr, 0, false, false, "");
        }
    }
    basic::SetControlFont(platform::FontWindow(&pictureTab_->Picture()), -2, nullptr, 0, false, false, "");
    // The editors' own heights follow their font, as designed editors do.
    platform::TextBox& text = *textLV_.At(0);
    platform::ComboBox& combo = *comboLV_.At(0);
    platform::ListBox& listBox = *listLV_.At(0);
    text.resize(text.width(), text.sizeHint().height());
    combo.resize(combo.width(), combo.sizeHint().height());
    listBox.resize(listBox.width(), text.sizeHint().height());
    oneHeight_ = 0;
    styleSet_ = true;
}

void UC_ListView::InitTab()
{
    const int count = columns_.Count();
    while (static_cast<int>(menuItems_.size()) > count) {
        menuRCTab_->removeAction(menuItems_.back());
        menuItems_.back()->deleteLater();
        menuItems_.pop_back();
    }
    while (static_cast<int>(menuItems_.size()) < count) {
        const int position = static_cast<int>(menuItems_.size());
        QAction* item = menuRCTab_->addAction(QString::number(position + 1));
        QObject::connect(item, &QAction::triggered, this, [this, position] {
            columns_.SetTabOrder(rightClickedTab_, position);
            columns_.CalcTabPositions();
            ReDrawTab(-1);
            ReDraw();
            if (TabReOrderd) {
                TabReOrderd();
            }
        });
        menuItems_.push_back(item);
    }
    LoadEditorInstances();
    FitRowHeight();
    UserControl_Resize();
}

void UC_ListView::LoadEditorInstances()
{
    int texts = 0;
    int combos = 0;
    int lists = 0;
    for (int c = 0; c < columns_.Count(); ++c) {
        listview::ListTabRecord& tab = *columns_.At(c);
        if ((tab.EditorFlags & listview::EditorText) != 0) {
            if (texts > 0 && !textLV_.Exists(texts)) {
                textLV_.Load(texts);
            }
            tab.TextBoxInstance = texts++;
        }
        if ((tab.EditorFlags & listview::EditorCombo) != 0) {
            if (combos > 0 && !comboLV_.Exists(combos)) {
                comboLV_.Load(combos);
            }
            tab.ComboInstance = combos++;
        }
        if ((tab.EditorFlags & listview::EditorList) != 0) {
            if (lists > 0 && !listLV_.Exists(lists)) {
                listLV_.Load(lists);
            }
            tab.ListInstance = lists++;
        }
    }
}

void UC_ListView::FitRowHeight()
{
    bool anyText = false;
    bool anyCombo = false;
    bool anyList = false;
    for (int c = 0; c < columns_.Count(); ++c) {
        const int flags = columns_.Tab(c).EditorFlags;
        anyText = anyText || (flags & listview::EditorText) != 0;
        anyCombo = anyCombo || (flags & listview::EditorCombo) != 0;
        anyList = anyList || (flags & listview::EditorList) != 0;
    }
    const double kanji = pictureList_->Picture().TextHeight("漢") * fontScale_;
    const int base = Round(kanji * 1.4);
    int height = base;
    if (anyCombo) {
        height = platform::HeightTwips(*comboLV_.At(0)) + Px(2);
    } else if (anyList) {
        height = platform::HeightTwips(*listLV_.At(0)) + Px(2);
    } else if (anyText) {
        height = platform::HeightTwips(*textLV_.At(0)) + Px(4);
    }
    oneHeight_ = std::max(oneHeight_, std::max(height, base));
    rowPaintHeight_ = oneHeight_ + (anyText || anyCombo || anyList ? Px(1) : 0);
    textOffset_ = Round((oneHeight_ - kanji) / 2);
    editorOffset_ = textOffset_ - (anyText && !anyCombo && !anyList ? Px(2) : Px(4));
    const int textHeight = anyCombo  ? platform::HeightTwips(*comboLV_.At(0))
                           : anyList ? platform::HeightTwips(*listLV_.At(0))
                                     : oneHeight_ - Px(2);
    for (const int instance : textLV_.Indexes()) {
        platform::SetHeightTwips(*textLV_.At(instance), textHeight);
    }
}

void UC_ListView::resizeEvent(QResizeEvent* /*event*/)
{
    UserControl_Resize();
}

void UC_ListView::UserControl_Resize()
{
    const int width = platform::WidthTwips(*this);
    const int height = platform::HeightTwips(*this);
    if (!initialised_ || width < MinControlSize || height < MinControlSize) {
        return;
    }
    platform::MoveTwips(*pictureAll_, 0, 0, width - Px(2), height);
    platform::MoveTwips(*pictureTab_, 0, 0, width - Px(2));
    PlaceBars();
    SetVbarParm();
    hbar_->SetValue(0);
    hOffset_ = 0;
    if (vbarShown_) {
        topItem_ = std::min(topItem_, vbar_->Max());
        vbar_->SetValue(topItem_);
    } else {
        topItem_ = 0;
    }
    lastDrawnTop_ = topItem_;
    ReDrawTab(-1);
    ReDraw();
}

void UC_ListView::PlaceBars()
{
    const int allWidth = platform::WidthTwips(*pictureAll_);
    const int allHeight = platform::HeightTwips(*pictureAll_);
    platform::SetLeftTwips(vbar_->Widget(), allWidth - platform::WidthTwips(vbar_->Widget()) - Px(4));
    platform::SetTopTwips(hbar_->Widget(), allHeight - platform::HeightTwips(hbar_->Widget()) - Px(4));
}

void UC_ListView::Refresh()
{
    SetVbarParm();
    if (hbar_ != nullptr) {
        hbar_->SetValue(0);
        vbar_->SetValue(0);
    }
    topItem_ = 0;
    hOffset_ = 0;
    ReDraw();
    ReDrawTab(-1);
}

void UC_ListView::SetTabHidden(int tab, int hidden)
{
    columns_.SetTabHidden(tab, hidden);
}

void UC_ListView::DeleteAll()
{
    store_.DeleteAll();
    sorter_.Forget();
    topItem_ = 0;
    hOffset_ = 0;
}

void UC_ListView::RndItem()
{
    if (random_ == nullptr) {
        random_ = std::make_unique<listview::SeededRandom>();
    }
    sorter_.Shuffle(store_, *random_);
}

int UC_ListView::TextComboVisible() const
{
    const auto shown = [](const QWidget* editor) { return editor != nullptr && !editor->isHidden(); };
    return shown(textLV_.At(0)) || shown(comboLV_.At(0)) || shown(listLV_.At(0)) ? 1 : 0;
}

int UC_ListView::ComboIndex(int item, int column) const
{
    if (!columns_.Valid(column) || (columns_.Tab(column).EditorFlags & listview::EditorCombo) == 0) {
        return -1;
    }
    const int index = item == listview::CursorItem ? store_.SelectedItem()
                      : item == listview::LastItem ? store_.ItemCount() - 1
                                                   : item;
    const platform::ComboBox* combo = comboLV_.At(columns_.Tab(column).ComboInstance);
    if (index < 0 || index >= store_.ItemCount() || combo == nullptr) {
        return -1;
    }
    const std::string text = store_.Value(index, column).Text();
    for (int entry = 0; entry < combo->ListCount(); ++entry) {
        if (combo->List(entry) == text) {
            return entry;
        }
    }
    return -1;
}

void UC_ListView::LoadDevToLVCombo(int tab, int kind)
{
    if (!columns_.Valid(tab)) {
        return;
    }
    auto& devices = platform::audio::AudioSystem::Current();
    const int count = kind == 0 ? devices.OutputCount() : devices.InputCount();
    const listview::ListTabRecord& column = columns_.Tab(tab);
    syncingEditors_ = true;
    if (platform::ComboBox* combo =
            (column.EditorFlags & listview::EditorCombo) != 0 ? comboLV_.At(column.ComboInstance) : nullptr) {
        combo->Clear();
        for (int i = 0; i < count; ++i) {
            combo->AddItem(kind == 0 ? devices.OutputName(i) : devices.InputName(i));
        }
        combo->SetListIndex(-1);
    }
    if (platform::ListBox* list =
            (column.EditorFlags & listview::EditorList) != 0 ? listLV_.At(column.ListInstance) : nullptr) {
        list->Clear();
        for (int i = 0; i < count; ++i) {
            list->AddItem(kind == 0 ? devices.OutputName(i) : devices.InputName(i));
        }
        list->SetListIndex(-1);
    }
    syncingEditors_ = false;
}

void UC_ListView::AddComboItem(int tab, std::string_view text)
{
    if (columns_.Valid(tab) && (columns_.Tab(tab).EditorFlags & listview::EditorCombo) != 0) {
        if (platform::ComboBox* combo = comboLV_.At(columns_.Tab(tab).ComboInstance)) {
            syncingEditors_ = true;
            combo->AddItem(text);
            syncingEditors_ = false;
        }
    }
}

void UC_ListView::ClearComboItem(int tab)
{
    if (columns_.Valid(tab) && (columns_.Tab(tab).EditorFlags & listview::EditorCombo) != 0) {
        if (platform::ComboBox* combo = comboLV_.At(columns_.Tab(tab).ComboInstance)) {
            syncingEditors_ = true;
            combo->Clear();
            syncingEditors_ = false;
        }
    }
}

void UC_ListView::AddListItem(int tab, std::string_view text)
{
    if (columns_.Valid(tab) && (columns_.Tab(tab).EditorFlags & listview::EditorList) != 0) {
        if (platform::ListBox* list = listLV_.At(columns_.Tab(tab).ListInstance)) {
            syncingEditors_ = true;
            list->AddItem(text);
            syncingEditors_ = false;
        }
    }
}

void UC_ListView::ClearListItem(int tab)
{
    if (columns_.Valid(tab) && (columns_.Tab(tab).EditorFlags & listview::EditorList) != 0) {
        if (platform::ListBox* list = listLV_.At(columns_.Tab(tab).ListInstance)) {
            syncingEditors_ = true;
            list->Clear();
            syncingEditors_ = false;
        }
    }
}
