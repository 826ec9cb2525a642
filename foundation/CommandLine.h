#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace basic {

// The program's own command line: its arguments after the program name, each
// in double quotes when it holds a blank, joined by blanks.
std::string ProgramCommandLine();
// Replaces the program's command line (the start-up, and tests); an empty
// text restores the arguments the process was started with.
void SetProgramCommandLine(std::string_view text);

// Splits text (the program's command line when "") into tokens at blanks
// outside double quotes and fills out. With an option such as "X=", the rest of
// every token that begins with it or with "/" and it. With an empty option,
// every file token: a drive path ("C:\..."), a server path (two separators
// first) or a Linux path ("/" first and a further "/" inside; so "/B" and
// "/X=20" stay options). A file in a share under the unc root is given as
// a server path. Returns the number of entries; an empty text gives 0 and one
// empty entry.
int ParseCommandLine(std::vector<std::string>& out, std::string_view option, std::string_view text);

} // namespace basic
