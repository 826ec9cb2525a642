#include "playback/AssignRecords.h"

#include "mainwindow/MainState.h"

#include <algorithm>
#include <utility>

namespace playback {

AssignRecord& ButtonRecord(MainState& state, int output, int page, int button)
{
    return state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
}

const AssignRecord& ButtonRecord(const MainState& state, int output, int page, int button)
{
    return state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
}

ListPage& ListPageOf(MainState& state, int output, int page)
{
    return state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))];
}

void ClearButtonRecord(AssignRecord& record, std::int32_t defaultButtonOption)
{
    record.FileName.clear();
    record.Invalid = 1;
    record.Cached = 0;
    record.StartMS = 0;
    record.PlayMode = defaultButtonOption;
}

AssignTableSet FreshTablesForRead(const MainState& state)
{
    AssignTableSet tables;
    tables.ButtonTable.resize(state.ButtonTable.size());
    for (std::size_t i = 0; i < state.ButtonTable.size(); ++i) {
        AssignRecord& record = tables.ButtonTable[i];
        record.Invalid = 1;
        record.PlayMode = state.DefaultButtonOption;
        record.TextColor = state.ButtonTable[i].TextColor;
        record.BackColor = state.ButtonTable[i].BackColor;
    }
    return tables;
}

void ReplaceTables(MainState& state, AssignTableSet&& tables)
{
    state.ButtonTable = std::move(tables.ButtonTable);
    state.ListTable = std::move(tables.ListTable);
    state.BankName = std::move(tables.BankName);
    state.ListName = std::move(tables.ListName);
    state.StandbySet.fill(0);
}

void GrowListPage(ListPage& page, int item)
{
    const auto size = static_cast<std::size_t>(item) + 1;
    if (page.Items.size() < size) {
        page.Items.resize(size);
        page.Seq.resize(size, 0);
    }
}

void ForEachAssigned(const MainState& state, const std::function<bool(const AssignRecord&)>& visit)
{
    const int pages = std::clamp(state.PageNum, 0, AssignPages);
    for (int output = 0; output < AssignOutputs; ++output) {
        const int buttons = std::clamp(state.ButtonsPerPage[static_cast<std::size_t>(output)], 0, AssignButtons);
        for (int page = 0; page < pages; ++page) {
            for (int button = 0; button < buttons; ++button) {
                const AssignRecord& record =
                    state.ButtonTable[static_cast<std::size_t>(ButtonTableIndex(output, page, button))];
                if (!record.FileName.empty() && !visit(record)) {
                    return;
                }
            }
        }
    }
    for (int output = 0; output < AssignOutputs; ++output) {
        for (int page = 0; page < pages; ++page) {
            for (const AssignRecord& record :
                 state.ListTable[static_cast<std::size_t>(ListTableIndex(output, page))].Items) {
                if (!record.FileName.empty() && !visit(record)) {
                    return;
                }
            }
        }
    }
}

} // namespace playback
