#include "foundation/ButtonKeys.h"

#include <string_view>

namespace parms {

std::array<std::int32_t, KeySets * ButtonsPerSet> KeyAssign{};
std::array<std::int32_t, ButtonsPerSet> NumpadKeyAssign{};

void SetDefaultButtonKeys(int set, int columns)
{
    if (set < 0 || set >= KeySets || columns < 1) {
        return;
    }
    // A grid narrower than before must not leave keys on buttons that no
    // longer sit under them: a leftover key would start the wrong button.
    for (int button = 0; button < ButtonsPerSet; ++button) {
        KeyAssign[static_cast<std::size_t>(set + KeySets * button)] = 0;
    }
    // The keyboard rows; a key's code is its character (digits and capitals).
    static constexpr std::array<std::string_view, 4> rows{"1234567890", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
    static constexpr std::array<std::int32_t, 10> keypad{97, 98, 99, 100, 101, 102, 103, 104, 105, 96};
    int button = 0;
    for (std::size_t row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < columns; ++column) {
            if (button >= ButtonsPerSet) {
                return;
            }
            const auto at = static_cast<std::size_t>(column);
            if (at < rows[row].size()) {
                KeyAssign[static_cast<std::size_t>(set + KeySets * button)] = rows[row][at];
                if (row == 0) {
                    NumpadKeyAssign[static_cast<std::size_t>(button)] = keypad[at];
                }
            }
            ++button;
        }
    }
}

} // namespace parms
