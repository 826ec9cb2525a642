// A program that saves without end, for the tests that kill saves midway:
//   <table> <ini>   saves, round after round, the table (through the assign
//                   table's atomic save), a value of the INI file and a value
//                   of the registry; writes one byte to its output after each
//                   round. It ends only when it is killed.
#include "foundation/FileAccess.h"
#include "platform/ProfileFile.h"
#include "platform/RegistryFiles.h"
#include "tests/support/SaveRounds.h"

#include <string>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 3) {
        return 2;
    }
    const std::string table = argv[1];
    const std::string ini = argv[2];
    for (int round = 0;; ++round) {
        if (basic::SaveFileAtomic(table, std::string_view(testsupport::SaveRoundTable(round))) != 1) {
            return 1;
        }
        const std::string value = std::to_string(round);
        if (!platform::WriteProfileString(ini, "conf", "Round", value).ok ||
            !platform::WriteRegistryValue("Software\\Quorvant\\tolv", "Round", value).ok) {
            return 1;
        }
        if (write(1, ".", 1) != 1) {
            return 1;
        }
    }
}
