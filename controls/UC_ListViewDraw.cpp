// Painting the rows and the header, and placing the in-place editors.
#include "controls/UC_ListView.h"

#include "foundation/Conversions.h"
#include "foundation/Drawing.h"
#include "foundation/FormUtilities.h"
#include "platform/EventPump.h"
#include "platform/SysColors.h"
#include "platform/TwipsGeometry.h"
#include "platform/base/Numbers.h"
#include "platform/base/Twips.h"

#include <algorithm>

namespace {

constexpr platform::Color StripeColour = platform::Rgb(204, 255, 255);
constexpr platform::Color BlankMarkColour = 0xE0E0E0;
constexpr int IconCell = 16; // pixels

int Round(double value)
{
    return static_cast<int>(numeric::RoundToInt64(value));
}

platform::DrawMode ModeOf(int mode)
{
    return mode == static_cast<int>(platform::DrawMode::MaskPen) ? platform::DrawMode::MaskPen
                                                                 : platform::DrawMode::CopyPen;
}

// The merge pen's draw mode: the picture OR the pen, so a dark row under a
// grey box turns grey while light text stays light.
constexpr int MergePen = 15;

int ToPixel(double twips)
{
    return basic::TwipsPerPixel > 0 ? Round(numeric::RoundHalfEven(twips / basic::TwipsPerPixel)) : 0;
}

// A filled box with both corners (twips) in the given draw mode. The merge
// pen is built from the picture operations there are: (picture AND NOT pen)
// XOR pen is picture OR pen.
void FillBox(platform::Surface& picture, int left, int top, int right, int bottom, platform::Color colour, int mode)
{
    if (mode != MergePen) {
        picture.SetDrawMode(ModeOf(mode));
        picture.Line(left, top, right, bottom, colour, platform::LineShape::FilledBox);
        picture.SetDrawMode(platform::DrawMode::CopyPen);
        return;
    }
    const int x1 = std::max(0, std::min(ToPixel(left), ToPixel(right)));
    const int y1 = std::max(0, std::min(ToPixel(top), ToPixel(bottom)));
    const int x2 = std::min(picture.PixelWidth() - 1, std::max(ToPixel(left), ToPixel(right)));
    const int y2 = std::min(picture.PixelHeight() - 1, std::max(ToPixel(top), ToPixel(bottom)));
    if (x2 < x1 || y2 < y1) {
        return;
    }
    const int width = x2 - x1 + 1;
    const int height = y2 - y1 + 1;
    const platform::Color pen = platform::ResolveColor(colour) & 0xFFFFFF;
    platform::Surface layer(width, height);
    layer.SetBackColor(~pen & 0xFFFFFF);
    picture.BitBlt(x1, y1, width, height, layer, 0, 0, platform::RasterOp::SrcAnd);
    layer.SetBackColor(pen);
    picture.BitBlt(x1, y1, width, height, layer, 0, 0, platform::RasterOp::SrcInvert);
}

} // namespace

void UC_ListView::ReDraw()
{
    if (!initialised_ || oneHeight_ < 1) {
        return;
    }
    platform::DoEvents();
    platform::Surface& picture = pictureList_->Picture();
    picture.Cls();
    const int listWidth = platform::WidthTwips(*pictureList_);
    const int rows = platform::HeightTwips(*pictureList_) / oneHeight_;
    const int count = store_.ItemCount();
    const int cursor = store_.SelectedItem();
    if (count == 0 || cursor < topItem_ || cursor > topItem_ + rows - 1 || hideTextCombo_ == 1) {
        HideEditors();
    }
    if (useMadara_ != 0) {
        for (int i = 0; i <= rows; ++i) {
            if ((topItem_ + i) % 2 == 1) {
                picture.Line(0, i * oneHeight_ + Px(1), listWidth, (i + 1) * oneHeight_, StripeColour,
                             platform::LineShape::FilledBox);
            }
        }
    }
    int selectionLeft = 0;
    int selectionRight = listWidth;
    if (invertSelectedData_ == 1) {
        const int column = store_.SelectedData();
        if (columns_.Valid(column)) {
            selectionLeft = (column > 0 ? columns_.Tab(column - 1).Right : 0) - hOffset_;
            selectionRight = columns_.Tab(column).Right - Px(2) - hOffset_;
        }
    }
    paintedRows_ = 0;
    for (int i = 0; i <= rows && topItem_ + i < count; ++i) {
        DrawRow(i, topItem_ + i, selectionLeft, selectionRight, rowPaintHeight_);
        ++paintedRows_;
    }
    const int listHeight = platform::HeightTwips(*pictureList_);
    for (const int c : columns_.DisplayOrder()) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        if (tab.TabHidden == 0) {
            const int x = tab.Right - hOffset_ - Px(1);
            picture.Line(x, 0, x, listHeight, vLineColor_);
        }
    }
    pictureList_->update();
}

void UC_ListView::DrawRow(int row, int item, int selectionLeft, int selectionRight, int paintHeight)
{
    platform::Surface& picture = pictureList_->Picture();
    const listview::ListItemRecord& record = store_.Item(item);
    const int top = row * oneHeight_;
    if (iconDisabled_ == 0 && hOffset_ < Px(IconCell) && record.IconType != -1) {
        DrawIcon(row, record.IconType);
    }
    bool first = true;
    for (const int c : columns_.DisplayOrder()) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        if (tab.TabHidden != 0) {
            continue;
        }
        picture.SetCurrentY(top + textOffset_);
        picture.SetForeColor(record.DispColor);
        const int available = tab.TabWidth - (first ? textStart_ : Px(6));
        const std::string value =
            c < static_cast<int>(record.Data.size()) ? record.Data[static_cast<std::size_t>(c)].Text() : std::string();
        if (!value.empty()) {
            const bool right = tab.TabAlign == 1;
            const std::string shown = basic::FitTextToWidth(value, picture, available, right ? 1 : 0);
            if (right) {
                picture.SetCurrentX(tab.Right - picture.TextWidth(shown) - Px(6) - hOffset_);
            } else {
                picture.SetCurrentX(first ? textStart_ - hOffset_ : tab.Left - hOffset_ + Px(6));
            }
            picture.Print(shown);
        }
        first = false;
    }
    if (item == store_.SelectedItem()) {
        PlaceEditorsOnRow(row);
    }
    if (record.IsSelected == listview::Selected) {
        FillBox(picture, selectionLeft, top + Px(1), selectionRight, top + paintHeight, selectedColor_,
                selectedColorMode_);
    }
    if (record.HLine != 0) {
        picture.Line(selectionLeft, top, selectionRight, top + Px(1), record.HLine, platform::LineShape::FilledBox);
    }
    if (borderIfBlank_ > 0 && borderIfBlank_ <= static_cast<int>(record.Data.size()) &&
        record.Data[static_cast<std::size_t>(borderIfBlank_ - 1)].Text().empty()) {
        FillBox(picture, selectionLeft, top + Px(1), selectionRight, top + paintHeight, BlankMarkColour,
                selectedColorMode_);
    }
}

void UC_ListView::DrawIcon(int row, int icon)
{
    const int px = basic::TwipsPerPixel;
    if (px <= 0 || (icon + 1) * IconCell > icons_.PixelWidth() || icons_.PixelHeight() < 2 * IconCell) {
        return;
    }
    const int x = 2 - hOffset_ / px;
    const int y = Round(static_cast<double>(row) * oneHeight_ / px + (static_cast<double>(oneHeight_) / px - 16) / 2);
    platform::Surface& picture = pictureList_->Picture();
    picture.BitBlt(x, y, IconCell, IconCell, icons_, icon * IconCell, IconCell, platform::RasterOp::SrcAnd);
    picture.BitBlt(x, y, IconCell, IconCell, icons_, icon * IconCell, 0, platform::RasterOp::SrcInvert);
}

void UC_ListView::HideEditors()
{
    for (const int i : textLV_.Indexes()) {
        textLV_.At(i)->hide();
    }
    for (const int i : comboLV_.Indexes()) {
        comboLV_.At(i)->hide();
    }
    for (const int i : listLV_.Indexes()) {
        listLV_.At(i)->hide();
    }
}

void UC_ListView::PlaceEditorsOnRow(int row)
{
    const int editorTop = row * oneHeight_ + editorOffset_;
    const int item = store_.SelectedItem();
    syncingEditors_ = true;
    for (int c = 0; c < columns_.Count(); ++c) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        const std::string value = store_.Value(item, c).Text();
        const auto place = [&](QWidget* editor, int kind, const auto& sync) {
            if (editor == nullptr || (tab.EditorFlags & kind) == 0) {
                return;
            }
            if (tab.FrontObj != kind || tab.TabHidden != 0) {
                editor->hide();
                return;
            }
            if (platform::TopTwips(*editor) != editorTop) {
                platform::SetTopTwips(*editor, editorTop);
            }
            sync();
            if (editor->isHidden() && hideTextCombo_ == 0) {
                editor->show();
            }
        };
        platform::TextBox* text = textLV_.At(tab.TextBoxInstance);
        place(text, listview::EditorText, [&] {
            if (text->Text() != value) {
                text->SetText(value);
            }
        });
        platform::ComboBox* combo = comboLV_.At(tab.ComboInstance);
        place(combo, listview::EditorCombo, [&] {
            if (combo->Text() != value) {
                combo->SetText(value);
            }
        });
        platform::ListBox* list = listLV_.At(tab.ListInstance);
        place(list, listview::EditorList, [&] {
            if (list->Text() != value) {
                basic::SelectListByText(*list, value);
            }
        });
    }
    syncingEditors_ = false;
}

void UC_ListView::ReDrawTab(int pressed)
{
    if (!initialised_) {
        return;
    }
    platform::Surface& header = pictureTab_->Picture();
    header.Cls();
    const int headerHeight = ListTop();
    const int px = basic::TwipsPerPixel;
    for (const int c : columns_.DisplayOrder()) {
        const listview::ListTabRecord& tab = columns_.Tab(c);
        if (tab.TabHidden != 0) {
            continue;
        }
        if (tabDisabled_ != 1 && px > 0) {
            const int p = c == pressed ? 1 : 0;
            const bool right = tab.TabAlign == 1;
            const std::string caption =
                tab.TabName.empty() ? std::string()
                                    : basic::FitTextToWidth(tab.TabName, header, tab.TabWidth - Px(6), right ? 1 : 0);
            header.StretchBlt((tab.Left - hOffset_) / px, 0, tab.TabWidth / px, headerHeight / px, tabGrad_, 0, 0, 1,
                              tabGrad_.PixelHeight(), platform::RasterOp::SrcCopy);
            header.SetCurrentY(Px(3 + p));
            if (!right || noAlign4Tab_ != 0) {
                header.SetCurrentX(tab.Left - hOffset_ + Px(6 + p));
            } else {
                header.SetCurrentX(tab.Right - header.TextWidth(caption) - Px(6 + p) - hOffset_);
            }
            header.SetForeColor(platform::SystemColor(platform::ColorBtnText));
            header.Print(caption);
            basic::DrawEdgeRect(header, tab.Left - hOffset_, 0, tab.TabWidth, headerHeight, p);
        }
        const auto across = [&](QWidget* editor, int kind, int inset) {
            if (editor != nullptr && (tab.EditorFlags & kind) != 0) {
                platform::SetLeftTwips(*editor, tab.Left - hOffset_ + Px(inset));
                platform::SetWidthTwips(*editor, std::max(tab.TabWidth - Px(inset), Px(1)));
            }
        };
        across(textLV_.At(tab.TextBoxInstance), listview::EditorText, 3);
        across(comboLV_.At(tab.ComboInstance), listview::EditorCombo, 2);
        across(listLV_.At(tab.ListInstance), listview::EditorList, 2);
    }
    pictureTab_->update();
}

void UC_ListView::SetTabWidthAuto()
{
    if (store_.ItemCount() == 0) {
        return;
    }
    const platform::Surface& picture = pictureList_->Picture();
    const std::vector<int>& order = columns_.DisplayOrder();
    for (int c = 0; c < columns_.Count(); ++c) {
        int widest = 0;
        for (int item = 0; item < store_.ItemCount(); ++item) {
            widest = std::max(widest, Round(picture.TextWidth(store_.Value(item, c).Text())));
        }
        if (!order.empty() && order.front() == c && iconDisabled_ == 0) {
            widest += Px(16);
        }
        columns_.SetTabWidth(c, widest + Px(16));
    }
    ReDrawTab(-1);
    ReDraw();
}
