#pragma once

#include "mainwindow/AssignTables.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct MainState;

// The assignment tables as one value, so that a file can be read completely
// beside the live tables and replace them only when every line was good.
struct AssignTableSet {
    std::vector<AssignRecord> ButtonTable;
    std::array<ListPage, AssignOutputs * AssignPages> ListTable{};
    std::array<std::string, AssignOutputs * AssignPages> BankName{};
    std::array<std::string, AssignOutputs * AssignPages> ListName{};
};

// Operations on the records and tables of the main window's state.
namespace playback {

// The button record of (output, page, button), all counted from 0.
AssignRecord& ButtonRecord(MainState& state, int output, int page, int button);
const AssignRecord& ButtonRecord(const MainState& state, int output, int page, int button);
ListPage& ListPageOf(MainState& state, int output, int page);

// A button cleared by its command: no file, invalid, not cached, no start
// offset, the default play mode; length and colours stay.
void ClearButtonRecord(AssignRecord& record, std::int32_t defaultButtonOption);

// The tables as a read starts them: every caption "", every list one empty
// item with mark 0, and every button of every page without a file (invalid,
// not cached, default play mode, no length, no start); the colours are taken
// from the live table. Every button is reset, not only those of the grid, so
// that no record of the previous file survives beyond the grid.
AssignTableSet FreshTablesForRead(const MainState& state);

// Puts a completely read set in place of the live tables and clears every
// output's armed standby.
void ReplaceTables(MainState& state, AssignTableSet&& tables);

// Grows a list so that it holds index item (new items empty, mark 0).
void GrowListPage(ListPage& page, int item);

// Visits every record that holds a file, in the order of the file: the
// buttons of the grid of every output (output, page, button), then the list
// items (output, page, item), on the pages in use. Stops when visit returns
// false.
void ForEachAssigned(const MainState& state, const std::function<bool(const AssignRecord&)>& visit);

} // namespace playback
