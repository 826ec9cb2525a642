#include "playback/PlayList.h"

#include "foundation/Durations.h"
#include "foundation/Parms.h"
#include "mainwindow/FrmMain.h"
#include "playback/SlotIndexes.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace playback {

namespace {

std::int32_t WholeMs(const listview::ListCell& cell)
{
    const std::optional<double> number = cell.Number();
    if (!number.has_value() || !std::isfinite(*number)) {
        return 0;
    }
    const double value = std::trunc(*number);
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max()) {
        return 0;
    }
    return static_cast<std::int32_t>(value);
}

} // namespace

ListPage PageFromView(const UC_ListView& view)
{
    ListPage page;
    const int count = view.ItemCount();
    if (count <= 0) {
        return page;
    }
    page.Items.assign(static_cast<std::size_t>(count), AssignRecord{});
    page.Seq.assign(static_cast<std::size_t>(count), 0);
    for (int r = 0; r < count; ++r) {
        AssignRecord& record = page.Items[static_cast<std::size_t>(r)];
        record.FileName = view.AuxID(r, 0).Text();
        page.Seq[static_cast<std::size_t>(r)] = view.Value(r, 2).Text().empty() ? 0 : 1;
        record.StartMS = WholeMs(view.AuxID(r, 2));
        // The stored length has the tenth of a second of the time text.
        record.LengthMS = basic::ParseDuration(view.Value(r, 0).Text(), 0, nullptr);
        const std::optional<double> present = view.AuxID(r, 1).Number();
        if (present.has_value() && *present == 0) {
            record.Invalid = 1;
        }
    }
    return page;
}

void PlayList::StoreListFromView(int output)
{
    MainState& state = window_.State;
    if (output < 0 || output >= AssignOutputs) {
        return;
    }
    const int page = std::clamp(state.CurrentPage[At(output)], 0, AssignPages - 1);
    ListPage& stored = state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))];
    const UC_ListView* view = window_.LV.At(output);
    stored = view != nullptr ? PageFromView(*view) : ListPage{};
}

void PlayList::ToggleListSeq(int output)
{
    if (parms::UseListSeq == 0 || output < 0 || output >= AssignOutputs) {
        return;
    }
    UC_ListView* view = window_.LV.At(output);
    if (view == nullptr) {
        return;
    }
    const int selected = view->SelectedItem();
    if (selected < 0 || selected >= view->ItemCount()) {
        return;
    }
    view->SetValue(selected, 2, view->Value(selected, 2).Text().empty() ? parms::SeqMarkText : std::string());
    StoreListFromView(output);
    view->ReDraw();
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->DisarmTimer(output);
    }
}

void PlayList::ClearAllAssign()
{
    MainState& state = window_.State;
    state.BankName.fill(std::string());
    state.ListName.fill(std::string());
    state.ListTable.fill(ListPage{});
    const auto records = static_cast<std::size_t>(AssignOutputs * AssignPages * AssignButtons);
    if (state.ButtonTable.size() < records) {
        state.ButtonTable.resize(records);
    }
    for (AssignRecord& record : state.ButtonTable) {
        // Length and colours stay as they are.
        record.FileName.clear();
        record.Invalid = 1;
        record.Cached = 0;
        record.StartMS = 0;
        record.PlayMode = state.DefaultButtonOption;
    }
}

void PlayList::NewAssign()
{
    MainState& state = window_.State;
    ClearAllAssign();
    const int outputs = std::clamp(state.NumOut, 0, AssignOutputs);
    for (int output = 0; output < outputs; ++output) {
        if (state.ShowPage[At(output)] == 1) {
            if (controls::UC_TextPicture* title = window_.TextPage.At(output)) {
                title->DispMes(0, "", 0);
            }
        }
    }
    for (int output = 0; output < outputs; ++output) {
        if (parms::IsList[At(output)] == 0) {
            for (int b = 0; b < state.ButtonsPerOutput; ++b) {
                if (controls::UC_TolvButton* button = window_.TolvButton.At(output * state.ButtonsPerOutput + b)) {
                    button->SetAlert(0);
                    button->SetText(0, "");
                    button->SetText(4, "");
                    button->SetText(5, "");
                    button->Draw(0);
                }
            }
        } else if (UC_ListView* view = window_.LV.At(output)) {
            view->DeleteAll();
            view->Refresh();
        }
    }
    if (window_.Ports.Playback != nullptr) {
        window_.Ports.Playback->ChangePage(0, 0, 1);
    }
    if (window_.Ports.Cache != nullptr) {
        window_.Ports.Cache->CacheAll(1);
    }
}

} // namespace playback
