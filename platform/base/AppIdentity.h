#pragma once

// The program's identity: its title names the executable, the settings store,
// the log files and the main window's caption; the maker's name completes the
// caption that a second start looks for.
namespace App {

extern const char* const Title;
extern const char* const CompanyName;
extern const int Major;
extern const int Minor;
extern const int Revision;

} // namespace App
