#include "foundation/ColumnNames.h"

namespace FCT_Quind {

std::array<std::string, ColumnCount> ColumnNames;
std::array<std::string, SecondColumnCount> SecondColumnNames;
std::array<std::string, AttributeCount> AttributeNames;

namespace {
// Indexes into ColumnNames.
constexpr int FolderColumn = 1;
constexpr int TitleColumn = 2;
constexpr int TypeColumn = 3;
constexpr int LengthColumn = 4;
} // namespace

void InitDefaultColumnNames()
{
    for (int column = 0; column < ColumnCount; ++column) {
        ColumnNames[column] = DefaultColumnNames[column];
    }
    AttributeNames = {"隠し", "読み", "読み書き"};
    RefreshSecondColumnNames();
}

void RefreshSecondColumnNames()
{
    SecondColumnNames = {"時刻",
                         "Q",
                         ColumnNames[TypeColumn],
                         ColumnNames[LengthColumn],
                         ColumnNames[FolderColumn],
                         ColumnNames[TitleColumn]};
}

} // namespace FCT_Quind
